#include "EditorTestSupport.h"

#include "platform/ZentyrError.h"

#include <QDir>

namespace {

QString LoadFileCall(const QString& path)
{
    return S("LoadFile(\"") + path + S("\")");
}

// Run presses cycle start only for what the operator sees: unsaved edits are saved, loaded
// into the host and waited for first; a cancelled save, a failed write or a load that does not
// end starts nothing.
TEST_F(EditorFixture, RunStartsTheProgramAsEdited)
{
    TGCodeEditor& form = Open();
    const QString file = Path(S("run.tap"));
    // A file whose folder is replaced by a file once it is the current file.
    const QString unwritable = Path(S("gone/run.tap"));
    const QString close = S("DoOEMButton(169)");
    const QString start = S("DoOEMButton(1000)");
    const QString loading = S("IsLoading()");
    const int stuck = TGCodeEditorCommands::LoadingLimitMs / TGCodeEditorCommands::LoadingPollMs;
    const struct {
        const char* what;
        bool modified;
        QString current;
        std::optional<QString> saveAs;
        std::deque<int> loadingAnswers;
        QStringList journal;
        QByteArray onDisk;
        const char* error;
    } cases[] = {
        {"no edits", false, file, std::nullopt, {}, {start}, "OLD\r\n", nullptr},
        {"edits", true, file, std::nullopt, {1, 1, 0},
         {close, close, LoadFileCall(file), loading, loading, loading, start}, "G0 X1\r\nM30\r\n",
         nullptr},
        {"edits, new text", true, QString(), file, {0},
         {close, close, LoadFileCall(file), loading, start}, "G0 X1\r\nM30\r\n", nullptr},
        {"edits, new text, save cancelled", true, QString(), std::nullopt, {}, {}, "OLD\r\n",
         nullptr},
        {"edits, write fails", true, unwritable, std::nullopt, {}, {close}, "OLD\r\n",
         "Could not write the G-code file"},
        {"edits, loading never ends", true, file, std::nullopt, std::deque<int>(stuck + 5, 1),
         QStringList{close, close, LoadFileCall(file)} + QStringList(stuck + 1, loading),
         "G0 X1\r\nM30\r\n", "Mach3 did not finish loading"},
    };
    for (const auto& c : cases) {
        WriteBytes(file, "OLD\r\n");
        form.Commands().SetModified(false);
        form.Commands().New();
        QFile::remove(Path(S("gone")));
        QDir(folder.path()).mkpath(S("gone"));
        if (!c.current.isEmpty()) {
            platform.fileDialogs.answers = {c.current};
            form.Commands().SaveAs();
        }
        QDir(Path(S("gone"))).removeRecursively();
        WriteBytes(Path(S("gone")), "a file");
        Type(S("G0 X1\nM30"));
        form.Commands().SetModified(c.modified);
        form.CodeList()->SetLines({});
        QTest::mouseClick(form.CodeList()->viewport(), Qt::LeftButton);
        ASSERT_FALSE(form.ListInFront());
        WriteBytes(file, "OLD\r\n");
        host->ClearJournal();
        host->loadingSequence = c.loadingAnswers;
        platform.waiter.waits.clear();
        platform.messageBoxes.shown.clear();
        platform.fileDialogs.answers = {c.saveAs};

        form.btnRun()->click();

        const bool started = c.journal.contains(start);
        EXPECT_EQ(host->journal, c.journal) << c.what;
        EXPECT_EQ(ReadBytes(file), c.onDisk) << c.what;
        EXPECT_EQ(form.ListInFront(), started) << c.what;
        EXPECT_EQ(form.focusWidget() == form.btnStop(), started) << c.what;
        const QStringList errors = Shown(IMessageBoxes::Kind::Error);
        if (c.error) {
            ASSERT_EQ(errors.size(), 1) << c.what;
            EXPECT_TRUE(errors[0].startsWith(S(c.error))) << errors[0].toStdString();
        } else {
            EXPECT_TRUE(errors.isEmpty()) << c.what << errors.join(S("; ")).toStdString();
        }
        if (started && c.modified) {
            EXPECT_EQ(form.CodeList()->Lines(), (QStringList{S("G0 X1"), S("M30")})) << c.what;
            EXPECT_TRUE(platform.waiter.waits.contains(S("SleepProcessingEvents(250)")));
        }
    }
    // The wait gave up after its limit, having slept only with events processed.
    EXPECT_EQ(platform.waiter.waits.count(S("SleepProcessingEvents(100)")), stuck);
    EXPECT_EQ(platform.waiter.waits.filter(S("Sleep(")).size(), 0);
}

// While a Run waits for the host to load, the windows stay live: a second Run is ignored and
// the window may even go; nothing is started then.
TEST_F(EditorFixture, RunWaitingForTheHostStaysSafe)
{
    TGCodeEditor& form = Open();
    const QString file = Path(S("wait.tap"));
    platform.fileDialogs.answers = {file};
    form.Commands().SaveAs();
    Type(S("G0 X1"));
    host->loadingSequence = {1, 1, 1, 0};
    int nested = 0;
    platform.waiter.onWait = [&] {
        if (platform.waiter.waits.constLast() == S("SleepProcessingEvents(100)") && nested++ == 0)
            form.btnRun()->click();
    };
    form.btnRun()->click();
    EXPECT_EQ(host->Calls(S("DoOEMButton(1000)")).size(), 1);
    EXPECT_EQ(host->Calls(S("LoadFile")).size(), 1);

    host->ClearJournal();
    host->loadingSequence = {1, 1, 1, 0};
    platform.waiter.onWait = [&] {
        if (platform.waiter.waits.constLast() == S("SleepProcessingEvents(100)"))
            window->ToolWindowSlot(TForm1::ToolWindow::Editor).Destroy();
    };
    form.btnRun()->click();
    platform.waiter.onWait = nullptr;
    EXPECT_EQ(window->ToolWindowSlot(TForm1::ToolWindow::Editor).Window(), nullptr);
    EXPECT_TRUE(host->Calls(S("DoOEMButton(1000)")).isEmpty());
    EXPECT_TRUE(Shown(IMessageBoxes::Kind::Error).isEmpty());
}

}  // namespace
