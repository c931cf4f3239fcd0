#include "platform/NativeDialogs.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

TEST(NativeDialogs, ClassicFiltersBecomeQtFilters)
{
    EXPECT_EQ(QtFileDialogFilter(QStringLiteral("MachProfile (*.xml)|*.XML")),
              QStringLiteral("MachProfile (*.XML *.xml)"));
    EXPECT_EQ(QtFileDialogFilter(QStringLiteral("G-Code|*.tap;*.nc|All files|*.*")),
              QStringLiteral("G-Code (*.tap *.TAP *.nc *.NC);;All files (*.*)"));
    EXPECT_EQ(QtFileDialogFilter(QString()), QString());
}

TEST(NativeDialogs, StartPathOfAFolderThatIsMissingIsTheCurrentFolder)
{
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("GCode"));
    const struct { QString initial; QString file; QString start; } cases[] = {
        {folder.path(), QString(), folder.path()},
        {folder.path(), QStringLiteral("a.tap"), folder.filePath(QStringLiteral("a.tap"))},
        {missing, QString(), QDir::currentPath()},
        {missing, QStringLiteral("/cnc/a.tap"), QStringLiteral("/cnc/a.tap")},
        {QStringLiteral("./"), QStringLiteral("*.xml"), QDir::currentPath()},
    };
    for (const auto& c : cases) {
        FileDialogOptions options;
        options.initialFolder = c.initial;
        options.fileName = c.file;
        EXPECT_EQ(FileDialogStartPath(options), c.start) << c.initial.toStdString();
    }
}
