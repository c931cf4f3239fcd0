#include "preview/GCodeToolpath.h"
#include "preview/ToolpathPreviewWindow.h"
#include "preview/ToolpathView.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct PreviewFixture : ::testing::Test
{
    QTemporaryDir dir;

    QString Write(const QString& name, const QByteArray& program)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(program);
        return path;
    }

    // Waits for the worker's result; the bound only keeps a broken build from hanging.
    static bool WaitShown(QSignalSpy& spy, int count = 1)
    {
        const QDeadlineTimer bound(10000);
        while (spy.count() < count && !bound.hasExpired())
            spy.wait(50);
        return spy.count() >= count;
    }

    // How many pixels of the colour lie in the rows [top, bottom) of the image.
    static int Count(const QImage& image, QRgb colour, int top, int bottom)
    {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < image.width(); ++x)
                n += image.pixel(x, y) == colour ? 1 : 0;
        return n;
    }
};

const QByteArray Program = QByteArrayLiteral(
    "G0 Z0.6\r\nG0 X10 Y0\r\nG1 Z0.4\r\nG1 X1 Y1\r\nG0 Z0.6\r\nG2 X0 Y0 I1\r\n");

}  // namespace

// The view reads on a worker and shows the last file asked for; a failed read shows why.
TEST_F(PreviewFixture, ViewShowsTheLastFileAskedForOrWhyItCannot)
{
    TToolpathView view;
    QSignalSpy shown(&view, &TToolpathView::FileShown);
    const QString first = Write(QStringLiteral("First.tap"), QByteArrayLiteral("G1 X1\n"));
    const QString second = Write(QStringLiteral("Second.tap"), Program);

    view.ShowFile(first);
    view.ShowFile(second, 0.5);
    EXPECT_TRUE(view.Reading());
    EXPECT_TRUE(view.Message().startsWith(QStringLiteral("Reading ")));
    ASSERT_TRUE(WaitShown(shown));
    ASSERT_TRUE(view.Toolpath());
    EXPECT_EQ(view.Toolpath()->moves.size(), 5u);
    EXPECT_EQ(view.StockTop(), 0.5);
    EXPECT_FALSE(view.Reading());

    view.ShowFile(dir.filePath(QStringLiteral("Gone.tap")));
    ASSERT_TRUE(WaitShown(shown, 2));
    EXPECT_FALSE(view.Toolpath());
    EXPECT_TRUE(view.Message().startsWith(QStringLiteral("Cannot read ")));

    // A path set meanwhile wins over a read still under way.
    view.ShowFile(second);
    view.ShowMessage(QStringLiteral("No program yet"));
    QCoreApplication::processEvents();
    QSignalSpy late(&view, &TToolpathView::FileShown);
    late.wait(200);
    EXPECT_EQ(view.Message(), QStringLiteral("No program yet"));
}

// Feed moves are drawn solid in both panes, rapid moves dashed, the stock top across the
// side view; a resize draws the same path at the new size.
TEST_F(PreviewFixture, ViewDrawsFeedRapidAndStockTopInBothPanes)
{
    TToolpathView view;
    view.resize(400, 300);
    view.SetToolpath(std::make_shared<const TToolpath>(ReadToolpath(Program)), 0.7);
    const QRgb feed = qRgb(0, 70, 200);
    const QRgb rapid = qRgb(220, 110, 0);
    const QRgb stock = qRgb(140, 90, 40);

    for (const QSize size : {QSize(400, 300), QSize(250, 420)}) {
        view.resize(size);
        const QImage image = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int half = image.height() / 2;
        EXPECT_GT(Count(image, feed, 0, half), 20) << "side view feed, " << size.width();
        EXPECT_GT(Count(image, feed, half, image.height()), 20) << "top view feed";
        EXPECT_GT(Count(image, rapid, 0, half), 10) << "side view rapid";
        EXPECT_GT(Count(image, stock, 0, half), size.width() / 4) << "stock top line";
        EXPECT_EQ(Count(image, stock, half, image.height()), 0) << "no stock top seen from above";
    }
}

// The window names the program and counts its moves once the view shows it, and says which
// lines it could not draw.
TEST_F(PreviewFixture, WindowSummarisesTheProgramItShows)
{
    TToolpathPreviewWindow window;
    QSignalSpy shown(window.View(), &TToolpathView::FileShown);
    window.ShowProgram(Write(QStringLiteral("Cut.tap"), Program), 0.6);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Toolpath Preview"));
    ASSERT_TRUE(WaitShown(shown));
    EXPECT_EQ(window.Summary()->text(),
              QStringLiteral("Cut.tap: 6 lines, 5 moves (3 rapid); 1 lines not drawn, the first "
                             "is line 6"));
    window.ShowText(QStringLiteral("No program has been generated yet"));
    EXPECT_EQ(window.View()->Message(), QStringLiteral("No program has been generated yet"));
    EXPECT_TRUE(window.Summary()->text().isEmpty());
}
