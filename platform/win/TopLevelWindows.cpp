#include "platform/win/TopLevelWindows.h"

#include <windows.h>

#include <string>
#include <vector>

namespace winplatform {

namespace {

struct Search
{
    std::wstring_view caption;
    std::vector<wchar_t> buffer;
    HWND found = nullptr;
};

BOOL CALLBACK CompareCaption(HWND window, LPARAM context)
{
    auto& search = *reinterpret_cast<Search*>(context);
    // Reading one character more than the caption tells a longer caption apart. For windows
    // of other processes the system answers from its own copy of the text, without a message
    // to the owner.
    const int length = GetWindowTextW(window, search.buffer.data(), static_cast<int>(search.buffer.size()));
    if (length >= 0 && static_cast<size_t>(length) == search.caption.size()
        && search.caption.compare(0, search.caption.size(), search.buffer.data(),
                                  static_cast<size_t>(length)) == 0) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

WindowHandle FindTopLevelWindow(std::wstring_view caption)
{
    if (caption.empty())
        return 0;
    Search search{caption, std::vector<wchar_t>(caption.size() + 2, L'\0'), nullptr};
    EnumWindows(CompareCaption, reinterpret_cast<LPARAM>(&search));
    return reinterpret_cast<WindowHandle>(search.found);
}

bool ShowWithoutActivating(WindowHandle window, bool visible)
{
    const HWND hwnd = reinterpret_cast<HWND>(window);
    if (hwnd == nullptr || !IsWindow(hwnd))
        return false;
    ShowWindowAsync(hwnd, visible ? SW_SHOWNOACTIVATE : SW_HIDE);
    return true;
}

}  // namespace winplatform
