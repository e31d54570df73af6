// tunegen: composes the game's tune and writes it as an XM module.
//   tunegen OUT.xm
#include <cstdio>

#include "tools/tunegen/Tune.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tunegen OUT.xm\n");
        return 2;
    }
    if (!xmwriter::writeXmFile(tunegen::composeTune(), argv[1])) {
        std::fprintf(stderr, "tunegen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
