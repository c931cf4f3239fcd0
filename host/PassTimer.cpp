#include "host/PassTimer.h"

#include <QTimer>

#include <algorithm>

namespace {

class QtPassTimer final : public IPassTimer
{
public:
    QtPassTimer()
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
            if (m_job)
                m_job();
        });
    }

    void SetJob(std::function<void()> job) override { m_job = std::move(job); }
    void Start(int ms) override { m_timer.start(std::max(0, ms)); }
    void Stop() override { m_timer.stop(); }
    bool IsActive() const override { return m_timer.isActive(); }

private:
    QTimer m_timer;
    std::function<void()> m_job;
};

}  // namespace

std::unique_ptr<IPassTimer> MakeQtPassTimer()
{
    return std::make_unique<QtPassTimer>();
}
