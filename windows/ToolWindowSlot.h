#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class IMessageBoxes;
class TLayoutStorage;

// One tool window of the main window, opened by the same rule from the menu, the cool bar and
// the title bar: the first open creates the window and runs its first-open steps (restore its
// layout, hand it the host, scale, bind); every open shows it and brings it up. When a
// first-open step fails (binding without a host: "IMach not Set") the error box is shown and
// the window stays created but hidden; a later open shows it without running the steps again.
class TToolWindowSlot final
{
public:
    using Create = std::function<QWidget*()>;
    using FirstOpen = std::function<void(QWidget*)>;
    // A step on an existing window and the desktop layout store; it selects its own section.
    using LayoutStep = std::function<void(QWidget*, TLayoutStorage&)>;

    TToolWindowSlot() = default;
    TToolWindowSlot(Create create, FirstOpen firstOpen);

    bool Available() const { return static_cast<bool>(m_create); }
    bool Exists() const { return !m_window.isNull(); }
    QWidget* Window() const { return m_window.data(); }

    // Writes the window's section when the operator saves the desktop layout.
    void SetSaveLayout(LayoutStep step) { m_saveLayout = std::move(step); }
    // Stores what the window keeps at program end; runs before the window is destroyed.
    void SetStoreAtClose(LayoutStep step) { m_storeAtClose = std::move(step); }

    // Opens the window by the rule above; errors go to `boxes`.
    void Open(IMessageBoxes& boxes);
    // The two layout steps; each does nothing unless the window exists and has that step.
    // Failures propagate to the caller.
    void SaveLayout(TLayoutStorage& store) const;
    void StoreAtClose(TLayoutStorage& store) const;
    // Destroys the window (at application close).
    void Destroy();

private:
    Create m_create;
    FirstOpen m_firstOpen;
    LayoutStep m_saveLayout;
    LayoutStep m_storeAtClose;
    QPointer<QWidget> m_window;
};
