#include "app/harness/XTestInput.h"

#include <gtest/gtest.h>

// Xlib after the test framework: its macros must not reach it.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <time.h>

namespace zund::test
{
namespace
{
Display* dpy (void* d) { return static_cast<Display*> (d); }

void sleepMs (long ms)
{
    struct timespec t { ms / 1000, (ms % 1000) * 1000 * 1000 };
    nanosleep (&t, nullptr);
}

constexpr long eventPauseMs = 25;
}

XTestInput::XTestInput (X11Display& displayToUse)
    : display (displayToUse.getNativeHandle()),
      displayName (displayToUse.getName())
{
    int eventBase, errorBase, major, minor;
    available = display != nullptr
             && XTestQueryExtension (dpy (display), &eventBase, &errorBase, &major, &minor) != 0;
}

bool XTestInput::usable() const
{
    if (display == nullptr)
        ADD_FAILURE() << "no connection to the X server \"" << displayName << "\" for input";
    else if (! available)
        ADD_FAILURE() << "the X server \"" << displayName << "\" offers no XTest extension for input";
    return available;
}

void XTestInput::pause()
{
    XSync (dpy (display), False);
    sleepMs (eventPauseMs);
}

void XTestInput::stir()
{
    // The pointer a pixel over and back: events that reach the program after
    // the input make its connection readable, so the framework also handles
    // input Xlib had already read during another call (on a bare X server
    // nothing else would arrive to make it look).
    auto* d = dpy (display);
    XTestFakeRelativeMotionEvent (d, 1, 0, CurrentTime);
    pause();
    XTestFakeRelativeMotionEvent (d, -1, 0, CurrentTime);
    pause();
}

void XTestInput::focus (unsigned long window)
{
    if (! usable())
        return;
    XRaiseWindow (dpy (display), (Window) window);
    XSetInputFocus (dpy (display), (Window) window, RevertToParent, CurrentTime);
    pause();
}

void XTestInput::toRoot (unsigned long window, int& x, int& y)
{
    auto* d = dpy (display);
    Window child;
    int rootX = x, rootY = y;
    XTranslateCoordinates (d, (Window) window, DefaultRootWindow (d), x, y, &rootX, &rootY, &child);
    x = rootX;
    y = rootY;
}

void XTestInput::moveTo (unsigned long window, int x, int y)
{
    if (! usable())
        return;
    toRoot (window, x, y);
    XTestFakeMotionEvent (dpy (display), DefaultScreen (dpy (display)), x, y, CurrentTime);
    pause();
}

void XTestInput::button (int number, bool down)
{
    XTestFakeButtonEvent (dpy (display), (unsigned int) number, down ? True : False, CurrentTime);
    pause();
}

void XTestInput::click (unsigned long window, int x, int y, int buttonNumber)
{
    if (! usable())
        return;
    moveTo (window, x, y);
    button (buttonNumber, true);
    button (buttonNumber, false);
    stir();
}

void XTestInput::doubleClick (unsigned long window, int x, int y)
{
    if (! usable())
        return;
    moveTo (window, x, y);
    for (int i = 0; i < 2; ++i)
    {
        button (1, true);
        button (1, false);
    }
    stir();
}

void XTestInput::drag (unsigned long window, int fromX, int fromY, int toX, int toY, int steps)
{
    if (! usable())
        return;
    moveTo (window, fromX, fromY);
    button (1, true);
    steps = steps < 1 ? 1 : steps;
    for (int i = 1; i <= steps; ++i)
        moveTo (window, fromX + (toX - fromX) * i / steps, fromY + (toY - fromY) * i / steps);
    button (1, false);
    stir();
}

bool XTestInput::key (unsigned long keysym, int modifiers)
{
    auto* d = dpy (display);
    const KeyCode code = XKeysymToKeycode (d, (KeySym) keysym);
    if (code == 0)
        return false;

    // A character on the key's shifted level needs shift held as well.
    if (XkbKeycodeToKeysym (d, code, 0, 0) != (KeySym) keysym && XkbKeycodeToKeysym (d, code, 0, 1) == (KeySym) keysym)
        modifiers |= shift;

    const KeySym held[] = { XK_Shift_L, XK_Control_L, XK_Alt_L };
    for (int i = 0; i < 3; ++i)
        if ((modifiers & (1 << i)) != 0)
            XTestFakeKeyEvent (d, XKeysymToKeycode (d, held[i]), True, CurrentTime);

    XTestFakeKeyEvent (d, code, True, CurrentTime);
    XTestFakeKeyEvent (d, code, False, CurrentTime);

    for (int i = 2; i >= 0; --i)
        if ((modifiers & (1 << i)) != 0)
            XTestFakeKeyEvent (d, XKeysymToKeycode (d, held[i]), False, CurrentTime);
    pause();
    stir();
    return true;
}

bool XTestInput::pressKey (const std::string& keysymName, int modifiers)
{
    if (! usable())
        return false;
    const KeySym keysym = XStringToKeysym (keysymName.c_str());
    return keysym != NoSymbol && key (keysym, modifiers);
}

bool XTestInput::typeText (const std::string& text)
{
    if (! usable())
        return false;
    for (const char c : text)
    {
        // Printable ASCII characters are their own keysyms.
        const KeySym keysym = c == '\n' ? XK_Return : (KeySym) (unsigned char) c;
        if ((c != '\n' && (c < 0x20 || c > 0x7e)) || ! key (keysym, noModifiers))
            return false;
    }
    return true;
}
}
