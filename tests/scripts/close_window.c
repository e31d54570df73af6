/* Asks an X window to close as its close box would: a WM_DELETE_WINDOW client
   message. Usage: close_window WINDOW_ID. Built and used by window_smoke.sh. */
#include <X11/Xlib.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (display == NULL) {
        return 1;
    }
    XEvent event = {0};
    event.xclient.type = ClientMessage;
    event.xclient.window = (Window)strtoul(argv[1], NULL, 0);
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, event.xclient.window, False, NoEventMask, &event);
    XCloseDisplay(display);
    return 0;
}
