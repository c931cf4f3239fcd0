#include "controls/MachButton.h"
#include "controls/MachButtonToggle.h"
#include "controls/MachCodeDlg.h"
#include "controls/MachButtonTypeDlg.h"
#include "host/MachUpdateThread.h"
#include "windows/MachLEDForm.h"
#include "windows/MachUserButtonForm.h"
#include "windows/UserColumn.h"
#include "windows/UserLayoutFiles.h"
#include "windows/XmlLayoutStorage.h"

#include "FakePlatform.h"
#include "RecordingHost.h"
#include "UserLayoutTestSupport.h"

#include <gtest/gtest.h>

#include "controls/Scalar.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

using Answer = IMessageBoxes::Answer;

// A user-built window over the recording host, with a running update thread and its file
// dialogs opening in a private folder.
struct FormFixture : ::testing::Test
{
    std::shared_ptr<RecordingHost> host = std::make_shared<RecordingHost>();
    RecordingDocumentFactory documents{host};
    FakePlatform platform;
    TMachUpdateThread thread{documents};
    QTemporaryDir dir;

    void SetUp() override { thread.Start(); }

    template <typename Form>
    std::unique_ptr<Form> Make()
    {
        auto form = std::make_unique<Form>(platform.services);
        form->SetIMach(host);
        form->SetUpdateThread(&thread);
        form->SetDialogFolder(dir.path());
        return form;
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }
    QStringList Errors() const
    {
        QStringList texts;
        for (const auto& box : platform.messageBoxes.shown) {
            if (box.kind == IMessageBoxes::Kind::Error)
                texts.append(box.text);
        }
        return texts;
    }
    int Questions() const
    {
        int count = 0;
        for (const auto& box : platform.messageBoxes.shown)
            count += box.text == TUserLayoutForm::SaveQuestion ? 1 : 0;
        return count;
    }
    // Runs a menu command the way the menu does: errors go to the error box.
    void Command(TUserLayoutForm& form, const QString& caption)
    {
        for (QAction* action : form.LayoutMenu()->actions()) {
            if (action->text() == caption) {
                action->trigger();
                return;
            }
        }
        ADD_FAILURE() << "no command " << caption.toStdString();
    }
};

std::vector<int> Tops(const TUserColumn& column)
{
    std::vector<int> tops;
    for (QWidget* control : column.Controls())
        tops.push_back(control->y());
    return tops;
}

QStringList Captions(const TUserColumn& column)
{
    QStringList captions;
    for (QWidget* control : column.Controls())
        captions.append(static_cast<QAbstractButton*>(control)->text());
    return captions;
}

}  // namespace

TEST_F(FormFixture, AddPlacesRegistersSelectsAndMarksModified)
{
    auto form = Make<TUserCodeButtonsForm>();
    form->SetMacroFolder(QStringLiteral("/mach/Macros/Mill"));
    form->show();
    EXPECT_FALSE(form->Modified());
    form->btnGCode()->click();
    form->btnVB()->click();
    form->btnOEM()->click();
    form->btnUser()->click();

    ASSERT_EQ(form->ButtonCount(), 3);
    EXPECT_EQ(Captions(form->Column()),
              (QStringList{QStringLiteral("G Code Btn: 1"), QStringLiteral("VB Script Btn: 2"),
                           QStringLiteral("OEM Btn: 3")}));
    EXPECT_EQ(Tops(form->Column()), (std::vector<int>{29, 54, 79}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form->Button(i)->height(), 25);
        EXPECT_EQ(form->Button(i)->width(), form->centralWidget()->width());
        EXPECT_EQ(form->Button(i)->iMach(), host);
    }
    EXPECT_EQ(qobject_cast<tMachVBScriptButton*>(form->Button(1))->MacroFolder(),
              QStringLiteral("/mach/Macros/Mill"));
    EXPECT_EQ(qobject_cast<tMachOEMButton*>(form->Button(2))->OEMbutton(), obtNONE);
    EXPECT_EQ(thread.Registrations().size(), 3);
    EXPECT_EQ(form->Selected(), form->Button(2));
    EXPECT_TRUE(form->Modified());
    EXPECT_EQ(form->statusBar()->findChild<QLabel*>()->text(), QStringLiteral("Modified"));

    // The column follows the window's width.
    form->resize(300, form->height());
    EXPECT_EQ(form->Button(0)->width(), form->centralWidget()->width());

    // Without the host nothing is added.
    form->SetIMach(nullptr);
    form->btnGCode()->click();
    EXPECT_EQ(form->ButtonCount(), 3);
}

// A button added while the window is hidden (the default layout at opening) becomes the one
// that gets the focus when the window is shown.
TEST_F(FormFixture, AddingWhileHiddenSelectsForLater)
{
    auto form = Make<TUserCodeButtonsForm>();
    form->AddButton(TCodeButtonKind::GCode);
    tMachButton* last = form->AddButton(TCodeButtonKind::OEM);
    EXPECT_EQ(form->Selected(), last);
}

TEST_F(FormFixture, UpDownDeleteKeepThePitchAndTheFocus)
{
    struct Step
    {
        const char* what;
        int select;  // -1: nothing selected
        void (TUserLayoutForm::*command)();
        QStringList order;
        std::vector<int> tops;
        int selectedAfter;  // -1: nothing
        bool modified;
    };
    const auto names = [](std::initializer_list<const char*> list) {
        QStringList out;
        for (const char* n : list)
            out.append(QString::fromUtf8(n));
        return out;
    };
    const Step steps[] = {
        {"up the last", 2, &TUserLayoutForm::MoveSelectedUp, names({"A", "C", "B"}), {29, 54, 79}, 1, true},
        {"up the first does nothing", 0, &TUserLayoutForm::MoveSelectedUp, names({"A", "B", "C"}), {29, 54, 79}, 0, false},
        {"down the first", 0, &TUserLayoutForm::MoveSelectedDown, names({"B", "A", "C"}), {29, 54, 79}, 1, true},
        {"down the last does nothing", 2, &TUserLayoutForm::MoveSelectedDown, names({"A", "B", "C"}), {29, 54, 79}, 2, false},
        {"delete the middle", 1, &TUserLayoutForm::DeleteSelected, names({"A", "C"}), {29, 54}, 1, true},
        {"delete the last", 2, &TUserLayoutForm::DeleteSelected, names({"A", "B"}), {29, 54}, 1, true},
        {"nothing selected", -1, &TUserLayoutForm::DeleteSelected, names({"A", "B", "C"}), {29, 54, 79}, -1, false},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        auto form = Make<TUserCodeButtonsForm>();
        form->show();
        for (const char* caption : {"A", "B", "C"})
            form->AddButton(TCodeButtonKind::GCode)->setText(QString::fromUtf8(caption));
        form->SetModified(false);
        if (step.select >= 0)
            form->Button(step.select)->setFocus();
        else
            form->centralWidget()->setFocus();
        ((*form).*step.command)();
        EXPECT_EQ(Captions(form->Column()), step.order);
        EXPECT_EQ(Tops(form->Column()), step.tops);
        EXPECT_EQ(form->Column().IndexOf(form->Selected()), step.selectedAfter);
        EXPECT_EQ(form->Modified(), step.modified);
        for (int i = 1; i < form->ButtonCount(); ++i)
            EXPECT_EQ(form->Button(i - 1)->nextInFocusChain(), form->Button(i)) << "tab order";
        EXPECT_EQ(thread.Registrations().size(), form->ButtonCount()) << "deleted ones left";
    }
}

TEST_F(FormFixture, DeletingTheOnlyButtonLeavesNothingSelected)
{
    auto form = Make<TUserCodeButtonsForm>();
    form->show();
    form->AddButton(TCodeButtonKind::VBScript);
    form->btnDelete()->click();
    EXPECT_EQ(form->ButtonCount(), 0);
    EXPECT_EQ(form->Selected(), nullptr);
    form->btnDelete()->click();
    form->btnUp()->click();
}

// Saved through the menu, the three kinds make the golden file; read back, the same column.
TEST_F(FormFixture, SaveAsWritesTheGoldenFileAndLoadReadsItBack)
{
    auto form = Make<TUserCodeButtonsForm>();
    auto* code = qobject_cast<tMachCodeButton*>(form->AddButton(TCodeButtonKind::GCode));
    code->setText(QStringLiteral("Flood & Go"));
    code->SetCode(QStringLiteral("M8\nG0 X1 (a<b)"));
    auto* script = qobject_cast<tMachVBScriptButton*>(form->AddButton(TCodeButtonKind::VBScript));
    script->setText(QStringLiteral(u"Düse"));
    script->SetCode(QStringLiteral("Message \"Hi\""));
    qobject_cast<tMachOEMButton*>(form->AddButton(TCodeButtonKind::OEM))
        ->SetOEMbutton(static_cast<TmcOEMButtontype>(5));

    platform.fileDialogs.answers = {Path("three.cbl")};
    Command(*form, QStringLiteral("Save Layout"));
    ASSERT_EQ(platform.fileDialogs.saved.size(), 1) << "no file yet: Save Layout asks";
    const FileDialogOptions& save = platform.fileDialogs.saved[0];
    EXPECT_EQ(save.initialFolder, dir.path());
    EXPECT_EQ(save.defaultExtension, QStringLiteral("cbl"));
    EXPECT_EQ(save.filter, QStringLiteral("Code Button Layout  (\".cbl\")|*.cbl"));
    EXPECT_TRUE(save.overwritePrompt);
    EXPECT_EQ(FileBytes(Path("three.cbl")), GoldenBytes(QStringLiteral("ThreeKinds.cbl")));
    EXPECT_FALSE(form->Modified());
    EXPECT_EQ(form->CurrentLayoutFile(), Path("three.cbl"));
    EXPECT_TRUE(thread.IsPolling());

    auto other = Make<TUserCodeButtonsForm>();
    other->move(5, 5);
    other->AddButton(TCodeButtonKind::OEM);
    other->SetModified(false);
    platform.fileDialogs.answers = {Path("three.cbl")};
    Command(*other, QStringLiteral("Load Layout"));
    const FileDialogOptions& open = platform.fileDialogs.opened.last();
    EXPECT_EQ(open.fileName, QStringLiteral("*.cbl"));
    EXPECT_TRUE(open.fileMustExist);
    EXPECT_TRUE(Errors().isEmpty()) << Errors().join(u'\n').toStdString();
    ASSERT_EQ(other->ButtonCount(), 3);
    EXPECT_EQ(Captions(other->Column()), Captions(form->Column()));
    EXPECT_EQ(qobject_cast<tMachCodeButton*>(other->Button(0))->code(),
              QStringLiteral("M8\r\nG0 X1 (a<b)"));
    EXPECT_EQ(qobject_cast<tMachOEMButton*>(other->Button(2))->ButtonCode(),
              OEMButtonCode(static_cast<TmcOEMButtontype>(5)));
    EXPECT_EQ(other->pos(), QPoint(519, 27)) << "the file's Top and Left";
    EXPECT_FALSE(other->Modified());
    EXPECT_EQ(thread.Registrations().size(), 6) << "the replaced button left the thread";
    EXPECT_TRUE(thread.IsPolling());
}

// A rejected file changes nothing: column, current file and Modified stay.
TEST_F(FormFixture, ARejectedFileLosesNothing)
{
    PutFile(Path("bad.cbl"), "<?xml version=\"1.0\"?><CodeButtons><version>1.1</version>"
                             "<ButtonCount>0</ButtonCount></CodeButtons>");
    PutFile(Path("broken.cbl"), "<CodeButtons><ButtonCount>0</Butt");
    for (const char* name : {"bad.cbl", "broken.cbl"}) {
        SCOPED_TRACE(name);
        platform.messageBoxes.shown.clear();
        auto form = Make<TUserCodeButtonsForm>();
        form->AddButton(TCodeButtonKind::GCode);
        form->AddButton(TCodeButtonKind::OEM);
        form->SetCurrentLayoutFile(Path("mine.cbl"));
        platform.messageBoxes.answers = {Answer::No};
        platform.fileDialogs.answers = {Path(name)};
        Command(*form, QStringLiteral("Load Layout"));
        ASSERT_EQ(Errors().size(), 1);
        EXPECT_TRUE(Errors()[0].startsWith(QStringLiteral("Invalid \".cbl\" File Format")));
        EXPECT_EQ(form->ButtonCount(), 2);
        EXPECT_EQ(form->CurrentLayoutFile(), Path("mine.cbl"));
        EXPECT_TRUE(form->Modified());
        EXPECT_TRUE(thread.IsPolling());
    }
}

// An out-of-range kind stops the reading: the earlier buttons stay, the half-made one is not
// kept, the error box tells, and the column counts as modified.
TEST_F(FormFixture, AnOutOfRangeKindStopsReading)
{
    PutFile(Path("range.cbl"),
            "<CodeButtons><ButtonCount>3</ButtonCount>"
            "<Button0><ClassName>TMachCodeButton</ClassName><Caption>kept</Caption></Button0>"
            "<Button1><ClassName>TMachOEMButton</ClassName><OEMButtonType>900</OEMButtonType></Button1>"
            "<Button2><ClassName>TMachCodeButton</ClassName></Button2></CodeButtons>");
    auto form = Make<TUserCodeButtonsForm>();
    platform.fileDialogs.answers = {Path("range.cbl")};
    Command(*form, QStringLiteral("Load Layout"));
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].contains(QStringLiteral("900"))) << Errors()[0].toStdString();
    EXPECT_EQ(Captions(form->Column()), QStringList{QStringLiteral("kept")});
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(form->CurrentLayoutFile().isEmpty()) << "a save must not drop the rest of the file";
    EXPECT_TRUE(thread.IsPolling()) << "resumed after the failure";
}

// Loading over unsaved work asks first; Cancel, or a Yes whose save does not happen, keeps it.
TEST_F(FormFixture, LoadingOverUnsavedWorkAsksFirst)
{
    PutFile(Path("empty.cbl"), FormatCodeButtonLayout({}));
    struct Case
    {
        const char* what;
        std::deque<Answer> answers;
        std::deque<std::optional<QString>> files;
        int buttonsAfter;
    };
    const Case cases[] = {
        {"cancel", {Answer::Cancel}, {Path("empty.cbl")}, 1},
        {"yes, save as cancelled", {Answer::Yes}, {std::nullopt, Path("empty.cbl")}, 1},
        {"yes, saved", {Answer::Yes}, {Path("saved.cbl"), Path("empty.cbl")}, 0},
        {"no", {Answer::No}, {Path("empty.cbl")}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform.messageBoxes.shown.clear();
        auto form = Make<TUserCodeButtonsForm>();
        form->AddButton(TCodeButtonKind::GCode);
        platform.messageBoxes.answers = c.answers;
        platform.fileDialogs.answers = c.files;
        Command(*form, QStringLiteral("Load Layout"));
        EXPECT_EQ(Questions(), 1);
        EXPECT_EQ(form->ButtonCount(), c.buttonsAfter);
        platform.fileDialogs.answers.clear();
    }
    EXPECT_EQ(ParseCodeButtonLayout(FileBytes(Path("saved.cbl"))).buttons.size(), 1);
}

TEST_F(FormFixture, AFailedWriteKeepsTheOldFileAndTheModification)
{
    auto form = Make<TUserCodeButtonsForm>();
    form->AddButton(TCodeButtonKind::GCode)->setText(QString(300, u'x'));
    const QByteArray old = GoldenBytes(QStringLiteral("ThreeKinds.cbl"));
    PutFile(Path("kept.cbl"), old);
    form->SetCurrentLayoutFile(Path("kept.cbl"));
    {
        const FileSizeLimit limit(200);
        Command(*form, QStringLiteral("Save Layout"));
    }
    ASSERT_EQ(Errors().size(), 1);
    EXPECT_TRUE(Errors()[0].contains(Path("kept.cbl")));
    EXPECT_EQ(FileBytes(Path("kept.cbl")), old);
    EXPECT_TRUE(form->Modified());
    EXPECT_TRUE(thread.IsPolling());
}

TEST_F(FormFixture, CloseQuery)
{
    struct Case
    {
        const char* what;
        bool modified;
        std::deque<Answer> answers;
        std::deque<std::optional<QString>> files;
        bool closes;
        int questions;
    };
    const Case cases[] = {
        {"unmodified", false, {}, {}, true, 0},
        {"no", true, {Answer::No}, {}, true, 1},
        {"cancel", true, {Answer::Cancel}, {}, false, 1},
        {"yes, save as cancelled", true, {Answer::Yes}, {std::nullopt}, false, 1},
        {"yes, saved", true, {Answer::Yes}, {Path("closed.cbl")}, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform.messageBoxes.shown.clear();
        auto form = Make<TUserCodeButtonsForm>();
        form->show();
        form->AddButton(TCodeButtonKind::GCode);
        form->SetModified(c.modified);
        platform.messageBoxes.answers = c.answers;
        platform.fileDialogs.answers = c.files;
        Command(*form, QStringLiteral("E&xit"));
        EXPECT_EQ(form->isVisible(), !c.closes);
        EXPECT_EQ(Questions(), c.questions);
        EXPECT_EQ(form->ButtonCount(), 1) << "closing keeps the buttons";
    }
    EXPECT_TRUE(QFile::exists(Path("closed.cbl")));
}

// A caption, code or kind changed through a control's own dialog is a change of the column;
// a cancelled dialog is not.
TEST_F(FormFixture, DialogEditsMarkTheColumnModified)
{
    auto buttons = Make<TUserCodeButtonsForm>();
    auto leds = Make<TUserLEDsForm>();
    buttons->show();
    leds->show();
    tMachButton* code = buttons->AddButton(TCodeButtonKind::GCode);
    tMachButton* oem = buttons->AddButton(TCodeButtonKind::OEM);
    tMachLEDLabeled* led = leds->AddLed();
    struct Case
    {
        QAbstractButton* control;
        TUserLayoutForm* form;
        ButtonDialogRunner runner;
    };
    const Case cases[] = {
        {code, buttons.get(),
         [](QDialog& d) {
             static_cast<TMachCodeDialog&>(d).SetCodeText(QStringLiteral("M8"));
             return true;
         }},
        {oem, buttons.get(),
         [](QDialog& d) {
             static_cast<TBtnTypeDlg&>(d).eCaption()->setText(QStringLiteral("Flood"));
             return true;
         }},
        {led, leds.get(),
         [](QDialog& d) {
             static_cast<TBtnTypeDlg&>(d).cbLEDtype()->setCurrentText(QStringLiteral("Flood"));
             return true;
         }},
    };
    for (const Case& c : cases) {
        auto* button = static_cast<TSkinnedButton*>(c.control);
        c.form->SetModified(false);
        button->SetDialogRunner([](QDialog&) { return false; });
        QTest::mouseClick(button, Qt::RightButton);
        EXPECT_FALSE(c.form->Modified()) << "cancelled";
        button->SetDialogRunner(c.runner);
        QTest::mouseClick(button, Qt::RightButton);
        EXPECT_TRUE(c.form->Modified());
    }
    EXPECT_EQ(qobject_cast<tMachCodeButton*>(code)->code(), QStringLiteral("M8"));
    EXPECT_EQ(led->OEMLEDtype(), oltFlood);
}

TEST_F(FormFixture, NewLampsShowOffAndFollowTheirLed)
{
    auto form = Make<TUserLEDsForm>();
    form->show();
    form->btnNew()->click();
    form->btnNew()->click();
    ASSERT_EQ(form->LedCount(), 2);
    EXPECT_EQ(Captions(form->Column()),
              (QStringList{QStringLiteral("OEM LED: 1"), QStringLiteral("OEM LED: 2")}));
    EXPECT_EQ(Tops(form->Column()), (std::vector<int>{29, 54}));
    tMachLEDLabeled* lamp = form->Led(1);
    EXPECT_FALSE(lamp->Toggled());
    EXPECT_EQ(lamp->ImageIndex(), 0) << "the off image";
    EXPECT_EQ(lamp->Images().size(), 2);
    EXPECT_EQ(form->Images()[0].availableSizes().value(0), QSize(12, 12));
    EXPECT_EQ(form->Selected(), nullptr) << "a new lamp does not take the focus";
    EXPECT_TRUE(form->Modified());

    lamp->SetOEMLEDtype(oltFlood);
    host->leds[13] = true;
    thread.PollPass();
    EXPECT_TRUE(lamp->Toggled());
    EXPECT_EQ(lamp->ImageIndex(), 1);
    EXPECT_FALSE(form->Led(0)->Toggled());

    // Deleting the middle one of three moves the third up, focuses it and is a change.
    form->btnNew()->click();
    form->SetModified(false);
    form->Led(1)->setFocus();
    form->btnDelete()->click();
    EXPECT_EQ(Tops(form->Column()), (std::vector<int>{29, 54}));
    EXPECT_EQ(form->Selected(), form->Led(1));
    EXPECT_EQ(form->Led(1)->text(), QStringLiteral("OEM LED: 3"));
    EXPECT_TRUE(form->Modified());
}

TEST_F(FormFixture, LampsSaveTheGoldenFileAndReadBack)
{
    auto form = Make<TUserLEDsForm>();
    tMachLEDLabeled* flood = form->AddLed();
    flood->setText(QStringLiteral("Flood"));
    flood->SetOEMLEDtype(oltFlood);
    form->AddLed()->setText(QString());
    form->Led(1)->SetOEMLEDtype(static_cast<TmcOEMLEDtype>(172));
    platform.fileDialogs.answers = {Path("two.ledl")};
    Command(*form, QStringLiteral("Save Layout As"));
    EXPECT_EQ(platform.fileDialogs.saved[0].filter, QStringLiteral("User LEDs Layout (*.ledl) |*.ledl"));
    EXPECT_EQ(FileBytes(Path("two.ledl")), GoldenBytes(QStringLiteral("TwoLamps.ledl")));

    // 173 in the second entry: the first lamp is read, the error shown.
    QByteArray bytes = FileBytes(Path("two.ledl"));
    bytes.replace("<LEDType>172</LEDType>", "<LEDType>173</LEDType>");
    PutFile(Path("bad.ledl"), bytes);
    auto other = Make<TUserLEDsForm>();
    platform.fileDialogs.answers = {Path("bad.ledl")};
    Command(*other, QStringLiteral("Load Layout"));
    EXPECT_EQ(platform.fileDialogs.opened[0].filter, QStringLiteral("User LED layout (*.ledl)|*.ledl"));
    EXPECT_EQ(Errors().size(), 1);
    ASSERT_EQ(other->LedCount(), 1);
    EXPECT_EQ(other->Led(0)->OEMLEDtype(), oltFlood);
    EXPECT_EQ(other->Led(0)->LEDCode(), 13);
}

// Both windows write what their desktop read restores, the lamps' section included.
TEST_F(FormFixture, DesktopSectionsRoundTrip)
{
    TXmlLayoutStorage desktop;
    for (const bool leds : {false, true}) {
        SCOPED_TRACE(leds ? "LEDs" : "buttons");
        std::unique_ptr<TUserLayoutForm> form;
        if (leds)
            form = Make<TUserLEDsForm>();
        else
            form = Make<TUserCodeButtonsForm>();
        form->move(11, 22);
        form->resize(170, 280);
        form->SetCurrentLayoutFile(QStringLiteral("/layouts/mine"));
        form->SetAsDefaultLayout();
        form->Scalar1().Enlarge();
        form->WriteDesktop(desktop);
        desktop.SelectSection(leds ? TUserLEDsForm::DesktopSection : TUserCodeButtonsForm::DesktopSection);
        EXPECT_EQ(desktop.ReadInteger(QStringLiteral("ScalarSetting"), 0), 10);
        EXPECT_EQ(desktop.ReadInteger(QStringLiteral("WindowState"), -5), 0);

        std::unique_ptr<TUserLayoutForm> again;
        if (leds)
            again = Make<TUserLEDsForm>();
        else
            again = Make<TUserCodeButtonsForm>();
        again->ReadDesktop(desktop);
        again->ApplyDesktopScale(desktop);
        EXPECT_EQ(again->pos(), QPoint(11, 22));
        EXPECT_EQ(again->Scalar1().Scalefactor(), 10);
        EXPECT_EQ(again->CurrentLayoutFile(), QStringLiteral("/layouts/mine"));
        EXPECT_EQ(again->DefaultLayoutFile(), QStringLiteral("/layouts/mine"));
    }
}
