#pragma once

#include "host/MachBinding.h"

#include <QPointer>

#include <memory>

class QWidget;
class TMachUpdateThread;

// The rows most controls answer with: the script object, registered for polling; and the same
// with the update thread.
inline constexpr MachBindingRow ScriptObjectBindingRow{
    .receivesScriptObject = true, .receivesUpdateThread = false, .registersForPolling = true};
inline constexpr MachBindingRow ScriptObjectAndThreadBindingRow{
    .receivesScriptObject = true, .receivesUpdateThread = true, .registersForPolling = true};

// What every host-bound control holds the same way: the script object `iMach`, the update
// thread where its binding row asks for it, and its answer to window binding. Binding calls
// SetIMach (so the control's own reaction to a new reference runs) and then keeps the thread
// the row asked for; a control whose binding does more overrides BindMach.
//
// Setting a reference stores it and then runs IMachAssigned; unless a control says otherwise,
// that enables `control` with a reference and disables it without one. The thread is held
// weakly: a thread destroyed meanwhile reads as none. UI thread only.
class TMachHostBinding : public IMachBindable
{
public:
    const std::shared_ptr<IMyScriptObject>& iMach() const { return m_iMach; }
    void SetIMach(std::shared_ptr<IMyScriptObject> iMach);
    TMachUpdateThread* UpdateThread() const;

    MachBindingRow BindingRow() const override { return m_row; }
    void BindMach(const std::shared_ptr<IMyScriptObject>& iMach,
                  TMachUpdateThread* thread) override;

protected:
    // `control` is the widget this binding belongs to (the object deriving from both).
    TMachHostBinding(QWidget& control, MachBindingRow row);
    ~TMachHostBinding() override;
    TMachHostBinding(const TMachHostBinding&) = delete;
    TMachHostBinding& operator=(const TMachHostBinding&) = delete;

    // Runs after SetIMach stored the new reference.
    virtual void IMachAssigned();
    void SetUpdateThread(TMachUpdateThread* thread);

private:
    QWidget& m_control;
    MachBindingRow m_row;
    std::shared_ptr<IMyScriptObject> m_iMach;
    QPointer<TMachUpdateThread> m_updateThread;
};
