#include "EditorTestSupport.h"
#include "FileSizeLimit.h"

#include "controls/MachButtonToggle.h"
#include "controls/MachDro.h"
#include "controls/Scalar.h"
#include "windows/LayoutStorage.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

namespace {

// Both "G code Editor" and the "Editor" button open it; first opening restores its section,
// binds it and registers the current-line field (by the hand-over and again by binding).
TEST_F(EditorFixture, OpensFromTheMainWindowBoundAndRestored)
{
    TLayoutStorage& fs = *window->fs();
    fs.SelectSection(TGCodeEditor::DesktopSection);
    fs.WriteInteger(S("Left"), 40);
    fs.WriteInteger(S("Top"), 50);
    fs.WriteInteger(S("ScalarSetting"), 10);
    fs.WriteString(S("LastFile"), S("/cnc/last.tap"));

    TGCodeEditor& form = Open();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.windowTitle(), S("G Code File"));
    EXPECT_EQ(form.pos(), QPoint(40, 50));
    EXPECT_EQ(form.Scalar1().Scalefactor(), 10);
    EXPECT_EQ(form.Commands().StoredLastFile(), S("/cnc/last.tap"));
    EXPECT_TRUE(form.ListInFront());
    EXPECT_EQ(Thread().Registrations().count(form.eLineNum()), 2);
    for (QPushButton* button : std::initializer_list<QPushButton*>{
             form.btnRun(), form.btnStop(), form.btnRewind(), form.btnReverse(), form.btnSingle()})
        EXPECT_TRUE(button->isEnabled()) << button->text().toStdString();

    const struct { TSkinnedButton* button; const char* sent; } presses[] = {
        {form.btnStop(), "DoOEMButton(1003)"},
        {form.btnRewind(), "DoOEMButton(1002)"},
        {form.btnReverse(), "DoOEMButton(279)"},
        {form.btnSingle(), "DoOEMButton(1004)"},
    };
    for (const auto& p : presses) {
        host->ClearJournal();
        p.button->click();
        EXPECT_EQ(host->journal, QStringList{S(p.sent)});
    }
    host->leds[82] = true;
    Thread().PollPass();
    EXPECT_TRUE(form.btnSingle()->Toggled());

    form.hide();
    window->OpenToolWindow(TForm1::ToolWindow::Editor);
    EXPECT_EQ(window->ToolWindowSlot(TForm1::ToolWindow::Editor).Window(), &form);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(Thread().Registrations().count(form.eLineNum()), 2) << "later openings only show";
}

// The list's selection follows the host's current line with five lines of context above it.
TEST_F(EditorFixture, ListFollowsTheCurrentLine)
{
    TGCodeEditor& form = Open();
    const QString path = Path(S("long.tap"));
    QByteArray program;
    for (int i = 0; i < 300; ++i)
        program += "G1 X" + QByteArray::number(i) + "\r\n";
    WriteBytes(path, program);
    window->wMach().LoadGCodeFile(path);
    ASSERT_EQ(form.CodeList()->Count(), 300);

    const struct { double line; int selected; int top; } cases[] = {
        {3, 3, 0}, {5, 5, 0}, {6, 6, 1}, {120, 120, 115}, {0, 0, 0}, {300, -1, 0},
        {77, 77, 72}, {-4, -1, 0}, {1e12, -1, 0},
    };
    for (const auto& c : cases) {
        host->dros[816] = c.line;
        Thread().PollPass();
        EXPECT_EQ(form.CodeList()->ItemIndex(), c.selected) << c.line;
        EXPECT_EQ(form.CodeList()->TopIndex(), c.top) << c.line;
    }
    EXPECT_EQ(form.eLineNum()->text(), S("1000000000000"));
    host->dros[816] = 0;
    Thread().PollPass();
    EXPECT_EQ(form.eLineNum()->text(), QString()) << "line 0 shows nothing";

    QTest::mouseClick(form.CodeList()->viewport(), Qt::LeftButton);
    EXPECT_FALSE(form.ListInFront()) << "a mouse release on the list brings the text forward";
}

// Every key released in the text sets the flag, arrows included; Ctrl+A is Save As.
TEST_F(EditorFixture, KeysSetTheModifiedFlagAndShortcutsRunTheCommands)
{
    TGCodeEditor& form = Open();
    QTest::mouseClick(form.CodeList()->viewport(), Qt::LeftButton);
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.CodeText()->setFocus();

    const int keys[] = {Qt::Key_Left, Qt::Key_X, Qt::Key_Shift};
    for (const int key : keys) {
        form.Commands().SetModified(false);
        EXPECT_EQ(form.ModifiedPanel()->text(), QString());
        QTest::keyClick(form.CodeText(), Qt::Key(key));
        EXPECT_TRUE(form.Commands().Modified()) << key;
        EXPECT_EQ(form.ModifiedPanel()->text(), S("Modified"));
    }
    EXPECT_EQ(Text(), S("x"));

    const struct { Qt::Key key; int opened; int saved; } shortcuts[] = {
        {Qt::Key_A, 0, 1}, {Qt::Key_S, 0, 1}, {Qt::Key_O, 1, 0},
    };
    for (const auto& s : shortcuts) {
        platform.fileDialogs.opened.clear();
        platform.fileDialogs.saved.clear();
        platform.messageBoxes.answers = {IMessageBoxes::Answer::No};
        QTest::keyClick(form.CodeText(), s.key, Qt::ControlModifier);
        EXPECT_EQ(platform.fileDialogs.opened.size(), s.opened) << s.key;
        EXPECT_EQ(platform.fileDialogs.saved.size(), s.saved) << s.key;
    }
    EXPECT_EQ(Text(), S("x")) << "Ctrl+A does not select the text for typing over it";
}

// Save, Save As and Close with and without edits; New and Open ask before dropping edits.
TEST_F(EditorFixture, FileCommandsKeepTypedWork)
{
    using A = IMessageBoxes::Answer;
    TGCodeEditor& form = Open();
    const QString first = Path(S("first.tap"));
    const QString second = Path(S("second.tap"));
    WriteBytes(second, "G0 X2\r\n");
    auto& answers = platform.fileDialogs.answers;
    auto& boxes = platform.messageBoxes.answers;

    // Save with edits and no file: the save dialog, in MachDir + "GCode", with the filter.
    Type(S("G0 X1"));
    form.SaveAction()->trigger();
    ASSERT_EQ(platform.fileDialogs.saved.size(), 1);
    const FileDialogOptions& asked = platform.fileDialogs.saved.constLast();
    EXPECT_EQ(asked.initialFolder, window->wMach().MachDir() + S("GCode"));
    EXPECT_EQ(asked.filter, S("GCode Files (*.tap)|*.tap"));
    EXPECT_EQ(asked.defaultExtension, S("tap"));
    EXPECT_FALSE(asked.overwritePrompt);
    EXPECT_TRUE(form.Commands().Modified()) << "cancelled";

    answers = {first};
    form.SaveAction()->trigger();
    EXPECT_EQ(ReadBytes(first), QByteArray("G0 X1\r\n"));
    EXPECT_FALSE(form.Commands().Modified());
    EXPECT_EQ(form.FilePanel()->text(), first);

    // Save with edits always asks, prefilled; without edits it writes at once.
    Type(S("G0 X3"));
    form.SaveAction()->trigger();
    EXPECT_EQ(platform.fileDialogs.saved.constLast().fileName, first);
    EXPECT_EQ(ReadBytes(first), QByteArray("G0 X1\r\n"));
    form.Commands().SetModified(false);
    const qsizetype dialogs = platform.fileDialogs.saved.size();
    form.SaveAction()->trigger();
    EXPECT_EQ(platform.fileDialogs.saved.size(), dialogs);
    EXPECT_EQ(ReadBytes(first), QByteArray("G0 X3\r\n"));

    // Close without edits does nothing at all.
    form.CloseAction()->trigger();
    EXPECT_EQ(Text(), S("G0 X3"));
    EXPECT_TRUE(platform.messageBoxes.shown.isEmpty());

    const struct { const char* what; QAction* command; std::deque<A> boxes; std::deque<std::optional<QString>> files;
                   QString text; QString file; bool modified; } cases[] = {
        {"Close, Cancel", form.CloseAction(), {A::Cancel}, {}, S("typed"), first, true},
        // The file is forgotten with the text: a later Save cannot write the empty text over it.
        {"Close, No", form.CloseAction(), {A::No}, {}, QString(), QString(), false},
        {"New, Cancel", form.NewAction(), {A::Cancel}, {}, S("typed"), first, true},
        {"New, Yes, save cancelled", form.NewAction(), {A::Yes}, {std::nullopt}, S("typed"), first, true},
        {"New, No", form.NewAction(), {A::No}, {}, QString(), QString(), true},
        {"New, Yes, saved", form.NewAction(), {A::Yes}, {first}, QString(), QString(), false},
        {"Open, Cancel", form.OpenAction(), {A::Cancel}, {second}, S("typed"), first, true},
        {"Open, No", form.OpenAction(), {A::No}, {second}, S("G0 X2"), second, true},
    };
    for (const auto& c : cases) {
        form.Commands().SetModified(false);
        answers = {first};
        form.SaveAsAction()->trigger();
        Type(S("typed"));
        platform.messageBoxes.shown.clear();
        boxes = c.boxes;
        answers = c.files;
        c.command->trigger();
        ASSERT_EQ(platform.messageBoxes.shown.size(), 1) << c.what;
        EXPECT_EQ(platform.messageBoxes.shown[0].text, S("Save changes?"));
        EXPECT_EQ(platform.messageBoxes.shown[0].kind, IMessageBoxes::Kind::Confirm);
        EXPECT_EQ(platform.messageBoxes.shown[0].buttons, IMessageBoxes::Buttons::YesNoCancel);
        EXPECT_EQ(Text(), c.text) << c.what;
        EXPECT_EQ(form.Commands().CurrentFile(), c.file) << c.what;
        EXPECT_EQ(form.Commands().Modified(), c.modified) << c.what;
    }
    EXPECT_EQ(ReadBytes(first), QByteArray("typed\r\n"));
}

// A save that fails (here on a full disk) shows the error, keeps the older file whole and the
// edits marked as unsaved.
TEST_F(EditorFixture, AFailedSaveKeepsTheOlderFileAndTheEdits)
{
    TGCodeEditor& form = Open();
    const QString program = Path(S("p.tap"));
    WriteBytes(program, "G0 X1\r\n");
    Type(S("G0 X2\nG0 X3"));
    platform.fileDialogs.answers = {program};
    {
        const FileSizeLimit full(4);
        form.SaveAction()->trigger();
    }
    const QString error = Shown(IMessageBoxes::Kind::Error).value(0);
    EXPECT_TRUE(error.startsWith(S("Could not write the G-code file"))) << error.toStdString();
    EXPECT_TRUE(error.contains(program)) << error.toStdString();
    EXPECT_EQ(ReadBytes(program), QByteArray("G0 X1\r\n"));
    EXPECT_TRUE(form.Commands().Modified());
}

// Open reads the file first: one that cannot be read changes nothing. A readable one is
// handed to the host, which reloads both views.
TEST_F(EditorFixture, OpenLoadsTheProgramIntoTheHost)
{
    TGCodeEditor& form = Open();
    const QString program = Path(S("p.tap"));
    WriteBytes(program, "G0 X1\r\nG0 X2\r\n");
    Type(S("kept"));
    form.Commands().SetModified(false);

    platform.fileDialogs.answers = {Path(S("missing.tap"))};
    form.OpenAction()->trigger();
    EXPECT_TRUE(Shown(IMessageBoxes::Kind::Error).value(0).startsWith(S("Could not read")));
    EXPECT_EQ(Text(), S("kept"));
    EXPECT_TRUE(host->journal.isEmpty());

    platform.fileDialogs.answers = {program};
    form.OpenAction()->trigger();
    EXPECT_TRUE(platform.fileDialogs.opened.constLast().fileMustExist);
    EXPECT_EQ(host->journal, (QStringList{S("DoOEMButton(169)"), S("LoadFile(\"") + program + S("\")")}));
    EXPECT_EQ(platform.waiter.waits, QStringList{S("SleepProcessingEvents(250)")});
    EXPECT_EQ(Text(), S("G0 X1\nG0 X2"));
    EXPECT_EQ(form.CodeList()->Lines(), (QStringList{S("G0 X1"), S("G0 X2")}));
    EXPECT_EQ(form.FilePanel()->text(), program);
}

// A program that another window has the host load shows in the list; the text follows unless
// the operator keeps unsaved edits.
TEST_F(EditorFixture, ProgramsLoadedElsewhereReloadTheViews)
{
    using A = IMessageBoxes::Answer;
    TGCodeEditor& form = Open();
    const QString program = Path(S("bamboo.tap"));
    WriteBytes(program, "G0 Z1\r\n");
    const struct { bool modified; std::deque<A> answers; int asked; QString text; QString file; } cases[] = {
        {false, {}, 0, S("G0 Z1"), program},
        {true, {A::Cancel}, 1, S("mine"), QString()},
        {true, {A::No}, 1, S("G0 Z1"), program},
    };
    for (const auto& c : cases) {
        form.Commands().SetModified(false);
        form.Commands().New();
        form.CodeList()->SetLines({});
        Type(S("mine"));
        form.Commands().SetModified(c.modified);
        platform.messageBoxes.shown.clear();
        platform.messageBoxes.answers = c.answers;
        window->wMach().LoadGCodeFile(program);
        EXPECT_EQ(platform.messageBoxes.shown.size(), c.asked);
        EXPECT_EQ(form.CodeList()->Lines(), QStringList{S("G0 Z1")});
        EXPECT_EQ(Text(), c.text);
        EXPECT_EQ(form.Commands().CurrentFile(), c.file);
    }
}

// Closing asks while edits are unsaved; closing only hides the window and keeps its text.
TEST_F(EditorFixture, ClosingTheWindowAsksAboutUnsavedEdits)
{
    using A = IMessageBoxes::Answer;
    TGCodeEditor& form = Open();
    const QString saved = Path(S("closed.tap"));
    const struct { bool modified; std::deque<A> answers; std::optional<QString> file; bool hidden; bool modifiedAfter; } cases[] = {
        {false, {}, std::nullopt, true, false},
        {true, {A::Cancel}, std::nullopt, false, true},
        {true, {A::No}, std::nullopt, true, true},
        {true, {A::Yes}, std::nullopt, true, true},
        {true, {A::Yes}, saved, true, false},
    };
    for (const auto& c : cases) {
        form.show();
        Type(S("G0 X9"));
        form.Commands().SetModified(c.modified);
        platform.messageBoxes.shown.clear();
        platform.messageBoxes.answers = c.answers;
        platform.fileDialogs.answers = {c.file};
        form.close();
        EXPECT_EQ(platform.messageBoxes.shown.size(), c.modified ? 1 : 0);
        if (c.modified) {
            EXPECT_EQ(platform.messageBoxes.shown[0].text, S("Save File Modifications?"));
        }
        EXPECT_EQ(!form.isVisible(), c.hidden);
        EXPECT_EQ(Text(), S("G0 X9"));
        EXPECT_EQ(form.Commands().Modified(), c.modifiedAfter);
    }
    EXPECT_EQ(ReadBytes(saved), QByteArray("G0 X9\r\n"));

    // The program ends with edits unsaved: they are offered for saving.
    Type(S("G0 X10"));
    platform.messageBoxes.shown.clear();
    platform.messageBoxes.answers = {A::Yes};
    platform.fileDialogs.answers = {saved};
    window->close();
    ASSERT_EQ(platform.messageBoxes.shown.size(), 1);
    EXPECT_EQ(platform.messageBoxes.shown[0].buttons, IMessageBoxes::Buttons::YesNo);
    EXPECT_EQ(ReadBytes(saved), QByteArray("G0 X10\r\n"));
}

// Last reloads the host's own program, or, when it has none, the one remembered in the layout.
TEST_F(EditorFixture, LastLoadsTheLastProgram)
{
    TGCodeEditor& form = Open();
    const QString remembered = Path(S("remembered.tap"));
    WriteBytes(remembered, "G0 Y4\r\n");
    const struct { QString hostFile; QString stored; QStringList journal; QString text; QString file; int informed; } cases[] = {
        {S("/cnc/loaded.tap"), remembered, {S("FileName()"), S("LoadFile(\"/cnc/loaded.tap\")")}, S("mine"), QString(), 0},
        {S("No File Loaded."), remembered, {S("FileName()"), S("LoadFile(\"") + remembered + S("\")")}, S("G0 Y4"), remembered, 0},
        {S("No File Loaded."), QString(), {S("FileName()")}, S("mine"), QString(), 1},
    };
    for (const auto& c : cases) {
        form.Commands().SetModified(false);
        form.Commands().New();
        Type(S("mine"));
        form.Commands().SetModified(false);
        form.Commands().SetLastFile(c.stored);
        host->fileName = c.hostFile;
        host->ClearJournal();
        platform.messageBoxes.shown.clear();
        form.LastAction()->trigger();
        EXPECT_EQ(host->journal, c.journal);
        EXPECT_EQ(Text(), c.text);
        EXPECT_EQ(form.Commands().CurrentFile(), c.file);
        EXPECT_EQ(Shown(IMessageBoxes::Kind::Information).size(), c.informed);
    }
}

// The section written with the desktop layout; "LastFile" is the host's program, and the
// remembered one while the host has none.
TEST_F(EditorFixture, DesktopLayoutKeepsPositionScaleAndLastProgram)
{
    TGCodeEditor& form = Open();
    form.move(70, 80);
    form.Scalar1().Enlarge();
    TLayoutStorage& fs = *window->fs();
    const struct { QString hostFile; QString stored; QString written; } cases[] = {
        {S("/cnc/a.tap"), S("/cnc/old.tap"), S("/cnc/a.tap")},
        {S("No File Loaded."), S("/cnc/old.tap"), S("/cnc/old.tap")},
    };
    for (const auto& c : cases) {
        host->fileName = c.hostFile;
        form.Commands().SetLastFile(c.stored);
        window->SaveDesktopLayout();
        fs.SelectSection(TGCodeEditor::DesktopSection);
        EXPECT_EQ(fs.ReadString(S("LastFile"), S("?")), c.written);
    }
    EXPECT_EQ(fs.ReadInteger(S("Left"), -1), form.x());
    EXPECT_EQ(fs.ReadInteger(S("Top"), -1), form.y());
    EXPECT_EQ(fs.ReadInteger(S("ScalarSetting"), -1), 10);
    EXPECT_EQ(fs.ReadInteger(S("WindowState"), -1), 0);
    EXPECT_EQ(fs.ReadInteger(S("Width"), -1), -1) << "width and height are not written";
}

}  // namespace
