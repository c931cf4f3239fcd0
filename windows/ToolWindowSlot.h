#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

class IMessageBoxes;

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

    TToolWindowSlot() = default;
    TToolWindowSlot(Create create, FirstOpen firstOpen);

    bool Available() const { return static_cast<bool>(m_create); }
    bool Exists() const { return !m_window.isNull(); }
    QWidget* Window() const { return m_window.data(); }

    // Opens the window by the rule above; errors go to `boxes`.
    void Open(IMessageBoxes& boxes);
    // Destroys the window (at application close).
    void Destroy();

private:
    Create m_create;
    FirstOpen m_firstOpen;
    QPointer<QWidget> m_window;
};
