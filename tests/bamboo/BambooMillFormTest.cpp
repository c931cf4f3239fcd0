#include "bamboo/BambooInchEdit.h"
#include "bamboo/BambooMillMainForm.h"
#include "controls/DroSpeedFrame.h"
#include "preview/ToolpathPreviewWindow.h"
#include "preview/ToolpathView.h"
#include "windows/XmlLayoutStorage.h"

#include "MainWindowHarness.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

#define S QStringLiteral

// The main window of the program over the recording host, with the bamboo window opened
// from its title-bar button.
struct BambooWindow : ::testing::Test
{
    MainWindowHarness harness;
    TBambooMillForm* form = nullptr;

    void SetUp() override
    {
        harness.HostRunning();
        harness.settings.values[S("Mach Location")] = harness.folder.filePath(S("Mach3.exe"));
        TForm1& main = harness.Start({}, {}, true);
        ASSERT_TRUE(main.BambooTitleButton()->isEnabled());
        main.OpenToolWindow(TForm1::ToolWindow::Bamboo);
        form = qobject_cast<TBambooMillForm*>(
            main.ToolWindowSlot(TForm1::ToolWindow::Bamboo).Window());
        ASSERT_NE(form, nullptr);
    }
    const TBambooMillControls& C() const { return form->Controls(); }
};

}  // namespace

// A field reads the number in its text, whatever surrounds it; it shows its decimals and the
// suffix and never rounds away typed digits.
TEST(InchField, ReadsAndShowsNumbers)
{
    const struct
    {
        const char* text;
        double value;
    } reads[] = {
        {"0.250 in", 0.25}, {"-0.5in", -0.5}, {" 12 abc.5", 12.5}, {"0,25", 0.25},
        {"", 0.0},         {"in", 0.0},      {"1.2.3", 1.2},      {".5 in", 0.5},
    };
    for (const auto& row : reads)
        EXPECT_DOUBLE_EQ(InchFieldValue(QString::fromUtf8(row.text)), row.value) << row.text;

    EXPECT_EQ(FormatInchField(0.25, 3), S("0.250 in"));
    EXPECT_EQ(FormatInchField(60, 2), S("60.00 in"));
    EXPECT_EQ(FormatInchField(0.0125, 3), S("0.0125 in"));
    EXPECT_EQ(FormatInchField(-0.4375, 4), S("-0.4375 in"));
}

// Bounds apply when the window sets a value and when the operator confirms one.
TEST(InchField, KeepsItsBounds)
{
    TInchEdit field(3);
    field.SetBounds(0.0, 0.05);
    EXPECT_EQ(field.SetValue(0.2), 0.05);
    EXPECT_EQ(field.text(), S("0.050 in"));
    field.setText(S("-1"));
    Q_EMIT field.returnPressed();
    EXPECT_EQ(field.text(), S("0.000 in"));
    field.setText(S("0.02"));
    Q_EMIT field.returnPressed();
    EXPECT_EQ(field.text(), S("0.020 in"));
}

// Opened from the main window's title-bar button: captioned, Height tab first, start values
// shown, feed frames local and bound; a second open brings up the same window.
TEST_F(BambooWindow, OpensFromTheTitleBarWithItsStartValues)
{
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), S("Bamboo Milling"));
    EXPECT_EQ(C().tabs->tabText(C().tabs->currentIndex()), S("Height"));
    EXPECT_EQ(C().tabs->count(), 7);
    const struct
    {
        TInchEdit* field;
        const char* text;
    } starts[] = {
        {C().eLength, "60.00 in"},  {C().edepth, "0.10 in"},      {C().eStdHeight, "0.0000 in"},
        {C().eTgtHght, "0.250 in"}, {C().eFnlDpth, "0.220 in"},   {C().eVariance, "0.0000 in"},
        {C().eOffset, "0.000 in"},  {C().ePassDepth, "0.010 in"}, {C().eCutLength, "3.500 in"},
    };
    for (const auto& row : starts) {
        EXPECT_EQ(row.field->text().toStdString(), row.text)
            << row.field->objectName().toStdString();
    }
    EXPECT_TRUE(C().ckUseYoff->isChecked());
    EXPECT_FALSE(C().btnCut->isEnabled());
    EXPECT_FALSE(C().btnVariance->isEnabled());
    EXPECT_FALSE(C().eVariance->isEnabled());
    EXPECT_TRUE(C().JvBitBtn4->isHidden());
    EXPECT_EQ(C().spdFeed->MachDROnum(), 0);
    EXPECT_EQ(C().spdPlunge->Value(), 100);
    EXPECT_NE(C().spdRapid->iMach(), nullptr) << "bound by the main window";
    EXPECT_EQ(C().btnCutMortise->accessibleName(), S("Post Mortise Code"));

    harness.window->OpenToolWindow(TForm1::ToolWindow::Bamboo);
    EXPECT_EQ(harness.window->ToolWindowSlot(TForm1::ToolWindow::Bamboo).Window(), form);
}

// "&Jog To Start" enables the test cut; a loaded test cut enables "Set &Z to Actual" and makes
// "&Actual" editable until the box is toggled; while a step runs no step button can start.
TEST_F(BambooWindow, ButtonsFollowTheChecklistAndOneStepAtATime)
{
    C().ckJogToStart->setChecked(true);
    EXPECT_TRUE(C().btnCut->isEnabled());
    harness.host->dros[802] = 0.5;
    ASSERT_TRUE(QDir(harness.folder.path()).mkpath(S("GCode")));
    C().btnCut->click();
    EXPECT_TRUE(harness.platform.messageBoxes.shown.isEmpty());
    EXPECT_TRUE(C().btnVariance->isEnabled());
    EXPECT_TRUE(C().eVariance->isEnabled());

    C().eVariance->setText(S("0.0123"));
    harness.host->ClearJournal();
    C().btnVariance->click();
    EXPECT_TRUE(harness.host->journal.contains(S("SetOEMDRO(802, 0.0123)")));

    C().ckJogToStart->setChecked(false);
    C().ckJogToStart->setChecked(true);
    EXPECT_FALSE(C().btnVariance->isEnabled());
    EXPECT_FALSE(C().eVariance->isEnabled());

    form->SetBusy(true);
    for (QPushButton* button : {C().btnCut, C().btnProbe, C().btnSafeZ, C().btnAnotherThou,
                                C().btnProbeSeatStd, C().JvBitBtn8})
        EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
    form->SetBusy(false);
    EXPECT_TRUE(C().btnCut->isEnabled());
    EXPECT_TRUE(C().btnProbe->isEnabled());
}

// A generated program is shown in the preview before it is loaded; the View menu shows the
// last one again, or says that there is none.
TEST_F(BambooWindow, PreviewsEachGeneratedProgram)
{
    form->PreviewAction()->trigger();
    ASSERT_NE(form->PreviewWindow(), nullptr);
    EXPECT_EQ(form->PreviewWindow()->View()->Message(), S("No program has been generated yet."));

    for (QCheckBox* box : {C().ckPlaten, C().ckStraight, C().ckjogPosX, C().ckJogBgnZ})
        box->setChecked(true);
    ASSERT_TRUE(QDir(harness.folder.path()).mkpath(S("GCode")));
    harness.host->dros[802] = 0.5;
    QSignalSpy shown(form->PreviewWindow()->View(), &TToolpathView::FileShown);
    C().btnCutPlaten->click();
    EXPECT_TRUE(form->PreviewWindow()->isVisible());
    EXPECT_TRUE(form->PreviewWindow()->View()->Reading()) << "loading does not wait for it";
    EXPECT_TRUE(harness.host->journal.last().startsWith(S("LoadFile(")));
    ASSERT_TRUE(shown.wait(10000));
    EXPECT_EQ(form->PreviewWindow()->View()->StockTop(), 0.5);
    EXPECT_TRUE(form->PreviewWindow()->Summary()->text().startsWith(S("Platen Cut.tap: 28 lines")));
}

// The window's place, size and state go to "Desktop\BambooMillForm" with the desktop layout
// and come back from it; a missing value keeps what the window has.
TEST_F(BambooWindow, KeepsItsPlaceInTheDesktopLayout)
{
    form->move(40, 60);
    harness.window->SaveDesktopLayout();
    TLayoutStorage& fs = *harness.window->fs();
    fs.SelectSection(TBambooMillForm::DesktopSection);
    EXPECT_EQ(fs.ReadInteger(S("Left"), -1), form->x());
    EXPECT_EQ(fs.ReadInteger(S("Top"), -1), form->y());
    EXPECT_EQ(fs.ReadInteger(S("Width"), -1), form->width());
    EXPECT_EQ(fs.ReadInteger(S("WindowState"), -1), 0);

    TXmlLayoutStorage partial(TXmlLayoutStorage::WriteBack::OnFlushOnly);
    partial.SelectSection(TBambooMillForm::DesktopSection);
    partial.WriteInteger(S("Left"), 123);
    const int top = form->y();
    const QSize size = form->size();
    form->ReadDesktopSection(partial);
    EXPECT_EQ(form->x(), 123);
    EXPECT_EQ(form->y(), top);
    EXPECT_EQ(form->size(), size);
    EXPECT_FALSE(form->isMinimized());
}
