#include "sim/MachineModel.h"
#include "sim/MachineSettings.h"
#include "sim/app/HostsimWindow.h"
#include "sim/app/Journal.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTextBlock>

#include <gtest/gtest.h>

// The simulator's window over a model on a manual clock: what it shows of the status line, its
// history and the journal.

namespace {

class HostsimWindowFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        model = std::make_unique<hostsim::MachineModel>(clock, m_folder.path(), QStringLiteral("Mach3Mill"));
        window = std::make_unique<hostsim::HostsimWindow>(*model, journal, QString());
    }

    QStringList Lines(const char* view) const
    {
        QStringList lines;
        const auto* edit = window->findChild<QPlainTextEdit*>(QLatin1String(view));
        for (QTextBlock b = edit->document()->begin(); b.isValid(); b = b.next())
            lines << b.text();
        return lines;
    }

    hostsim::ManualClock clock;
    hostsim::Journal journal{QString()};
    std::unique_ptr<hostsim::MachineModel> model;
    std::unique_ptr<hostsim::HostsimWindow> window;

private:
    QTemporaryDir m_folder;
};

}  // namespace

TEST_F(HostsimWindowFixture, CaptionIsTheControllersOwn)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Mach3 CNC Controller "));
    EXPECT_EQ(window->Caption(), window->windowTitle());
}

// Every message reaches the history, also once the model's own history is full and drops its
// oldest entry for each new one, and when the same text comes twice.
TEST_F(HostsimWindowFixture, HistoryShowsEveryNewMessage)
{
    for (int i = 0; i < hostsim::StatusLog::Capacity; ++i)
        model->Message(QStringLiteral("m%1").arg(i));
    window->Refresh();
    model->Message(QStringLiteral("same"));
    model->Message(QStringLiteral("same"));
    model->Message(QStringLiteral("last"));
    window->Refresh();
    const QStringList lines = Lines("history");
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.mid(lines.size() - 4),
              (QStringList{QStringLiteral("m999"), QStringLiteral("same"), QStringLiteral("same"),
                           QStringLiteral("last")}));
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("status"))->text(), QStringLiteral("last"));
}

// A message of many long lines shows as one shortened line and leaves the window's size alone;
// the history keeps all of it.
TEST_F(HostsimWindowFixture, LongMessagesDoNotStretchTheWindow)
{
    const int before = window->minimumSizeHint().width();
    const QString longLine(30000, QLatin1Char('x'));
    model->Message(longLine + QStringLiteral("\nsecond line"));
    window->Refresh();
    const QString shown = window->findChild<QLabel*>(QStringLiteral("status"))->text();
    EXPECT_LE(shown.size(), 210);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("xxxx")));
    EXPECT_FALSE(shown.contains(QStringLiteral("second")));
    EXPECT_LE(window->minimumSizeHint().width(), before + 50);
    EXPECT_EQ(Lines("history").mid(0, 2), (QStringList{longLine, QStringLiteral("second line")}));
}

// A flood of calls shows as the newest few and a count of the rest.
TEST_F(HostsimWindowFixture, JournalViewTakesTheNewestCalls)
{
    for (int i = 0; i < 5000; ++i)
        journal.Record(QStringLiteral("IsMoving() %1").arg(i));
    window->Refresh();
    const QStringList lines = Lines("journal");
    ASSERT_EQ(lines.size(), hostsim::Journal::PendingLines + 1);
    EXPECT_EQ(lines.first(), QStringLiteral("... 4900 calls not shown"));
    EXPECT_TRUE(lines.last().endsWith(QStringLiteral("IsMoving() 4999")));
}
