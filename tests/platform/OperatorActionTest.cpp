#include "platform/OperatorAction.h"
#include "platform/ZentyrError.h"

#include "FakePlatform.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(OperatorAction, ErrorsEndTheActionInTheErrorBox)
{
    FakeMessageBoxes boxes;
    bool ranToEnd = false;
    EXPECT_TRUE(RunOperatorAction(boxes, [&] { ranToEnd = true; }));
    EXPECT_TRUE(ranToEnd);
    EXPECT_TRUE(boxes.shown.isEmpty());

    EXPECT_FALSE(RunOperatorAction(boxes, [] { throw ZentyrError(QStringLiteral("IMach not Set")); }));
    EXPECT_FALSE(RunOperatorAction(boxes, [] { throw std::runtime_error("disk full"); }));
    EXPECT_FALSE(RunOperatorAction(boxes, [] { throw 42; }));
    ASSERT_EQ(boxes.shown.size(), 3);
    EXPECT_EQ(boxes.shown[2].text, QStringLiteral("Unexpected error"));
    EXPECT_EQ(boxes.shown[0].kind, IMessageBoxes::Kind::Error);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("IMach not Set"));
    EXPECT_EQ(boxes.shown[1].text, QStringLiteral("disk full"));
}
