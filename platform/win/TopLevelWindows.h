#pragma once

#include <cstdint>
#include <string_view>

// Finding a top-level window by its caption and showing or hiding it, in plain Win32. Window
// handles travel as integers so that callers need no system headers.

namespace winplatform {

using WindowHandle = std::uintptr_t;

// The first top-level window whose caption is exactly `caption` (letter case and blanks
// count), of any window class and any process; 0 when there is none. Never waits on the
// window's owner, so a hung program cannot hold the caller.
WindowHandle FindTopLevelWindow(std::wstring_view caption);

// Shows the window without activating it (the operator's focus stays where it is), or hides
// it. The request is posted, so a hung owner cannot hold the caller; the change happens when
// the owner next processes its messages. Returns false when the window has gone.
bool ShowWithoutActivating(WindowHandle window, bool visible);

}  // namespace winplatform
