#include "host/Mach4_TLB.h"
#include "platform/ZentyrError.h"

#include <gtest/gtest.h>

TEST(MachInt16, RangeIsCheckedBeforeAnyCall)
{
    EXPECT_EQ(MachInt16(-32768), -32768);
    EXPECT_EQ(MachInt16(32767), 32767);
    EXPECT_EQ(MachInt16(0), 0);
    EXPECT_THROW(MachInt16(32768), ZentyrError);
    EXPECT_THROW(MachInt16(-32769), ZentyrError);
    EXPECT_THROW(MachInt16(70000), ZentyrError);
}
