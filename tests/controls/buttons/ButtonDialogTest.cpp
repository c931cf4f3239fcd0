#include "ButtonTestSupport.h"

#include "controls/MachButtonTypeDlg.h"
#include "controls/MachCodeDlg.h"
#include "platform/ZentyrError.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

namespace {

// A dialog runner that lets `fill` work on the dialog, as the operator would, and answers with
// what `fill` returns (true: OK).
template <typename Dialog>
ButtonDialogRunner Operator(std::function<bool(Dialog&)> fill, int* runs = nullptr)
{
    return [fill, runs](QDialog& dialog) {
        if (runs)
            ++*runs;
        auto* typed = dynamic_cast<Dialog*>(&dialog);
        EXPECT_NE(typed, nullptr);
        return typed && fill(*typed);
    };
}

void RightClick(QWidget* button)
{
    QTest::mouseClick(button, Qt::RightButton);
}

}  // namespace

// Opening on a Stop button preselects "Stop" in the sorted list; choosing "Cycle start" makes
// the button press 1000.
TEST_F(ButtonFixture, OEMDialogPreselectsAndMapsTheChoiceBack)
{
    auto* button = BoundOEM(obtStop);
    button->setText(S("Stop"));
    button->SetDialogRunner(Operator<TBtnTypeDlg>([](TBtnTypeDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), S("Mach OEM Button Dialog"));
        EXPECT_EQ(dialog.sLabel1()->text(), S("OEM Type"));
        EXPECT_FALSE(dialog.pnlBtnType()->isHidden());
        EXPECT_TRUE(dialog.pnlLEDtype()->isHidden());
        EXPECT_EQ(dialog.cbBtnType()->currentText(), S("Stop"));
        EXPECT_EQ(dialog.cbBtnType()->count(), OEMButtonKindCount);
        EXPECT_NE(dialog.cbBtnType()->itemText(0), S("NONE"));
        for (int i = 1; i < dialog.cbBtnType()->count(); ++i)
            EXPECT_LE(QString::compare(dialog.cbBtnType()->itemText(i - 1),
                                       dialog.cbBtnType()->itemText(i), Qt::CaseInsensitive), 0);
        dialog.cbBtnType()->setCurrentText(S("Cycle start"));
        dialog.eCaption()->setText(S("Go"));
        return true;
    }));
    RightClick(button);
    EXPECT_EQ(button->OEMbutton(), obtCycle_start);
    EXPECT_EQ(button->text(), S("Go"));
    button->click();
    EXPECT_EQ(host->journal, QStringList{S("DoOEMButton(1000)")});
}

// Only the caption changed, or Cancel after any change: the kind stays.
TEST_F(ButtonFixture, OEMDialogCaptionOnlyAndCancelKeepTheKind)
{
    auto* button = BoundOEM(obtFlood_Toggle);
    for (const bool accept : {true, false}) {
        button->SetDialogRunner(Operator<TBtnTypeDlg>([accept](TBtnTypeDlg& dialog) {
            dialog.eCaption()->setText(accept ? S("Coolant") : S("cancelled"));
            if (!accept)
                dialog.cbBtnType()->setCurrentText(S("Stop"));
            return accept;
        }));
        RightClick(button);
        EXPECT_EQ(button->OEMbutton(), obtFlood_Toggle);
        EXPECT_EQ(button->text(), S("Coolant"));
    }
}

// The LED dialog: a list choice sets the kind; text that names no item (a case variant
// included) leaves the kind and still takes the caption.
TEST_F(ButtonFixture, LedDialogTakesOnlyAListChoice)
{
    auto* led = Make<tMachLEDLabeled>();
    const struct { const char* typed; TmcOEMLEDtype kind; } cases[] = {
        {"Flood", oltFlood}, {"flood", oltFlood}, {"Coolant lamp", oltFlood}, {"Mist", oltMist},
    };
    for (const auto& c : cases) {
        led->SetDialogRunner(Operator<TBtnTypeDlg>([&c](TBtnTypeDlg& dialog) {
            EXPECT_EQ(dialog.windowTitle(), S("OEM LED Dialog"));
            EXPECT_TRUE(dialog.pnlBtnType()->isHidden());
            EXPECT_EQ(dialog.cbLEDtype()->count(), OEMLEDKindCount);
            dialog.cbLEDtype()->setEditText(S(c.typed));
            dialog.eCaption()->setText(S(c.typed));
            return true;
        }));
        RightClick(led);
        EXPECT_EQ(led->OEMLEDtype(), c.kind) << c.typed;
        EXPECT_EQ(led->text(), S(c.typed));
    }
    EXPECT_EQ(led->LEDCode(), 12);
}

// Each code dialog mode: title, front panel and label; the text keeps its line breaks.
TEST_F(ButtonFixture, CodeDialogModesKeepTheText)
{
    const QString threeLines = S("G0 X1\nM1\nG0 X2");
    struct Case { TSkinnedButton* button; const char* title; int mode; const char* label; };
    auto* user = Bound<tMachUserButton>();
    const Case cases[] = {
        {Bound<tMachCodeButton>(), "Mach G Code Dialog", 0, "G Code"},
        {Bound<tMachVBScriptButton>(), "Mach VB Script Dialog", 1, "VB Script"},
        {user, "Mach User Button Dialog", 2, "G Code"},
    };
    for (const Case& c : cases) {
        int runs = 0;
        c.button->SetDialogRunner(Operator<TMachCodeDialog>([&](TMachCodeDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), S(c.title));
            EXPECT_EQ(dialog.DialogMode(), c.mode);
            EXPECT_EQ(dialog.FrontPanel(),
                      c.mode == 2 ? dialog.pnlUserBtn() : dialog.pnlCodeBtn());
            EXPECT_EQ(dialog.sLabel1()->text(), S(c.label));
            EXPECT_EQ(dialog.CodeText(), QString()) << "starts from the button's empty code";
            dialog.SetCaptionText(S("Three"));
            (c.mode == 2 ? dialog.sMemo2() : dialog.sMemo1())->setPlainText(threeLines);
            return true;
        }, &runs));
        RightClick(c.button);
        EXPECT_EQ(runs, 1);
        EXPECT_EQ(c.button->text(), S("Three"));
    }
    EXPECT_EQ(MachCodeLines(static_cast<tMachCodeButton*>(cases[0].button)->code()).size(), 3);
    EXPECT_EQ(user->code(), threeLines);

    // Reopened, the user dialog shows the stored text in its own memo.
    user->SetDialogRunner(Operator<TMachCodeDialog>([&](TMachCodeDialog& dialog) {
        EXPECT_EQ(dialog.sMemo2()->toPlainText(), threeLines);
        return false;
    }));
    RightClick(user);
}

// The number is entered on every OK: empty counts as 0; an out-of-range number is stored and
// refused at the click; text that is no number changes nothing and reports the error.
TEST_F(ButtonFixture, UserDialogNumber)
{
    auto* user = Bound<tMachUserButton>();
    user->SetUserBtnNum(7);
    const struct { const char* typed; int stored; int errors; } cases[] = {
        {"", 0, 0}, {"-12", -12, 0}, {"40000", 40000, 0}, {"99999999999", 40000, 1},
    };
    for (const auto& c : cases) {
        user->SetDialogRunner(Operator<TMachCodeDialog>([&c](TMachCodeDialog& dialog) {
            EXPECT_TRUE(dialog.eBtnNumber()->text().isEmpty()) << "never filled from the button";
            dialog.eBtnNumber()->setText(S(c.typed));
            return true;
        }));
        RightClick(user);
        EXPECT_EQ(user->UserBtnNum(), c.stored) << c.typed;
        EXPECT_EQ(Errors().size(), c.errors) << c.typed;
    }
    user->click();
    EXPECT_TRUE(host->journal.isEmpty());
    EXPECT_EQ(Errors().size(), 2);
}

// Only a right release over an editable button opens its dialog; it does not click. Toggle,
// spindle and E-stop buttons have none. A button destroyed while its dialog is open takes the
// dialog with it and nothing is applied.
TEST_F(ButtonFixture, RightClickRules)
{
    int runs = 0;
    const auto count = Operator<QDialog>([](QDialog&) { return false; }, &runs);
    auto* code = BoundCode(S("G0 X1"));
    code->SetDialogRunner(count);
    QTest::mouseClick(code, Qt::MiddleButton);
    EXPECT_EQ(runs, 0);
    RightClick(code);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(host->journal.isEmpty()) << "a right-click never runs the code";

    for (TSkinnedButton* plain : QList<TSkinnedButton*>{Bound<tMachToggleButton>(),
                                                        Bound<tMachSpindleButton>(),
                                                        Bound<tMachESTOPButton>()}) {
        plain->SetDialogRunner(count);
        RightClick(plain);
    }
    EXPECT_EQ(runs, 1);

    auto* doomed = BoundOEM(obtStop);
    doomed->SetDialogRunner(Operator<TBtnTypeDlg>([&](TBtnTypeDlg& dialog) {
        dialog.eCaption()->setText(S("never applied"));
        delete doomed;
        return true;
    }));
    RightClick(doomed);
    EXPECT_TRUE(Errors().isEmpty());
}

TEST(CodeDialog, ShowsWithTheCaptionSelected)
{
    TMachCodeDialog dialog;
    dialog.SetCaptionText(S("User Code 1"));
    dialog.show();
    EXPECT_EQ(dialog.eCaption()->selectedText(), S("User Code 1"));
    EXPECT_THROW(dialog.SetMode(3), ZentyrError);
}
