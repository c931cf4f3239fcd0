#include "platform/win/WinHostWindows.h"

#include "platform/win/TopLevelWindows.h"

std::optional<IHostWindows::Handle> WinHostWindows::FindWindowByCaption(const QString& caption)
{
    const winplatform::WindowHandle window = winplatform::FindTopLevelWindow(caption.toStdWString());
    if (window == 0)
        return std::nullopt;
    return static_cast<Handle>(window);
}

void WinHostWindows::SetWindowVisible(Handle window, bool visible)
{
    // A window that has gone is ignored, as the interface promises.
    winplatform::ShowWithoutActivating(static_cast<winplatform::WindowHandle>(window), visible);
}
