#include "X11Windows.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

namespace zund::test
{
namespace
{
Display* dpy (void* d) { return static_cast<Display*> (d); }

std::string windowTitle (Display* d, Window w)
{
    Atom netName = XInternAtom (d, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom (d, "UTF8_STRING", False);
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty (d, w, netName, 0, 1024, False, utf8, &type, &format, &count, &remaining, &data) == Success
        && data != nullptr)
    {
        title.assign (reinterpret_cast<char*> (data), count);
        XFree (data);
        return title;
    }
    char* name = nullptr;
    if (XFetchName (d, w, &name) && name != nullptr)
    {
        title = name;
        XFree (name);
    }
    return title;
}

std::vector<Window> mappedTopLevels (Display* d)
{
    Window root = DefaultRootWindow (d), parent, *children = nullptr;
    unsigned int n = 0;
    std::vector<Window> result;
    if (XQueryTree (d, root, &root, &parent, &children, &n))
    {
        for (unsigned int i = 0; i < n; ++i)
        {
            XWindowAttributes attributes;
            if (XGetWindowAttributes (d, children[i], &attributes) && attributes.map_state == IsViewable)
                result.push_back (children[i]);
        }
        if (children != nullptr)
            XFree (children);
    }
    return result;
}

int ignoreErrors (Display*, XErrorEvent*) { return 0; }
}

X11Display::X11Display (const std::string& name)
{
    XSetErrorHandler (ignoreErrors); // windows may vanish between queries
    display = XOpenDisplay (name.c_str());
}

X11Display::~X11Display()
{
    if (display != nullptr)
        XCloseDisplay (dpy (display));
}

std::optional<WindowInfo> X11Display::findWindow (const std::string& title)
{
    auto* d = dpy (display);
    for (Window w : mappedTopLevels (d))
    {
        if (windowTitle (d, w) != title)
            continue;
        XWindowAttributes attributes;
        XGetWindowAttributes (d, w, &attributes);
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates (d, w, DefaultRootWindow (d), 0, 0, &x, &y, &child);
        return WindowInfo { (unsigned long) w, x, y, attributes.width, attributes.height };
    }
    return std::nullopt;
}

int X11Display::countWindows (const std::string& title)
{
    auto* d = dpy (display);
    int count = 0;
    for (Window w : mappedTopLevels (d))
        if (windowTitle (d, w) == title)
            ++count;
    return count;
}

bool X11Display::sendCloseRequest (unsigned long window)
{
    auto* d = dpy (display);
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = (Window) window;
    event.xclient.message_type = XInternAtom (d, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = (long) XInternAtom (d, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent (d, (Window) window, False, NoEventMask, &event) != 0;
    XFlush (d);
    return sent;
}
}
