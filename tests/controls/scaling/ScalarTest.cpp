#include "FakePlatform.h"

#include "controls/Scalar.h"
#include "platform/ZentyrError.h"

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace {

// A window as a form would design it: a 300 x 200 client area at 169, 27, an 8 pt font,
// controls placed by position and one placed by a layout.
struct DesignedWindow
{
    DesignedWindow()
    {
        window.setGeometry(169, 27, 300, 200);
        QFont font = window.font();
        font.setPointSize(8);
        window.setFont(font);

        label = new QLabel(QStringLiteral("X"), &window);
        label->setGeometry(105, 105, 105, 21);

        pixelFont = new QPushButton(QStringLiteral("Pixel"), &window);
        pixelFont->setGeometry(10, 10, 80, 24);
        QFont pixels = pixelFont->font();
        pixels.setPixelSize(12);
        pixelFont->setFont(pixels);

        panel = new QWidget(&window);
        panel->setGeometry(0, 150, 300, 50);
        auto* layout = new QHBoxLayout(panel);
        fixed = new QPushButton(QStringLiteral("Fixed"));
        fixed->setFixedSize(40, 20);
        layout->addWidget(fixed);
    }

    QWidget window;
    QLabel* label = nullptr;
    QPushButton* pixelFont = nullptr;
    QWidget* panel = nullptr;
    QPushButton* fixed = nullptr;
};

TScalar* MakeScalar(QWidget& window)
{
    auto* scalar = new TScalar(&window);
    scalar->SetIncrementAmount(10);
    return scalar;
}

TEST(ScalarTest, StepsReachTheirFactorAndWindowSize)
{
    using Steps = std::function<void(TScalar&)>;
    const struct
    {
        const char* name;
        Steps steps;
        int scalefactor;
        QSize size;
    } cases[] = {
        {"two Enlarge steps: about 121 %", [](TScalar& s) { s.Enlarge(); s.Enlarge(); }, 20,
         {363, 242}},
        {"Reset after two Enlarge steps",
         [](TScalar& s) { s.Enlarge(); s.Enlarge(); s.Reset(); }, 0, {300, 200}},
        {"Reduce at 0: about 91 %", [](TScalar& s) { s.Reduce(); }, -10, {273, 182}},
        {"Reset after two Reduce steps", [](TScalar& s) { s.Reduce(); s.Reduce(); s.Reset(); },
         0, {300, 200}},
        {"Set 15 ends at 20", [](TScalar& s) { s.SetScalefactor(15); }, 20, {363, 242}},
        {"Set -15 ends at -20", [](TScalar& s) { s.SetScalefactor(-15); }, -20, {248, 165}},
        {"Set 0 leaves an enlarged window",
         [](TScalar& s) { s.Enlarge(); s.SetScalefactor(0); }, 10, {330, 220}},
        {"Set starts from the designed size",
         [](TScalar& s) { s.Enlarge(); s.Enlarge(); s.Enlarge(); s.SetScalefactor(-10); }, -10,
         {273, 182}},
    };
    for (const auto& c : cases) {
        DesignedWindow designed;
        TScalar* scalar = MakeScalar(designed.window);
        c.steps(*scalar);
        EXPECT_EQ(scalar->Scalefactor(), c.scalefactor) << c.name;
        EXPECT_EQ(designed.window.size(), c.size) << c.name;
        EXPECT_EQ(designed.window.pos(), QPoint(169, 27)) << c.name;
    }
}

TEST(ScalarTest, ControlsAndFontsFollowEachStepAndResetRetracesThem)
{
    DesignedWindow designed;
    TScalar* scalar = MakeScalar(designed.window);
    scalar->Enlarge();
    scalar->Enlarge();

    EXPECT_EQ(designed.label->geometry(), QRect(128, 128, 128, 25));
    EXPECT_EQ(designed.panel->geometry(), QRect(0, 182, 363, 61));
    EXPECT_EQ(designed.fixed->minimumSize(), QSize(48, 24));
    EXPECT_EQ(designed.fixed->maximumSize(), QSize(48, 24));
    EXPECT_EQ(designed.window.font().pointSize(), 10);
    EXPECT_EQ(designed.pixelFont->font().pixelSize(), 14);
    // Inherited fonts are scaled once, through the window.
    EXPECT_FALSE(designed.label->testAttribute(Qt::WA_SetFont));
    EXPECT_EQ(designed.label->font().pointSize(), 10);

    // Going back step by step lands on the designed values; one jump by 100/121 would not
    // (128 * 100 / 121 rounds to 106).
    scalar->Reset();
    EXPECT_EQ(designed.label->geometry(), QRect(105, 105, 105, 21));
    EXPECT_EQ(designed.panel->geometry(), QRect(0, 150, 300, 50));
    EXPECT_EQ(designed.fixed->size(), QSize(40, 20));
    EXPECT_EQ(designed.window.font().pointSize(), 8);
    EXPECT_EQ(designed.pixelFont->font().pixelSize(), 12);
}

TEST(ScalarTest, AFixedSizeMainWindowScalesItsClientAndContent)
{
    QMainWindow window;
    window.menuBar()->addMenu(QStringLiteral("Settings"));
    window.statusBar();
    auto* central = new QWidget;
    window.setCentralWidget(central);
    auto* readout = new QLabel(QStringLiteral("0.0000"), central);
    readout->setGeometry(20, 40, 100, 20);
    window.setFixedSize(328, 247);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    TScalar* scalar = MakeScalar(window);
    scalar->Enlarge();
    EXPECT_EQ(window.minimumSize(), QSize(361, 272));
    EXPECT_EQ(window.maximumSize(), QSize(361, 272));
    EXPECT_EQ(window.size(), QSize(361, 272));
    EXPECT_EQ(readout->geometry(), QRect(22, 44, 110, 22));

    scalar->Reset();
    EXPECT_EQ(window.size(), QSize(328, 247));
    EXPECT_EQ(readout->geometry(), QRect(20, 40, 100, 20));
}

// Records the window's flags and whether it was shown each time a step scales its font (which
// happens inside the step, unlike the resize events of a shown window, which come later).
class StepWatcher final : public QObject
{
public:
    struct Seen
    {
        Qt::WindowFlags flags;
        bool visible;
    };

    explicit StepWatcher(QWidget& window) { window.installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FontChange) {
            auto* widget = static_cast<QWidget*>(watched);
            seen.push_back({widget->windowFlags(), widget->isVisible()});
        }
        return false;
    }

    std::vector<Seen> seen;
};

TEST(ScalarTest, StepsRunUnderAFixedBorderAndLeaveWindowAsItWas)
{
    DesignedWindow designed;
    TScalar* scalar = MakeScalar(designed.window);
    designed.window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&designed.window));
    const Qt::WindowFlags flags = designed.window.windowFlags();
    const QPoint place = designed.window.pos();
    ASSERT_FALSE(flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));

    StepWatcher watcher(designed.window);
    scalar->Enlarge();
    QCoreApplication::processEvents();
    ASSERT_FALSE(watcher.seen.empty());
    EXPECT_TRUE(watcher.seen.front().flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));
    EXPECT_EQ(designed.window.windowFlags(), flags);
    EXPECT_TRUE(designed.window.isVisible());
    EXPECT_EQ(designed.window.pos(), place);

    // Reset works on the hidden window and shows it again at the end.
    watcher.seen.clear();
    scalar->Reset();
    QCoreApplication::processEvents();
    ASSERT_FALSE(watcher.seen.empty());
    for (const auto& seen : watcher.seen) {
        EXPECT_FALSE(seen.visible);
        EXPECT_TRUE(seen.flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));
    }
    EXPECT_TRUE(designed.window.isVisible());
    EXPECT_EQ(designed.window.windowFlags(), flags);
    EXPECT_EQ(designed.window.size(), QSize(300, 200));

    // A window hidden before Reset stays hidden: the operator closed it.
    scalar->Enlarge();
    designed.window.hide();
    scalar->Reset();
    EXPECT_FALSE(designed.window.isVisible());
}

TEST(ScalarTest, StepsAreBoundedSoDamagedValuesCannotRunAway)
{
    DesignedWindow designed;
    TScalar* scalar = MakeScalar(designed.window);

    scalar->SetScalefactor(INT_MAX);
    EXPECT_EQ(scalar->Scalefactor(), TScalar::MaxEnlargeSteps * 10);
    const QSize largest = designed.window.size();
    scalar->Enlarge();
    EXPECT_EQ(scalar->Scalefactor(), TScalar::MaxEnlargeSteps * 10);
    EXPECT_EQ(designed.window.size(), largest);

    scalar->SetScalefactor(INT_MIN);
    EXPECT_EQ(scalar->Scalefactor(), -TScalar::MaxReduceSteps * 10);
    scalar->Reduce();
    EXPECT_EQ(scalar->Scalefactor(), -TScalar::MaxReduceSteps * 10);
    // At the deepest reduction the controls are still big enough to come back, give or take
    // the rounding of twenty steps.
    scalar->Reset();
    const QRect label = designed.label->geometry();
    for (const auto& [now, designedValue] : {std::pair{label.x(), 105}, {label.y(), 105},
                                            {label.width(), 105}, {label.height(), 21}})
        EXPECT_NEAR(now, designedValue, 4);

    for (const int amount : {0, -10, TScalar::MaxIncrementAmount + 1})
        EXPECT_THROW(scalar->SetIncrementAmount(amount), ZentyrError) << amount;
    EXPECT_EQ(scalar->incrementAmount(), 10);
}

TEST(ScalarTest, OnlyAWindowCanOwnTheScaler)
{
    QObject notAWidget;
    QWidget window;
    auto* child = new QWidget(&window);
    for (QObject* owner : {&notAWidget, static_cast<QObject*>(child)}) {
        FakeMessageBoxes boxes;
        auto* scalar = new TScalar(owner, &boxes);
        try {
            scalar->Enlarge();
            ADD_FAILURE() << "a step ran without a window";
        } catch (const ZentyrError& error) {
            EXPECT_EQ(error.message(), QStringLiteral("TScalar must be owned by a window"));
        }
        // From the menu the error goes to the standard error box and to CommandFailed.
        QSignalSpy failed(scalar, &TScalar::CommandFailed);
        scalar->ReduceAction()->trigger();
        ASSERT_EQ(failed.size(), 1);
        EXPECT_EQ(failed.front().front().toString(),
                  QStringLiteral("TScalar must be owned by a window"));
        ASSERT_EQ(boxes.shown.size(), 1);
        EXPECT_EQ(boxes.shown.front().kind, IMessageBoxes::Kind::Error);
        EXPECT_EQ(boxes.shown.front().text, QStringLiteral("TScalar must be owned by a window"));
        EXPECT_EQ(scalar->Scalefactor(), 0);
        delete scalar;
    }
}

TEST(ScalarTest, ShortcutsRunTheCommandsInTheActiveWindow)
{
    DesignedWindow designed;
    TScalar* scalar = MakeScalar(designed.window);
    designed.window.show();
    designed.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&designed.window));

    const auto press = [&](Qt::Key key) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget()
                                                    : &designed.window,
                        key, Qt::ControlModifier | Qt::AltModifier);
        if (!designed.window.isActiveWindow()) {
            designed.window.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&designed.window));
        }
    };
    press(Qt::Key_F12);
    press(Qt::Key_F12);
    EXPECT_EQ(scalar->Scalefactor(), 20);
    press(Qt::Key_F11);
    EXPECT_EQ(scalar->Scalefactor(), 10);
    press(Qt::Key_Equal);
    EXPECT_EQ(scalar->Scalefactor(), 0);
    EXPECT_EQ(designed.window.size(), QSize(300, 200));

    QStringList texts;
    for (const QAction* action : scalar->Actions())
        texts << action->text() + u' ' + action->shortcut().toString(QKeySequence::PortableText);
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Enlarge Ctrl+Alt+F12"),
                                  QStringLiteral("Reduce Ctrl+Alt+F11"),
                                  QStringLiteral("Reset Ctrl+Alt+=")}));
}

} // namespace
