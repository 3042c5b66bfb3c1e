// xclose TITLE: sends WM_DELETE_WINDOW to every top-level window with that title.
// Exit status 0 when at least one window was asked to close, 1 otherwise, 2 on a bad call.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>

namespace {

bool hasTitle(Display* display, Window window, const char* title)
{
    char* name = nullptr;
    if (!XFetchName(display, window, &name) || !name)
        return false;
    const bool same = std::strcmp(name, title) == 0;
    XFree(name);
    return same;
}

int closeAll(Display* display, Window window, const char* title, Atom protocols, Atom remove)
{
    int closed = 0;
    if (hasTitle(display, window, title)) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = protocols;
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(remove);
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
        ++closed;
    }
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i)
            closed += closeAll(display, children[i], title, protocols, remove);
        if (children)
            XFree(children);
    }
    return closed;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: xclose TITLE\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "xclose: cannot open the display\n");
        return 1;
    }
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom remove = XInternAtom(display, "WM_DELETE_WINDOW", False);
    const int closed = closeAll(display, DefaultRootWindow(display), argv[1], protocols, remove);
    XFlush(display);
    XCloseDisplay(display);
    return closed > 0 ? 0 : 1;
}
