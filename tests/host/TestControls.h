#pragma once

#include "host/Mach4_TLB.h"
#include "host/MachBinding.h"

#include <QElapsedTimer>
#include <QObject>

#include <functional>

class TMachUpdateThread;

// A host-bound control for the link tests: reads one LED per pass and remembers what binding
// and polling handed it.
class TestControl : public QObject, public IMachBindable, public IMachPollable
{
public:
    explicit TestControl(QObject* parent = nullptr, MachBindingRow row = {})
        : QObject(parent), m_row(row)
    {
    }

    MachBindingRow BindingRow() const override { return m_row; }
    void BindMach(const std::shared_ptr<IMyScriptObject>& mach, TMachUpdateThread* thread) override
    {
        ++bindCount;
        iMach = mach;
        updateThread = thread;
    }
    void PollRefresh(IMyScriptObject& mach, bool inReset) override
    {
        ++refreshCount;
        enabled = !inReset;
        if (ledCode != 0)
            lit = mach.GetOEMLed(ledCode);
        if (onRefresh)
            onRefresh();
    }

    int16_t ledCode = 0;
    int bindCount = 0;
    int refreshCount = 0;
    bool enabled = false;
    bool lit = false;
    std::shared_ptr<IMyScriptObject> iMach;
    TMachUpdateThread* updateThread = nullptr;
    std::function<void()> onRefresh;

private:
    MachBindingRow m_row;
};

class TestMessageLog : public QObject, public IMachMessageLog
{
public:
    using QObject::QObject;
    void AppendMessageLine(const QString& text) override { lines.append(text); }
    QStringList lines;
};
