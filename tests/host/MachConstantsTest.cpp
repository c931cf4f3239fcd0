#include "host/MachConstants.h"
#include <gtest/gtest.h>
TEST(MachConstants, Placeholder) { EXPECT_EQ(OEMDROCode(odtJog_Inc), 828); }
