#include "controls/MachButton.h"
#include "controls/Scalar.h"
#include "host/MachUpdateThread.h"
#include "windows/MachLEDForm.h"
#include "windows/MachUserButtonForm.h"
#include "windows/UserColumn.h"
#include "windows/UserLayoutFiles.h"
#include "windows/XmlLayoutStorage.h"

#include "MainWindowHarness.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>

namespace {

struct OpeningFixture : ::testing::Test, MainWindowHarness
{
    QString Path(const char* name) const { return folder.filePath(QString::fromUtf8(name)); }
    static void Put(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

}  // namespace

// First opening: the desktop section places the window, the default layout's Top and Left
// override its place (the size stays), the stored scale applies, every control is bound and
// polled once per pass, and closing right away asks nothing.
TEST_F(OpeningFixture, FirstOpeningReadsTheDefaultLayout)
{
    Put(Path("buttons.cbl"),
        "<CodeButtons><Top>40</Top><Left>50</Left><ButtonCount>2</ButtonCount>"
        "<Button0><ClassName>TMachCodeButton</ClassName><Caption>a</Caption></Button0>"
        "<Button1><ClassName>TMachVBScriptButton</ClassName><Caption>b</Caption></Button1>"
        "</CodeButtons>");
    Put(Path("lamps.ledl"),
        "<CodeButtons><Top>41</Top><Left>51</Left><LEDbuttonCount>2</LEDbuttonCount>"
        "<LEDbutton0><ClassName>TMachLEDLabeled</ClassName><LEDType>4</LEDType></LEDbutton0>"
        "<LEDbutton1><ClassName>TMachLEDLabeled</ClassName></LEDbutton1></CodeButtons>");
    {
        TXmlLayoutStorage desktop(LayoutPath());
        for (const QString& section : {TUserCodeButtonsForm::DesktopSection, TUserLEDsForm::DesktopSection}) {
            desktop.SelectSection(section);
            desktop.WriteInteger(QStringLiteral("Left"), 10);
            desktop.WriteInteger(QStringLiteral("Top"), 20);
            desktop.WriteInteger(QStringLiteral("Width"), 190);
            desktop.WriteInteger(QStringLiteral("Height"), 300);
            desktop.WriteInteger(QStringLiteral("ScalarSetting"), -10);
        }
        desktop.SelectSection(TUserCodeButtonsForm::DesktopSection);
        desktop.WriteString(QStringLiteral("Layoutfile"), Path("buttons.cbl"));
        desktop.SelectSection(TUserLEDsForm::DesktopSection);
        desktop.WriteString(QStringLiteral("Layoutfile"), Path("lamps.ledl"));
    }
    HostRunning(QStringLiteral("Mill"));
    TForm1& main = Start({}, {}, true);
    ASSERT_TRUE(main.wMach().Connected());
    TMachUpdateThread& thread = *main.wMach().UpdateThread();
    const qsizetype before = thread.Registrations().size();

    struct Case
    {
        TForm1::ToolWindow which;
        QPoint place;
    };
    for (const Case& c : {Case{TForm1::ToolWindow::UserButtons, QPoint(50, 40)},
                          Case{TForm1::ToolWindow::Leds, QPoint(51, 41)}}) {
        main.OpenToolWindow(c.which);
        auto* form = qobject_cast<TUserLayoutForm*>(main.ToolWindowSlot(c.which).Window());
        ASSERT_NE(form, nullptr);
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(form->pos(), c.place);
        EXPECT_EQ(form->Scalar1().Scalefactor(), -10);
        EXPECT_EQ(form->Column().Count(), 2);
        EXPECT_FALSE(form->Modified());
        form->close();
        EXPECT_FALSE(form->isVisible());
    }
    EXPECT_TRUE(platform.messageBoxes.shown.isEmpty());
    EXPECT_EQ(thread.Registrations().size(), before + 4) << "each control polled once a pass";

    auto* buttons = qobject_cast<TUserCodeButtonsForm*>(
        main.ToolWindowSlot(TForm1::ToolWindow::UserButtons).Window());
    EXPECT_EQ(buttons->size(), QSize(173, 273)) << "the desktop's 190 x 300, one step reduced";
    EXPECT_EQ(qobject_cast<tMachVBScriptButton*>(buttons->Button(1))->MacroFolder(),
              QStringLiteral("/opt/mach3/Macros/Mill"));
    EXPECT_EQ(buttons->Button(0)->iMach(), main.wMach().iMach());
}

// A default layout that is rejected ends the opening with the error; asked again, the window
// shows without buttons, and no save overwrites the file it could not read.
TEST_F(OpeningFixture, ARejectedDefaultLayoutIsNotOverwritten)
{
    const QByteArray newer = "<CodeButtons><version>2.0</version></CodeButtons>";
    Put(Path("newer.cbl"), newer);
    {
        TXmlLayoutStorage desktop(LayoutPath());
        desktop.SelectSection(TUserCodeButtonsForm::DesktopSection);
        desktop.WriteString(QStringLiteral("Layoutfile"), Path("newer.cbl"));
    }
    HostRunning();
    TForm1& main = Start({}, {}, true);
    main.OpenToolWindow(TForm1::ToolWindow::UserButtons);
    auto* form = qobject_cast<TUserCodeButtonsForm*>(
        main.ToolWindowSlot(TForm1::ToolWindow::UserButtons).Window());
    ASSERT_NE(form, nullptr);
    ASSERT_EQ(platform.messageBoxes.shown.size(), 1);
    EXPECT_EQ(platform.messageBoxes.shown[0].text, QStringLiteral("Invalid \".cbl\" File Format"));
    EXPECT_FALSE(form->isVisible());
    main.OpenToolWindow(TForm1::ToolWindow::UserButtons);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->ButtonCount(), 0);

    form->AddButton(TCodeButtonKind::GCode);
    form->SaveLayout();  // asks for a name; cancelled
    EXPECT_EQ(platform.fileDialogs.saved.size(), 1);
    QFile file(Path("newer.cbl"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), newer);
    EXPECT_EQ(form->DefaultLayoutFile(), Path("newer.cbl"));
}

// Saving the desktop layout writes the LEDs window's section too; a modified column is offered
// for saving when the program ends.
TEST_F(OpeningFixture, DesktopSaveAndProgramEnd)
{
    HostRunning();
    TForm1& main = Start({}, {}, true);
    main.OpenToolWindow(TForm1::ToolWindow::Leds);
    auto* leds = qobject_cast<TUserLEDsForm*>(main.ToolWindowSlot(TForm1::ToolWindow::Leds).Window());
    ASSERT_NE(leds, nullptr);
    leds->move(33, 44);
    leds->SetCurrentLayoutFile(Path("x.ledl"));
    leds->SetAsDefaultLayout();
    main.SaveDesktopLayout();
    main.fs()->SelectSection(TUserLEDsForm::DesktopSection);
    EXPECT_EQ(main.fs()->ReadInteger(QStringLiteral("Left"), 0), 33);
    EXPECT_EQ(main.fs()->ReadString(QStringLiteral("Layoutfile"), QString()), Path("x.ledl"));

    leds->AddLed();
    platform.messageBoxes.answers = {IMessageBoxes::Answer::Yes};
    main.close();
    ASSERT_EQ(platform.messageBoxes.shown.size(), 1);
    EXPECT_EQ(platform.messageBoxes.shown[0].text, QStringLiteral("Save Layout Modifications?"));
    EXPECT_EQ(platform.messageBoxes.shown[0].buttons, IMessageBoxes::Buttons::YesNo);
    EXPECT_TRUE(QFile::exists(Path("x.ledl")));
}

// Besides the one the menus open, one more LEDs window exists from program start, hidden.
TEST_F(OpeningFixture, ASpareLedsWindowExistsFromStart)
{
    HostRunning();
    Start({}, {}, true);
    int spare = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        spare += qobject_cast<TUserLEDsForm*>(top) != nullptr && !top->isVisible() ? 1 : 0;
    EXPECT_EQ(spare, 1);
    window.reset();
    for (QWidget* top : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<TUserLEDsForm*>(top), nullptr) << "it goes with the main window";
}
