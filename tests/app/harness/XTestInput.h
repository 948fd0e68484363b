#pragma once

#include "app/harness/X11Windows.h"

#include <string>

namespace zund::test
{
/** Mouse and keyboard input as a user gives it, faked through the XTest
    extension. Coordinates are relative to the given top-level window.

    There is no window manager on the test's X server: nothing gives a window
    the keyboard focus unless focus() is called before keys are sent. Every
    event is flushed and followed by a short pause, so the program sees the
    events apart and in order; a click, drag or key ends with the pointer
    stirred a pixel and back, so the program surely looks at its input.
    Without a connection or the extension, every call fails the test, naming
    the display, and sends nothing. */
class XTestInput
{
public:
    enum Modifiers
    {
        noModifiers = 0,
        shift = 1,
        control = 2,
        alt = 4
    };

    explicit XTestInput (X11Display& display);

    /** Whether the server offers the XTest extension. */
    bool isAvailable() const noexcept { return available; }

    /** Raises the window and gives it the keyboard focus. */
    void focus (unsigned long window);

    void moveTo (unsigned long window, int x, int y);
    void click (unsigned long window, int x, int y, int button = 1);
    void doubleClick (unsigned long window, int x, int y);
    /** Press at the start, move there in `steps` steps, release at the end. */
    void drag (unsigned long window, int fromX, int fromY, int toX, int toY, int steps = 10);

    /** Presses and releases a key given by its X keysym name ("Return",
        "Escape", "F5", "1", "a") with the modifiers held. False when the
        name or the key is unknown. */
    bool pressKey (const std::string& keysymName, int modifiers = noModifiers);

    /** Types printable ASCII text, with shift where the keyboard needs it;
        '\n' presses Return. False at the first character it cannot type. */
    bool typeText (const std::string& text);

private:
    bool usable() const;
    void toRoot (unsigned long window, int& x, int& y);
    void button (int number, bool down);
    bool key (unsigned long keysym, int modifiers);
    void pause();
    void stir();

    void* display;
    std::string displayName;
    bool available = false;
};
}
