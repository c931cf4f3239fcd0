#include "controls/DroAmountFrame.h"
#include "controls/DroSpeedFrame.h"

#include "DisplaysTestSupport.h"

#include <gtest/gtest.h>

#include <QSlider>
#include <QWheelEvent>

namespace {

enum class Part { Field, Slider };
enum class Input { Wheel, PageUp, PageDown };

// One bound frame of either kind, seen through what the table needs.
struct FrameUnderTest
{
    const char* kind;
    QWidget* field;
    QSlider* slider;
    std::function<double()> value;
};

// Sends one notch of the wheel (or the key) to `target`; returns whether `target` took the
// event (a wheel event it does not take goes on to the window behind it).
bool Send(QWidget* target, Input input)
{
    if (input == Input::Wheel) {
        QWheelEvent wheel(QPointF(4, 4), target->mapToGlobal(QPointF(4, 4)), QPoint(),
                          QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QApplication::sendEvent(target, &wheel);
        return wheel.isAccepted();
    }
    QTest::keyClick(target, input == Input::PageUp ? Qt::Key_PageUp : Qt::Key_PageDown);
    return true;
}

}  // namespace

// Scrolling past a value frame must not change the machine: the wheel acts only on the field
// or slider that has the keyboard focus, and the page keys do nothing, in both kinds of frame.
TEST(ValueFrameInput, OnlyDeliberateInputChangesTheHostValue)
{
    struct Row
    {
        const char* what;
        Part part;
        bool focused;
        Input input;
        bool sends;
    };
    const Row rows[] = {
        {"wheel over the unfocused field", Part::Field, false, Input::Wheel, false},
        {"wheel over the unfocused slider", Part::Slider, false, Input::Wheel, false},
        {"wheel in the focused field", Part::Field, true, Input::Wheel, true},
        {"wheel on the focused slider", Part::Slider, true, Input::Wheel, true},
        {"PageUp in the field", Part::Field, true, Input::PageUp, false},
        {"PageDown in the field", Part::Field, true, Input::PageDown, false},
        {"PageUp on the slider", Part::Slider, true, Input::PageUp, false},
        {"PageDown on the slider", Part::Slider, true, Input::PageDown, false},
    };

    DisplaysHarness h;
    auto* speed = new TDROspeed(h.platform.services, &h.window);
    speed->SetMachDROnum(818);
    speed->SetMax(200);
    auto* amount = new TDroAmount(h.platform.services, &h.window);
    amount->move(0, 60);
    amount->SetMachDROnum(821);
    h.Show();
    const FrameUnderTest frames[] = {
        {"speed", speed->Field(), speed->Slider(), [&] { return double(speed->Value()); }},
        {"amount", amount->Field(), amount->Slider(), [&] { return amount->Value(); }},
    };

    for (const FrameUnderTest& frame : frames) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(frame.kind) + ": " + row.what);
            h.host->dros[818] = 100;
            h.host->dros[821] = 50;
            speed->BindMach(h.host, nullptr);
            amount->BindMach(h.host, nullptr);
            QWidget* target = row.part == Part::Field ? frame.field : frame.slider;
            if (row.focused)
                DisplaysHarness::Focus(target);
            else
                h.FocusElsewhere();
            const double value = frame.value();
            const int position = frame.slider->value();
            h.host->ClearJournal();

            const bool taken = Send(target, row.input);
            EXPECT_EQ(!h.host->Calls(QStringLiteral("SetOEMDRO")).isEmpty(), row.sends)
                << h.Journal().join(QLatin1Char(' ')).toStdString();
            if (!row.sends) {
                EXPECT_EQ(frame.value(), value);
                EXPECT_EQ(frame.slider->value(), position);
            }
            if (row.input == Input::Wheel) {
                EXPECT_EQ(taken, row.focused) << "an ignored notch goes on to the window behind";
            }
        }
    }
}
