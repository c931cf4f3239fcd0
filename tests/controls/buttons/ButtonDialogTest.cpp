#include "ButtonTestSupport.h"

#include "controls/MachButtonTypeDlg.h"
#include "controls/MachCodeDlg.h"
#include "platform/ZentyrError.h"

#include <QApplication>
#include <QScreen>
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

// Cancel leaves code and caption as they were; OK with an emptied caption empties it.
TEST_F(ButtonFixture, CodeDialogCancelKeepsAndAnEmptyCaptionIsTaken)
{
    auto* button = BoundCode(S("G0 X1"));
    button->setText(S("Go"));
    const struct { bool accept; const char* code; const char* caption; } cases[] = {
        {false, "G0 X1", "Go"},
        {true, "G0 X9", ""},
    };
    for (const auto& c : cases) {
        button->SetDialogRunner(Operator<TMachCodeDialog>([&c](TMachCodeDialog& dialog) {
            dialog.sMemo1()->setPlainText(S("G0 X9"));
            dialog.SetCaptionText(QString());
            return c.accept;
        }));
        RightClick(button);
        EXPECT_EQ(button->code(), S(c.code)) << c.accept;
        EXPECT_EQ(button->text(), S(c.caption)) << c.accept;
    }
}

// A user button dialog whose number is refused changes neither code nor caption: the number
// is read before anything is taken.
TEST_F(ButtonFixture, UserDialogWithARefusedNumberKeepsCodeAndCaption)
{
    auto* user = Bound<tMachUserButton>();
    user->SetCode(S("old"));
    user->setText(S("Old"));
    user->SetUserBtnNum(5);
    user->SetDialogRunner(Operator<TMachCodeDialog>([](TMachCodeDialog& dialog) {
        dialog.sMemo2()->setPlainText(S("new"));
        dialog.SetCaptionText(S("New"));
        dialog.eBtnNumber()->setText(S("x"));
        return true;
    }));
    RightClick(user);
    EXPECT_EQ(Errors().size(), 1);
    EXPECT_EQ(user->code(), S("old"));
    EXPECT_EQ(user->text(), S("Old"));
    EXPECT_EQ(user->UserBtnNum(), 5);
}

namespace {

// The rectangle of `child` in `dialog`'s client coordinates.
QRect InDialog(const QWidget* child, const QWidget* dialog)
{
    return QRect(child->mapTo(dialog, QPoint(0, 0)), child->size());
}

// Sets the application font for one scope; dialogs made meanwhile take it.
struct AppFont
{
    QFont saved = QApplication::font();
    explicit AppFont(int pixelSize)
    {
        QFont font = saved;
        if (pixelSize > 0)
            font.setPixelSize(pixelSize);
        QApplication::setFont(font);
    }
    ~AppFont() { QApplication::setFont(saved); }
    Q_DISABLE_COPY_MOVE(AppFont)
};

}  // namespace

// The code dialog: 241 by 202 client pixels; the strip and the panels span the whole width;
// OK and Cancel are 75 by 25 at the bottom right.
TEST(ButtonDialogLayout, CodeDialogSizes)
{
    TMachCodeDialog dialog;
    dialog.show();
    QApplication::processEvents();
    EXPECT_EQ(dialog.size(), QSize(241, 202));
    EXPECT_EQ(dialog.FrontPanel()->width(), 241);
    EXPECT_EQ(dialog.eCaption()->parentWidget()->height(), 31);
    EXPECT_EQ(dialog.eCaption()->width(), 96);
    EXPECT_EQ(dialog.eBtnNumber()->width(), 93);
    for (const QPushButton* button : {dialog.OkButton(), dialog.CancelButton()})
        EXPECT_EQ(button->size(), QSize(75, 25));
    const QRect cancel = InDialog(dialog.CancelButton(), &dialog);
    EXPECT_GE(cancel.right(), 241 - 8);
    EXPECT_GE(cancel.bottom(), 202 - 8);
    EXPECT_LT(InDialog(dialog.OkButton(), &dialog).right(), cancel.left());
}

// The type dialog is 305 by 127 where its content fits; with a font too wide for that it grows
// instead of cutting fields off. Either way each field is 208 wide, lies wholly inside, the
// fields line up, and the visible type panel is at the top.
TEST(ButtonDialogLayout, TypeDialogFieldsStayInside)
{
    for (const int pixelSize : {7, 0, 20}) {
        const AppFont font(pixelSize);
        TBtnTypeDlg dialog;
        dialog.show();
        for (const bool leds : {false, true}) {
            leds ? dialog.ShowLEDTypePanel() : dialog.ShowButtonTypePanel();
            QApplication::processEvents();
            QWidget* typeField = leds ? static_cast<QWidget*>(dialog.cbLEDtype())
                                      : static_cast<QWidget*>(dialog.cbBtnType());
            QWidget* typePanel = leds ? dialog.pnlLEDtype() : dialog.pnlBtnType();
            EXPECT_EQ(typePanel->y(), 0) << pixelSize;
            EXPECT_EQ(typePanel->height(), 31);
            const QRect client = dialog.rect();
            for (const QWidget* field : {typeField, static_cast<QWidget*>(dialog.eCaption())}) {
                EXPECT_EQ(field->width(), 208) << pixelSize;
                EXPECT_TRUE(client.contains(InDialog(field, &dialog))) << pixelSize;
            }
            EXPECT_EQ(InDialog(typeField, &dialog).x(), InDialog(dialog.eCaption(), &dialog).x());
        }
        EXPECT_GE(dialog.width(), 305);
        EXPECT_GE(dialog.height(), 127);
        if (pixelSize == 7) {
            EXPECT_EQ(dialog.size(), QSize(305, 127));
        }
    }
}

// The code dialog opens over the middle of the button's window, the type dialog in the middle
// of the screen.
TEST(ButtonDialogLayout, DialogsOpenCentred)
{
    QWidget window;
    window.setGeometry(40, 60, 700, 500);
    auto* button = new QPushButton(&window);
    window.show();
    QApplication::processEvents();

    TMachCodeDialog code(button);
    TBtnTypeDlg type(button);
    const struct { QDialog* dialog; QRect around; } cases[] = {
        {&code, window.geometry()},
        {&type, QGuiApplication::primaryScreen()->availableGeometry()},
    };
    for (const auto& c : cases) {
        c.dialog->show();
        QApplication::processEvents();
        const QPoint offset = c.dialog->geometry().center() - c.around.center();
        EXPECT_LE(offset.manhattanLength(), 4) << c.dialog->metaObject()->className();
    }
}
