#include "windows/HyperLabel.h"
#include "windows/ZentyrAbout.h"

#include "FakePlatform.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

// The About box's texts are fixed, and showing it changes none of them.
TEST(AboutBox, FixedTexts)
{
    FakePlatform platform;
    TMachAboutDlg about(platform.services);
    const auto texts = [&] {
        return QStringList{about.windowTitle(),         about.ProductName()->text(),
                           about.Version()->text(),     about.Comments()->text(),
                           about.HyperLabel1()->text(), about.OKButton()->text()};
    };
    const QStringList expected{
        QStringLiteral("About Zentyr"),
        QStringLiteral("Zentyr"),
        QStringLiteral("Version 1.0 Beta"),
        QStringLiteral("Application to Extend Mach3 User Interface.\n"
                       "Not a product of or affiliated or supported by \n"
                       "Mach3 or Artsoft or their affiliates."),
        TMachAboutDlg::MakerWebAddress,
        QStringLiteral("OK")};
    EXPECT_EQ(texts(), expected);
    EXPECT_EQ(about.size(), QSize(298, 213));
    EXPECT_FALSE(about.ProgramIcon()->pixmap().isNull());
    EXPECT_TRUE(about.OKButton()->isDefault());

    about.show();
    QTest::keyClick(&about, Qt::Key_Return);
    EXPECT_EQ(about.result(), QDialog::Accepted);
    about.show();
    about.OKButton()->click();
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_EQ(texts(), expected);
}

// The link label stays underlined whatever font it is given, also a plain one.
TEST(HyperLabel, StaysUnderlined)
{
    FakePlatform platform;
    QWidget window;
    THyperLabel label(QStringLiteral("http://example.org"), platform.services, &window);
    EXPECT_TRUE(label.font().underline());
    QFont plain(QStringLiteral("Tahoma"));
    plain.setUnderline(false);
    plain.setPointSize(14);
    label.setFont(plain);
    EXPECT_TRUE(label.font().underline());
    EXPECT_EQ(label.font().pointSize(), 14);
    window.setFont(QFont(QStringLiteral("Courier"), 20));
    EXPECT_TRUE(label.font().underline());
}

// A left click opens the caption through the desktop and raises nothing else; a failed open
// is reported; other buttons do nothing.
TEST(HyperLabel, ClickOpensTheCaption)
{
    FakePlatform platform;
    THyperLabel label(QStringLiteral("http://example.org"), platform.services);
    label.resize(120, 16);
    label.show();
    QTest::mouseClick(&label, Qt::RightButton);
    EXPECT_TRUE(platform.shell.documents.isEmpty());
    QTest::mouseClick(&label, Qt::LeftButton);
    EXPECT_EQ(platform.shell.documents, QStringList{QStringLiteral("http://example.org")});
    EXPECT_TRUE(platform.messageBoxes.shown.isEmpty());

    platform.shell.result = 2;
    QTest::mouseClick(&label, Qt::LeftButton);
    ASSERT_EQ(platform.messageBoxes.shown.size(), 1);
    EXPECT_EQ(platform.messageBoxes.shown[0].text, QStringLiteral("Unable to open http://example.org"));
}
