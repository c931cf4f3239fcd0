#pragma once

#include "host/PassTimer.h"

#include <QList>
#include <QtGlobal>

#include <algorithm>
#include <functional>
#include <optional>

// A pass timer on a clock of the test's own: its job runs only when the test moves the clock
// to the armed time, so pacing is checked in exact milliseconds and nothing waits.
class ManualPassTimer final : public IPassTimer
{
public:
    void SetJob(std::function<void()> job) override { m_job = std::move(job); }
    void Start(int ms) override
    {
        armed.append(ms);
        m_due = m_now + std::max(0, ms);
    }
    void Stop() override { m_due.reset(); }
    bool IsActive() const override { return m_due.has_value(); }

    qint64 NowMs() const { return m_now; }

    // Moves the clock on by `ms`, running the job whenever the armed time is reached. The job
    // may move the clock itself (a pass that takes its time).
    void Advance(qint64 ms)
    {
        const qint64 target = m_now + ms;
        while (m_due && *m_due <= target) {
            m_now = std::max(m_now, *m_due);
            m_due.reset();
            if (m_job)
                m_job();
        }
        m_now = std::max(m_now, target);
    }

    // Moves the clock to the armed time and runs the job; false when nothing is armed.
    bool Fire()
    {
        if (!m_due)
            return false;
        Advance(*m_due - m_now);
        return true;
    }

    // Every pause armed, in order.
    QList<int> armed;

private:
    std::function<void()> m_job;
    std::optional<qint64> m_due;
    qint64 m_now = 0;
};
