#pragma once

// A few X11 queries for the end-to-end tests, kept apart from the framework's
// headers (Xlib's macros clash with them).

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zund::test
{
struct WindowInfo
{
    unsigned long id = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::string title;
};

/** Opens a connection to the display (e.g. ":99"); false when it is not up.
    Without a connection every query fails the test, naming the display, and
    finds nothing. */
class X11Display
{
public:
    explicit X11Display (const std::string& name);
    ~X11Display();

    bool isOpen() const noexcept { return display != nullptr; }
    const std::string& getName() const noexcept { return name; }

    /** A mapped top-level window whose title is exactly `title`. */
    std::optional<WindowInfo> findWindow (const std::string& title);

    /** Asks the window to close as a window manager's close button would. */
    bool sendCloseRequest (unsigned long window);

    /** Every mapped top-level window, bottom first. */
    std::vector<WindowInfo> listWindows();

    /** Number of mapped windows with that title. */
    int countWindows (const std::string& title);

    /** Adds the ids of the top-level windows with that title, mapped or not, to ids. */
    void collectWindowIds (const std::string& title, std::set<unsigned long>& ids);

    /** The Xlib Display*, for the input and probe helpers. */
    void* getNativeHandle() const noexcept { return display; }

private:
    bool reachable() const;

    std::string name;
    void* display = nullptr;

    X11Display (const X11Display&) = delete;
    X11Display& operator= (const X11Display&) = delete;
};
}
