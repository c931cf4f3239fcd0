#include "platform/TerminationSignals.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>

#include <csignal>

namespace {

class CountingWindow final : public QWidget
{
public:
    int closes = 0;

protected:
    void closeEvent(QCloseEvent* event) override
    {
        ++closes;
        event->accept();
    }
};

}  // namespace

// A termination request closes the window through the event loop, as the operator's close
// does; the signal handler itself does nothing else.
TEST(TerminationSignals, CloseTheWindowThroughTheEventLoop)
{
    CountingWindow window;
    window.show();
    CloseOnTerminationSignals(window);
    std::raise(SIGTERM);
    EXPECT_EQ(window.closes, 0) << "nothing runs inside the signal handler";
    QElapsedTimer waited;
    waited.start();
    while (window.closes == 0 && waited.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(window.closes, 1);
    EXPECT_FALSE(window.isVisible());
}
