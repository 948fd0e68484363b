#include "app/harness/X11Windows.h"

#include <gtest/gtest.h>

// Xlib after the test framework: its macros must not reach it.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

namespace zund::test
{
namespace
{
Display* dpy (void* d) { return static_cast<Display*> (d); }

std::string textProperty (Display* d, Window w, const char* name)
{
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty (d, w, XInternAtom (d, name, False), 0, 1024, False, AnyPropertyType, &type, &format,
                            &count, &remaining, &data)
            == Success
        && data != nullptr)
    {
        if (format == 8)
            text.assign (reinterpret_cast<char*> (data), count);
        XFree (data);
    }
    return text;
}

// The title, whether it was set as STRING or UTF8_STRING.
std::string windowTitle (Display* d, Window w)
{
    auto title = textProperty (d, w, "_NET_WM_NAME");
    return title.empty() ? textProperty (d, w, "WM_NAME") : title;
}

std::vector<Window> topLevels (Display* d, bool mappedOnly)
{
    Window root = DefaultRootWindow (d), parent, *children = nullptr;
    unsigned int n = 0;
    std::vector<Window> result;
    if (XQueryTree (d, root, &root, &parent, &children, &n))
    {
        for (unsigned int i = 0; i < n; ++i)
        {
            XWindowAttributes attributes;
            if (! mappedOnly
                || (XGetWindowAttributes (d, children[i], &attributes) && attributes.map_state == IsViewable))
                result.push_back (children[i]);
        }
        if (children != nullptr)
            XFree (children);
    }
    return result;
}

std::vector<Window> mappedTopLevels (Display* d)
{
    return topLevels (d, true);
}

WindowInfo infoOf (Display* d, Window w)
{
    XWindowAttributes attributes;
    XGetWindowAttributes (d, w, &attributes);
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates (d, w, DefaultRootWindow (d), 0, 0, &x, &y, &child);
    return WindowInfo { (unsigned long) w, x, y, attributes.width, attributes.height, windowTitle (d, w) };
}

int ignoreErrors (Display*, XErrorEvent*) { return 0; }
}

X11Display::X11Display (const std::string& displayName)
    : name (displayName)
{
    XSetErrorHandler (ignoreErrors); // windows may vanish between queries
    display = XOpenDisplay (name.c_str());

    // A bare X server has no window manager, and the framework only uses
    // protocol atoms that already exist; create them as a window manager would,
    // so a window started afterwards accepts close requests.
    if (display != nullptr)
        for (auto* atom : { "WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TAKE_FOCUS", "_NET_WM_PING", "_NET_WM_NAME",
                            "UTF8_STRING" })
            XInternAtom (dpy (display), atom, False);
}

X11Display::~X11Display()
{
    if (display != nullptr)
        XCloseDisplay (dpy (display));
}

bool X11Display::reachable() const
{
    if (display == nullptr)
        ADD_FAILURE() << "no connection to the X server \"" << name << "\"";
    return display != nullptr;
}

std::optional<WindowInfo> X11Display::findWindow (const std::string& title)
{
    if (! reachable())
        return std::nullopt;
    auto* d = dpy (display);
    for (Window w : mappedTopLevels (d))
        if (windowTitle (d, w) == title)
            return infoOf (d, w);
    return std::nullopt;
}

std::vector<WindowInfo> X11Display::listWindows()
{
    std::vector<WindowInfo> windows;
    if (! reachable())
        return windows;
    auto* d = dpy (display);
    for (Window w : mappedTopLevels (d))
        windows.push_back (infoOf (d, w));
    return windows;
}

int X11Display::countWindows (const std::string& title)
{
    int count = 0;
    if (! reachable())
        return count;
    auto* d = dpy (display);
    for (Window w : mappedTopLevels (d))
        if (windowTitle (d, w) == title)
            ++count;
    return count;
}

void X11Display::collectWindowIds (const std::string& title, std::set<unsigned long>& ids)
{
    if (! reachable())
        return;
    auto* d = dpy (display);
    for (Window w : topLevels (d, false))
        if (windowTitle (d, w) == title)
            ids.insert ((unsigned long) w);
}

bool X11Display::sendCloseRequest (unsigned long window)
{
    if (! reachable())
        return false;
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
