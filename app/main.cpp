// The executable's entry point; everything else lives in core.
#include "app/App.h"

int main()
{
    return runApp();
}
