#include "windows/SkinManager.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QStyle>
#include <QTemporaryDir>

namespace {

void WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& text)
{
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

}  // namespace

// The built-in skins come first, the default among them, and "Select Skin" has them to offer.
TEST(SkinManager, OffersTheBuiltInSkins)
{
    TSkinManager manager;
    EXPECT_EQ(manager.SkinName(), QStringLiteral("GrayPlastic (internal)"));
    EXPECT_FALSE(manager.Applied());
    EXPECT_EQ(manager.SkinNames(),
              (QStringList{QStringLiteral("GrayPlastic (internal)"),
                           QStringLiteral("Dark Shop (internal)"),
                           QStringLiteral("High Contrast (internal)"),
                           QStringLiteral("Native (internal)")}));
    EXPECT_EQ(manager.InternalSkinCount(), 4);
}

// Skin files of the skin folder are offered after the built-in ones, by name; a file that
// cannot be used, or that repeats a name already offered, is skipped and named. Setting the
// folder again reads it afresh.
TEST(SkinManager, ReadsTheSkinFolderAndNamesWhatItSkips)
{
    QTemporaryDir dir;
    WriteFile(dir, QStringLiteral("Ocean.zskin"), R"({"palette": {"Window": "#1d3a55"}})");
    WriteFile(dir, QStringLiteral("amber.zskin"), "{}");
    WriteFile(dir, QStringLiteral("Broken.zskin"), "{\"palette\": ");
    WriteFile(dir, QStringLiteral("Native (internal).zskin"), "{}");
    WriteFile(dir, QStringLiteral("Notes.txt"), "not a skin");

    TSkinManager manager;
    manager.SetSkinDirectory(dir.path());
    EXPECT_EQ(manager.SkinNames().mid(4),
              (QStringList{QStringLiteral("amber"), QStringLiteral("Ocean")}));
    EXPECT_EQ(manager.InternalSkinCount(), 4);
    ASSERT_EQ(manager.Problems().size(), 2);
    EXPECT_TRUE(manager.Problems()[0].contains(QLatin1String("Broken.zskin: not readable as JSON")))
        << manager.Problems()[0].toStdString();
    EXPECT_TRUE(manager.Problems()[1].contains(QLatin1String("is offered already")));

    QFile::remove(dir.filePath(QStringLiteral("Ocean.zskin")));
    manager.SetSkinDirectory(dir.path());
    EXPECT_EQ(manager.SkinNames().mid(4), QStringList{QStringLiteral("amber")});
    manager.SetSkinDirectory(dir.filePath(QStringLiteral("missing")));
    EXPECT_EQ(manager.SkinNames().size(), 4);
    EXPECT_TRUE(manager.Problems().isEmpty());
}

// Applying a skin restyles the application as a whole, windows created later included; the
// same skin again changes nothing; an unknown name falls back to the default.
TEST(SkinManager, AppliesToTheWholeApplication)
{
    QTemporaryDir dir;
    WriteFile(dir, QStringLiteral("Ocean.zskin"),
              R"({"style": "Windows", "palette": {"Window": "#1d3a55"},
                  "styleSheet": "QToolTip { color: #123456; }"})");
    TSkinManager manager;
    manager.SetSkinDirectory(dir.path());
    QSignalSpy changed(&manager, &TSkinManager::SkinChanged);
    QLabel before;
    before.show();

    manager.SetSkinName(QStringLiteral("Ocean"));
    EXPECT_TRUE(manager.Applied());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), QColor(0x1d, 0x3a, 0x55));
    EXPECT_EQ(qApp->styleSheet(), QStringLiteral("QToolTip { color: #123456; }"));
    QLabel after;
    EXPECT_EQ(before.palette().color(QPalette::Window), QColor(0x1d, 0x3a, 0x55));
    EXPECT_EQ(after.palette().color(QPalette::Window), QColor(0x1d, 0x3a, 0x55));

    manager.SetSkinName(QStringLiteral("Ocean"));
    EXPECT_EQ(changed.count(), 1);

    manager.SetSkinName(QStringLiteral("Dark Shop (internal)"));
    EXPECT_EQ(manager.SkinName(), QStringLiteral("Dark Shop (internal)"));
    EXPECT_EQ(after.palette().color(QPalette::Window), QColor(0x2a, 0x2c, 0x30));
    EXPECT_FALSE(qApp->styleSheet().contains(QLatin1String("#123456")));

    manager.SetSkinName(QStringLiteral("Gone Skin"));
    EXPECT_EQ(manager.SkinName(), QStringLiteral("GrayPlastic (internal)"));
    EXPECT_EQ(changed.count(), 3);
    EXPECT_EQ(after.palette().color(QPalette::Window), QColor(0xc4, 0xc8, 0xce));

    // The native skin brings back the look the application started with.
    manager.SetSkinName(QStringLiteral("Native (internal)"));
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    TSkinManager second;
    second.SetSkinName(QStringLiteral("Native (internal)"));
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_NE(QApplication::palette().color(QPalette::Window), QColor(0xc4, 0xc8, 0xce));
}
