#pragma once

#include <QString>

#include <functional>
#include <memory>

class IMyScriptObject;
class QObject;
class TMachUpdateThread;

// What binding a window hands a host-bound control, and whether the control joins the update
// thread's registration list. Each control class answers with its own row; binding does not
// descend into the children of a control that answers (a frame binds its own parts).
struct MachBindingRow
{
    bool receivesScriptObject = true;
    bool receivesUpdateThread = false;
    bool registersForPolling = true;
    // Registered before it is bound (rather than after), for a control whose bind registers
    // parts of itself that must follow its own entry.
    bool registersBeforeBinding = false;
};

// A control that binding hands the host script object (and the update thread where it asks).
// A control with a script object acts on the host; without one it makes no host call.
class IMachBindable
{
public:
    virtual ~IMachBindable() = default;
    virtual MachBindingRow BindingRow() const = 0;
    // `thread` is null unless the row asks for it. Called on the UI thread.
    virtual void BindMach(const std::shared_ptr<IMyScriptObject>& iMach,
                          TMachUpdateThread* thread) = 0;
};

// A control refreshed by each poll pass. `mach` is the update thread's own script object;
// `machineInReset` is OEM LED 800 as read at the start of the pass. A host failure propagates
// out and ends polling; the control keeps whatever it showed.
class IMachPollable
{
public:
    virtual ~IMachPollable() = default;
    virtual void PollRefresh(IMyScriptObject& mach, bool machineInReset) = 0;
};

// How a registered control is shown while polling has stopped and what it shows is no longer
// the host's: called with `stale` true for every registration when a failing pass ends polling
// (and for each control registered while polling stays stopped), and with false for every
// registration when a pass succeeds again. The widget layer supplies it; a control needs no
// code of its own to be shown stale. UI thread only.
using MachStaleView = std::function<void(QObject* control, bool stale)>;

// The message log a bound window offers; status messages are appended to it as new lines.
class IMachMessageLog
{
public:
    virtual ~IMachMessageLog() = default;
    virtual void AppendMessageLine(const QString& text) = 0;
};
