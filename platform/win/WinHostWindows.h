#pragma once

#include "platform/HostWindows.h"

// The controller's windows on Windows: any top-level window of any process, found by its
// exact caption; shown without activating, or hidden.
class WinHostWindows final : public IHostWindows
{
public:
    std::optional<Handle> FindWindowByCaption(const QString& caption) override;
    void SetWindowVisible(Handle window, bool visible) override;
};
