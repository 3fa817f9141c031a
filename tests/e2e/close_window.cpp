// Asks a window to close the way a window manager does when the user clicks its close box:
// a WM_DELETE_WINDOW message from the WM_PROTOCOLS family. Destroying the window from
// outside (xdotool windowclose) is no substitute: the program never hears of it and goes on
// running without a window, so it would prove nothing about closing.
//
//   close_window <window id>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <window id>\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "close_window: cannot open the display\n");
        return 1;
    }
    const auto window = static_cast<Window>(std::strtoul(argv[1], nullptr, 0));
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);

    // A window that does not take part in the protocol has no close box a user could click.
    Atom* supported = nullptr;
    int count = 0;
    bool takesPart = false;
    if (XGetWMProtocols(display, window, &supported, &count)) {
        for (int i = 0; i < count; ++i)
            takesPart = takesPart || supported[i] == deleteWindow;
        XFree(supported);
    }
    if (!takesPart) {
        std::fprintf(stderr, "close_window: window %s does not accept WM_DELETE_WINDOW\n", argv[1]);
        XCloseDisplay(display);
        return 1;
    }

    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = protocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(deleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
