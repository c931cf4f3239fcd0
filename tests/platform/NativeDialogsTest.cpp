#include "platform/NativeDialogs.h"

#include <gtest/gtest.h>

TEST(NativeDialogs, ClassicFiltersBecomeQtFilters)
{
    EXPECT_EQ(QtFileDialogFilter(QStringLiteral("MachProfile (*.xml)|*.XML")),
              QStringLiteral("MachProfile (*.XML *.xml)"));
    EXPECT_EQ(QtFileDialogFilter(QStringLiteral("G-Code|*.tap;*.nc|All files|*.*")),
              QStringLiteral("G-Code (*.tap *.TAP *.nc *.NC);;All files (*.*)"));
    EXPECT_EQ(QtFileDialogFilter(QString()), QString());
}
