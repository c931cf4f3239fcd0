#include "FakeSettingsStore.h"

#include "platform/QtSettingsStore.h"
#include "windows/SettingsLayoutStorage.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(SettingsLayoutStorageTest, TheFourValuesAreTextAndReadBackTyped)
{
    FakeSettingsStore registry;
    TSettingsLayoutStorage appReg(registry);

    // A missing "Mach Visible On Startup" reads as true, a stored "no" as false.
    EXPECT_TRUE(appReg.ReadBoolean(QStringLiteral("Mach Visible On Startup"), true));
    registry.values[QStringLiteral("Mach Visible On Startup")] = QStringLiteral("no");
    EXPECT_FALSE(appReg.ReadBoolean(QStringLiteral("Mach Visible On Startup"), true));

    appReg.WriteString(QStringLiteral("Skin Name"), QStringLiteral("GrayPlastic (internal)"));
    appReg.WriteString(QStringLiteral("Mach Location"), QStringLiteral("C:\\Mach3\\Mach3.exe"));
    appReg.WriteString(QStringLiteral("Mach Profile"), QString());
    appReg.WriteBoolean(QStringLiteral("Mach Visible On Startup"), false);
    appReg.WriteInteger(QStringLiteral("Rate"), -5);
    const QMap<QString, QString> expected{
        {QStringLiteral("Skin Name"), QStringLiteral("GrayPlastic (internal)")},
        {QStringLiteral("Mach Location"), QStringLiteral("C:\\Mach3\\Mach3.exe")},
        {QStringLiteral("Mach Profile"), QString()},
        {QStringLiteral("Mach Visible On Startup"), QStringLiteral("FALSE")},
        {QStringLiteral("Rate"), QStringLiteral("-5")},
    };
    EXPECT_EQ(registry.values, expected);

    // An empty stored value is a value, not a missing one.
    EXPECT_EQ(appReg.ReadString(QStringLiteral("Mach Profile"), QStringLiteral("default")),
              QString());
    EXPECT_EQ(appReg.ReadInteger(QStringLiteral("Mach Profile"), 3), -1);
    EXPECT_EQ(appReg.ReadInteger(QStringLiteral("Rate"), 3), -5);
    EXPECT_EQ(appReg.ReadInteger(QStringLiteral("Missing"), 3), 3);
}

TEST(SettingsLayoutStorageTest, TheStoresOwnKeyIsTheSectionOfItsValues)
{
    FakeSettingsStore registry;
    TSettingsLayoutStorage appReg(registry);
    EXPECT_EQ(appReg.Section(), TSettingsLayoutStorage::RegistryKey);

    const struct
    {
        QString section;
        QString valueName;
    } cases[] = {
        {TSettingsLayoutStorage::RegistryKey, QStringLiteral("Skin Name")},
        {QStringLiteral("\\software\\VUVE3 Dazorudava\\settings\\"), QStringLiteral("Skin Name")},
        {QString(), QStringLiteral("Skin Name")},
        {QStringLiteral("Desktop\\JogForm"), QStringLiteral("Desktop\\JogForm\\Skin Name")},
    };
    for (const auto& c : cases) {
        registry.values.clear();
        appReg.SelectSection(c.section);
        appReg.WriteString(QStringLiteral("Skin Name"), QStringLiteral("x"));
        EXPECT_EQ(registry.values.keys(), QStringList{c.valueName}) << c.section.toStdString();
    }
}

#ifndef Q_OS_WIN
// The native store writes the per-user settings file; on Windows it is the registry, which a
// test must not touch.
TEST(QtSettingsStoreTest, ValuesRoundTripThroughThePerUserSettingsFile)
{
    QTemporaryDir home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
    const QString expectedFile = home.filePath(QStringLiteral("Vuve3 Dazorudava/Settings.conf"));

    const QString values[] = {
        QStringLiteral("C:\\Program Files\\Mach3\\Mach3.exe"),
        QStringLiteral("a, b, c"),
        QStringLiteral("\"quoted\" and ; semicolon = equals"),
        QStringLiteral(u"  Fräse Ω  "),
        QStringLiteral("@Invalid()"),
        QStringLiteral("line\nbreak"),
        QString(),
    };
    {
        QtSettingsStore store;
        EXPECT_EQ(store.Location(), expectedFile);
        EXPECT_FALSE(store.Contains(QStringLiteral("Mach Location")));
        EXPECT_EQ(store.Read(QStringLiteral("Mach Location"), QStringLiteral("default")),
                  QStringLiteral("default"));
        for (int i = 0; i < int(std::size(values)); ++i)
            store.Write(QStringLiteral("Value %1").arg(i), values[i]);
        // Written at once, before the store goes away.
        EXPECT_TRUE(QFile::exists(expectedFile));
    }
    QtSettingsStore reopened;
    for (int i = 0; i < int(std::size(values)); ++i) {
        EXPECT_TRUE(reopened.Contains(QStringLiteral("Value %1").arg(i)));
        EXPECT_EQ(reopened.Read(QStringLiteral("Value %1").arg(i), QStringLiteral("default")),
                  values[i])
            << i;
    }

    // A hand-edited file with an unquoted list still reads as the one text it shows.
    QFile file(expectedFile);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("[Hand]\nEdited=x, y\n");
    file.close();
    QtSettingsStore edited;
    EXPECT_EQ(edited.Read(QStringLiteral("Hand\\Edited"), {}), QStringLiteral("x, y"));
}
#endif

} // namespace
