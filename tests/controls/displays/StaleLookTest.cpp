#include "controls/StaleLook.h"

#include <gtest/gtest.h>

#include <QGraphicsBlurEffect>
#include <QWidget>

// A frame and a part of it are both registered (a readout and its lamps): whichever is marked
// first, the part is never dimmed twice; a widget with an effect of its own keeps it; marking
// live takes the look away.
TEST(StaleLook, DimsOnceKeepsForeignEffectsAndClears)
{
    for (const bool frameFirst : {true, false}) {
        SCOPED_TRACE(frameFirst ? "frame first" : "part first");
        QWidget frame;
        auto* part = new QWidget(&frame);
        auto* blurred = new QWidget(&frame);
        auto* blur = new QGraphicsBlurEffect(blurred);
        blurred->setGraphicsEffect(blur);

        for (QWidget* w : frameFirst ? QList<QWidget*>{&frame, part} : QList<QWidget*>{part, &frame})
            ShowMachStale(w, true);
        ShowMachStale(blurred, true);
        EXPECT_NE(frame.graphicsEffect(), nullptr);
        EXPECT_EQ(part->graphicsEffect(), nullptr) << "dimmed with its frame, not twice";
        EXPECT_EQ(blurred->graphicsEffect(), blur);
        EXPECT_TRUE(IsShownStale(part) && IsShownStale(&frame) && IsShownStale(blurred));

        for (QWidget* w : {&frame, part, blurred})
            ShowMachStale(w, false);
        EXPECT_EQ(frame.graphicsEffect(), nullptr);
        EXPECT_EQ(blurred->graphicsEffect(), blur);
        EXPECT_FALSE(IsShownStale(part) || IsShownStale(&frame) || IsShownStale(blurred));
    }
}
