#include "windows/Skin.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

// What a skin file may hold and what makes it unusable; an unusable file names the reason.
TEST(SkinFile, ParsesOrSaysWhyNot)
{
    const struct
    {
        const char* text;
        bool usable;
        const char* problemPart;
    } cases[] = {
        {"{}", true, ""},
        {R"({"style": "windows", "palette": {"Window": "#102030"}, "styleSheet": "QMenuBar {}"})",
         true, ""},
        {R"({"palette": {"Button": "red", "Disabled": {"ButtonText": "#808080"}}})", true, ""},
        {R"({"styleSheet": ["QMenuBar {", "}"]})", true, ""},
        {"", false, "JSON"},
        {"{\"style\": ", false, "JSON"},
        {"[1, 2]", false, "one JSON object"},
        {R"({"colour": "#fff"})", false, "unknown member \"colour\""},
        {R"({"style": "NoSuchStyle"})", false, "no style \"NoSuchStyle\""},
        {R"({"style": 3})", false, "no style"},
        {R"({"palette": "dark"})", false, "colour roles"},
        {R"({"palette": {"Windoe": "#000"}})", false, "unknown colour role \"Windoe\""},
        {R"({"palette": {"Window": "#12"}})", false, "not a colour for Window"},
        {R"({"palette": {"Window": 12}})", false, "not a colour"},
        {R"({"palette": {"Disabled": {"Disabled": {}}}})", false, "unknown colour role"},
        {R"({"palette": {"Disabled": "grey"}})", false, "\"Disabled\" must hold"},
        {R"({"styleSheet": 5})", false, "\"styleSheet\" must be"},
        {R"({"styleSheet": ["a", 5]})", false, "\"styleSheet\" must be"},
    };
    for (const auto& c : cases) {
        QString problem;
        const auto skin = ParseSkin(QByteArray(c.text), QStringLiteral("Test"), problem);
        EXPECT_EQ(skin.has_value(), c.usable) << c.text;
        if (c.usable)
            EXPECT_TRUE(problem.isEmpty()) << c.text;
        else
            EXPECT_TRUE(problem.contains(QLatin1String(c.problemPart))) << c.text << " -> "
                                                                       << problem.toStdString();
    }
}

// The palette covers every role (so a skin replaces the previous one whole): named roles take
// their colours, a "Disabled" object only the disabled group, the rest the style's standard.
TEST(SkinFile, PaletteAndSheet)
{
    QString problem;
    const auto skin = ParseSkin(
        R"({"style": "Fusion", "palette": {"Window": "#102030", "Disabled": {"Text": "#777777"}},
            "styleSheet": ["QMenuBar { color: red; }", "QToolTip { color: blue; }"]})",
        QStringLiteral("Deep"), problem);
    ASSERT_TRUE(skin) << problem.toStdString();
    EXPECT_EQ(skin->name, QStringLiteral("Deep"));
    EXPECT_EQ(skin->style, QStringLiteral("Fusion"));
    EXPECT_FALSE(skin->internal);
    EXPECT_EQ(skin->palette.color(QPalette::Active, QPalette::Window), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(skin->palette.color(QPalette::Disabled, QPalette::Window), QColor(0x10, 0x20, 0x30));
    EXPECT_EQ(skin->palette.color(QPalette::Disabled, QPalette::Text), QColor(0x77, 0x77, 0x77));
    EXPECT_NE(skin->palette.color(QPalette::Active, QPalette::Text), QColor(0x77, 0x77, 0x77));
    EXPECT_TRUE(skin->palette.isBrushSet(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(skin->styleSheet, QStringLiteral("QMenuBar { color: red; }\nQToolTip { color: blue; }"));
}

// A file is read only when it is a regular file of bounded size; its name is the file name
// without the extension.
TEST(SkinFile, ReadsOnlyBoundedRegularFiles)
{
    QTemporaryDir dir;
    const auto write = [&](const QString& name, const QByteArray& text) {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return file.fileName();
    };
    QString problem;
    const auto skin = ReadSkinFile(write(QStringLiteral("Night Shift.v2.zskin"), "{}"), problem);
    ASSERT_TRUE(skin);
    EXPECT_EQ(skin->name, QStringLiteral("Night Shift.v2"));

    const QString big = write(QStringLiteral("Big.zskin"),
                              "{\"styleSheet\": \"" + QByteArray(MaxSkinFileBytes, ' ') + "\"}");
    EXPECT_FALSE(ReadSkinFile(big, problem));
    EXPECT_TRUE(problem.contains(QLatin1String("larger than"))) << problem.toStdString();

    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Folder.zskin")));
    EXPECT_FALSE(ReadSkinFile(dir.filePath(QStringLiteral("Folder.zskin")), problem));
    EXPECT_FALSE(ReadSkinFile(dir.filePath(QStringLiteral("Missing.zskin")), problem));
}
