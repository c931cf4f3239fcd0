#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// Finding the controller's top-level window and showing or hiding it. Implementations never
// activate the window: the operator keeps the focus where it was.
class IHostWindows
{
public:
    using Handle = quintptr;

    virtual ~IHostWindows() = default;

    // The first top-level window whose caption equals `caption` exactly, of any window class.
    virtual std::optional<Handle> FindWindowByCaption(const QString& caption) = 0;

    // Shows (without activating) or hides the window. A window that has gone is ignored.
    virtual void SetWindowVisible(Handle window, bool visible) = 0;
};
