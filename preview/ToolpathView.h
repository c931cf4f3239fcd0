#pragma once

#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

class QPainter;
struct TToolpath;
struct TToolpathFile;
template <typename T>
class QFutureWatcher;

// Draws a program's path in two panes: a side view (X across, Z up) above a top view (X
// across, Y up). Feed moves are solid, rapid moves dashed; the side view marks the stock top
// when one is given; each pane names the extents of its two axes. Each axis is scaled to fill
// its pane, so shallow cuts stay visible; the numbers give the true sizes.
//
// Reading a file never blocks the caller: ShowFile parses on a worker thread and the view
// shows the path when it is ready; a newer ShowFile, SetToolpath or ShowMessage supersedes a
// read still under way. UI thread only.
//
// Drawing keeps a per-pane cache of the moves in pixels, rebuilt when the path or the size
// changes; moves that land on the same pixels as one already drawn are drawn once.
class TToolpathView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TToolpathView)

public:
    explicit TToolpathView(QWidget* parent = nullptr);
    ~TToolpathView() override;

    void SetToolpath(std::shared_ptr<const TToolpath> path,
                     std::optional<double> stockTop = std::nullopt);
    void ShowFile(const QString& fileName, std::optional<double> stockTop = std::nullopt);
    // No path; the text is shown instead.
    void ShowMessage(const QString& text);

    std::shared_ptr<const TToolpath> Toolpath() const { return m_path; }
    std::optional<double> StockTop() const { return m_stockTop; }
    // The text shown instead of a path (a read under way, a read that failed, nothing yet).
    QString Message() const { return m_message; }
    bool Reading() const { return m_reading; }

    QSize sizeHint() const override;

Q_SIGNALS:
    // The file of the last ShowFile is shown, or the reason it is not.
    void FileShown();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Pane;

    void FileRead();
    void Invalidate();
    void BuildPane(Pane& pane, const QRect& area, int across, int up) const;
    void DrawPane(QPainter& painter, const Pane& pane) const;

    std::shared_ptr<const TToolpath> m_path;
    std::optional<double> m_stockTop;
    std::optional<double> m_pendingStockTop;
    QString m_message;
    bool m_reading = false;
    QFutureWatcher<std::shared_ptr<const TToolpathFile>>* m_watcher;
    std::unique_ptr<Pane> m_side;
    std::unique_ptr<Pane> m_top;
    QSize m_cachedFor;
};
