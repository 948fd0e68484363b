// The harness's X side against a plain window of its own: faked clicks, drags
// and keys arrive where and as they were sent, and a screenshot shows the
// screen.

#include "app/harness/EndToEndTest.h"
#include "app/harness/Screenshot.h"

// Xlib last: its macros must not reach the framework's headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

using namespace zund;
using namespace std::chrono_literals;

namespace
{
// A bare window of one colour on its own connection, which collects the
// input events it receives.
class ProbeWindow
{
public:
    ProbeWindow (const std::string& displayName, int x, int y, int width, int height, unsigned long rgb)
        : display (XOpenDisplay (displayName.c_str()))
    {
        window = XCreateSimpleWindow (display, DefaultRootWindow (display), x, y, (unsigned) width, (unsigned) height,
                                      0, 0, rgb);
        XSelectInput (display, window,
                      KeyPressMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | StructureNotifyMask);
        XMapWindow (display, window);
        XEvent event;
        do
            XNextEvent (display, &event);
        while (event.type != MapNotify);
        XSync (display, False);
    }

    ~ProbeWindow()
    {
        XDestroyWindow (display, window);
        XCloseDisplay (display);
    }

    unsigned long id() const { return (unsigned long) window; }

    /** The input events received so far. */
    std::vector<XEvent> takeEvents()
    {
        XSync (display, False);
        std::vector<XEvent> events;
        while (XPending (display) > 0)
        {
            XEvent event;
            XNextEvent (display, &event);
            if (event.type == KeyPress || event.type == ButtonPress || event.type == ButtonRelease
                || event.type == MotionNotify)
                events.push_back (event);
        }
        return events;
    }

    /** The text that the key presses among the events type. */
    static std::string typedText (const std::vector<XEvent>& events)
    {
        std::string text;
        for (auto event : events)
        {
            char buffer[8];
            KeySym keysym;
            if (event.type == KeyPress)
                text.append (buffer, (size_t) XLookupString (&event.xkey, buffer, sizeof buffer, &keysym, nullptr));
        }
        return text;
    }

private:
    Display* display;
    Window window;
};

class HarnessXInput : public test::EndToEndTest
{
};

// The last event other than pointer motion.
XEvent lastButtonEvent (const std::vector<XEvent>& events)
{
    for (auto e = events.rbegin(); e != events.rend(); ++e)
        if (e->type != MotionNotify)
            return *e;
    return {};
}
}

TEST_F (HarnessXInput, ClicksDragsAndKeysArriveAsSent)
{
    ASSERT_TRUE (input->isAvailable());
    ProbeWindow probe (xServer->getDisplayName(), 300, 200, 400, 300, 0x202020);

    input->click (probe.id(), 30, 40);
    auto events = probe.takeEvents();
    ASSERT_GE (events.size(), 2u);
    const auto press = std::find_if (events.begin(), events.end(), [] (const XEvent& e) { return e.type == ButtonPress; });
    ASSERT_NE (press, events.end());
    EXPECT_EQ (press->xbutton.x, 30);
    EXPECT_EQ (press->xbutton.y, 40);
    EXPECT_EQ (press->xbutton.button, 1u);
    EXPECT_EQ (lastButtonEvent (events).type, ButtonRelease);
    EXPECT_EQ (events.back().type, MotionNotify) << "the pointer stirred after the click";
    EXPECT_EQ (events.back().xmotion.x, 30) << "and came back";

    // A drag: pressed at the start, moved with the button held, released at the end.
    input->drag (probe.id(), 10, 10, 110, 60, 5);
    events = probe.takeEvents();
    int heldMoves = 0;
    for (const auto& e : events)
        heldMoves += e.type == MotionNotify && (e.xmotion.state & Button1Mask) != 0 ? 1 : 0;
    EXPECT_EQ (heldMoves, 5);
    ASSERT_FALSE (events.empty());
    EXPECT_EQ (lastButtonEvent (events).type, ButtonRelease);
    EXPECT_EQ (lastButtonEvent (events).xbutton.x, 110);
    EXPECT_EQ (lastButtonEvent (events).xbutton.y, 60);

    // Keys, with the focus given first (there is no window manager to give it).
    input->focus (probe.id());
    ASSERT_TRUE (input->pressKey ("Return"));
    ASSERT_TRUE (input->pressKey ("F5"));
    ASSERT_TRUE (input->pressKey ("1", test::XTestInput::control));
    ASSERT_TRUE (input->pressKey ("Escape"));
    EXPECT_FALSE (input->pressKey ("NoSuchKey"));
    events = probe.takeEvents();
    std::vector<std::pair<KeySym, bool>> keys;
    for (auto& e : events)
        if (e.type == KeyPress)
        {
            const KeySym keysym = XLookupKeysym (&e.xkey, 0);
            if (keysym != XK_Control_L)
                keys.emplace_back (keysym, (e.xkey.state & ControlMask) != 0);
        }
    const std::vector<std::pair<KeySym, bool>> expected {
        { XK_Return, false }, { XK_F5, false }, { XK_1, true }, { XK_Escape, false }
    };
    EXPECT_EQ (keys, expected);

    // Typed text, shifted where the keyboard needs it.
    ASSERT_TRUE (input->typeText ("Zund 2.20: Mix!"));
    EXPECT_EQ (ProbeWindow::typedText (probe.takeEvents()), "Zund 2.20: Mix!");
}

TEST_F (HarnessXInput, ScreenshotShowsTheScreen)
{
    ProbeWindow probe (xServer->getDisplayName(), 100, 200, 300, 150, 0xff8000);
    const auto file = artifactPath ("probe.xwd");
    ASSERT_TRUE (test::takeScreenshot (xServer->getDisplayName(), file));

    const auto image = test::readXwd (file);
    ASSERT_TRUE (image.has_value()) << "not a complete xwd image";
    EXPECT_EQ (image->width, 1920);
    EXPECT_EQ (image->height, 1200);
    EXPECT_EQ (image->depth, 24);
    EXPECT_EQ (image->pixelAt (100, 200), 0xff8000u);
    EXPECT_EQ (image->pixelAt (399, 349), 0xff8000u);
    EXPECT_NE (image->pixelAt (400, 200), 0xff8000u);
    EXPECT_NE (image->pixelAt (99, 349), 0xff8000u);
}
