#include "controls/MachMDIframe.h"
#include "controls/MachMsgLogFrame.h"
#include "host/CMach4Wrapper.h"
#include "host/MachUpdateThread.h"
#include "controls/DROframe.h"
#include "controls/DROMultiBtn.h"
#include "controls/DroAmountFrame.h"
#include "controls/DroSpeedFrame.h"
#include "controls/MachDro.h"
#include "controls/MachLed.h"

#include "DisplaysTestSupport.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

QString Call(const char* text)
{
    return QString::fromLatin1(text);
}

struct MdiFixture : ::testing::Test
{
    DisplaysHarness h;
    TMachMDI* mdi = new TMachMDI(h.platform.services, &h.window);

    // Keys go where the keyboard sends them: to the focused box, which hands them on to its
    // line edit itself.
    void Send(const QString& text)
    {
        QComboBox* box = mdi->CodeBox();
        box->setFocus();
        box->lineEdit()->clear();
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Return);
    }
};

}  // namespace

TEST_F(MdiFixture, DisabledUntilBoundAndUntouchedByThePass)
{
    EXPECT_FALSE(mdi->isEnabled());
    mdi->BindMach(h.host, nullptr);
    EXPECT_TRUE(mdi->isEnabled());
    mdi->PollRefresh(*h.host, true);
    EXPECT_TRUE(mdi->isEnabled()) << "usable while the host is in reset";
    mdi->SetIMach(nullptr);
    EXPECT_FALSE(mdi->isEnabled());
}

// History in the order first sent, without a second entry that differs only in letter case;
// every block is sent as typed, the empty one too.
TEST_F(MdiFixture, EnterSendsAsTypedAndKeepsAHistoryWithoutCaseOnlyDuplicates)
{
    h.Show();
    mdi->BindMach(h.host, nullptr);
    for (const char* block : {"G0 X1", "M3 S1000", "g0 x1", "G0 X1", ""})
        Send(QString::fromLatin1(block));
    EXPECT_EQ(h.Journal(), (QStringList{Call("Code(\"G0 X1\")"), Call("Code(\"M3 S1000\")"),
                                        Call("Code(\"g0 x1\")"), Call("Code(\"G0 X1\")"),
                                        Call("Code(\"\")")}));
    EXPECT_EQ(mdi->History(), (QStringList{Call("G0 X1"), Call("M3 S1000"), QString()}));

    QTest::keyClick(mdi->CodeBox()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(h.Journal().size(), 6) << "the text stays, so Enter sends it again";
    mdi->CodeBox()->setCurrentIndex(1);
    EXPECT_EQ(mdi->CodeBox()->currentText(), Call("M3 S1000"));
    EXPECT_EQ(h.Journal().size(), 6) << "choosing a history item sends nothing";
}

TEST_F(MdiFixture, TypedTextIsNotCompletedFromTheHistory)
{
    h.Show();
    mdi->BindMach(h.host, nullptr);
    Send(QStringLiteral("G0 X100"));
    Send(QStringLiteral("G0"));
    EXPECT_EQ(h.Journal().last(), Call("Code(\"G0\")"));
}

TEST_F(MdiFixture, HostErrorIsShownAndTheBlockStaysInTheHistory)
{
    h.Show();
    mdi->BindMach(h.host, nullptr);
    h.host->failFromCall = 0;
    Send(QStringLiteral("G1 Z-1"));
    ASSERT_EQ(h.platform.messageBoxes.shown.size(), 1);
    EXPECT_EQ(mdi->History(), QStringList{Call("G1 Z-1")});
}

// ---- Message log and binding through the host connection ----

TEST(MsgLogTest, StatusMessagesReachTheLogOnlyWhenABoundWindowHasOne)
{
    DisplaysHarness h;
    RecordingDocumentFactory documents(h.host);
    TCMach4Wrapper wMach(documents, h.platform.services, &h.window);
    new TMachMDI(h.platform.services, &h.window);
    wMach.SetConnected(true);
    ASSERT_TRUE(wMach.Connected());
    h.host->ClearJournal();
    wMach.StatusMessage(QStringLiteral("no log yet"));
    EXPECT_EQ(h.Journal(), QStringList{Call("Message(\"no log yet\")")});

    QWidget tool;
    auto* log = new TMachMsgLog(&tool);
    wMach.BindWindow(&tool);
    wMach.StatusMessage(QStringLiteral("first"));
    wMach.StatusMessage(QStringLiteral("second"));
    EXPECT_EQ(log->Memo()->toPlainText(), QStringLiteral("first\nsecond"));
    EXPECT_EQ(log->DragBar()->text(), QStringLiteral("Message Log"));
    EXPECT_EQ(h.host->Calls(Call("Message")).size(), 3);
}

// Binding a window hands each display control what its row says and registers it; the
// multi-button frame registers its own four lamps ahead of itself.
TEST(DisplaysBindingTest, BindWindowGivesEachControlItsRow)
{
    DisplaysHarness h;
    RecordingDocumentFactory documents(h.host);
    TCMach4Wrapper wMach(documents, h.platform.services, &h.window);
    PlatformServices& p = h.platform.services;
    auto* axis = new TAxisDRO(p, &h.window);
    auto* dro = new TMachDro(p, &h.window);
    auto* speed = new TDROspeed(p, &h.window);
    auto* amount = new TDroAmount(p, &h.window);
    auto* multi = new TAxisMultiBtnDRO(p, &h.window);
    auto* led = new tMachLed(&h.window);
    auto* mdi = new TMachMDI(p, &h.window);
    auto* log = new TMachMsgLog(&h.window);
    wMach.SetConnected(true);
    ASSERT_TRUE(wMach.Connected());
    TMachUpdateThread* thread = wMach.UpdateThread();

    EXPECT_EQ(thread->Registrations(),
              (QList<QObject*>{axis, dro, speed, amount, multi->RefLed(), multi->HomeLed(),
                               multi->MinusLimitLed(), multi->PlusLimitLed(), multi, led, mdi}));
    EXPECT_EQ(axis->iMach(), h.host);
    EXPECT_EQ(axis->UpdateThread(), thread);
    EXPECT_EQ(speed->UpdateThread(), thread);
    EXPECT_EQ(amount->UpdateThread(), thread);
    EXPECT_EQ(multi->UpdateThread(), thread);
    EXPECT_EQ(multi->RefLed()->iMach(), h.host);
    EXPECT_EQ(led->iMach(), h.host);
    EXPECT_EQ(mdi->iMach(), h.host);
    EXPECT_EQ(wMach.MessageLog(), static_cast<IMachMessageLog*>(log));
}
