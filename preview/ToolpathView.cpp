#include "preview/ToolpathView.h"

#include "preview/GCodeToolpath.h"

#include <QDir>
#include <QFutureWatcher>
#include <QPainter>
#include <QPromise>
#include <QThreadPool>

#include <algorithm>
#include <cmath>
#include <unordered_set>

namespace {

constexpr int Margin = 6;
constexpr double Padding = 0.04;  // share of an axis range left free on each side
const QColor Background(252, 252, 248);
const QColor FeedColour(0, 70, 200);
const QColor RapidColour(220, 110, 0);
const QColor StockColour(140, 90, 40);

const char* const AxisNames[3] = {"X", "Y", "Z"};

QString Number(double value)
{
    return QString::number(value, 'f', 4);
}

// The drawn range of an axis: its extents with some room on each side; a range without
// length is centred in a unit range.
struct Range
{
    double low = 0.0;
    double high = 1.0;

    static Range Around(double min, double max)
    {
        Range range;
        const double span = max - min;
        if (!(span > 1e-9)) {
            range.low = min - 0.5;
            range.high = min + 0.5;
            return range;
        }
        range.low = min - span * Padding;
        range.high = max + span * Padding;
        return range;
    }
};

quint16 Pixel(double value)
{
    return static_cast<quint16>(std::clamp(std::lround(value), 0L, 65535L));
}

}  // namespace

struct TToolpathView::Pane
{
    QRect plot;
    QString title;
    QString extents;
    QVector<QLine> feed;
    QVector<QLine> rapid;
    std::optional<int> stockY;
    QString stockLabel;
    QPoint titleAt;
    QPoint extentsAt;
    QRect frame;
};

TToolpathView::TToolpathView(QWidget* parent)
    : QWidget(parent),
      m_watcher(new QFutureWatcher<std::shared_ptr<const TToolpathFile>>(this)),
      m_side(std::make_unique<Pane>()),
      m_top(std::make_unique<Pane>())
{
    setObjectName(QStringLiteral("ToolpathView"));
    setAccessibleName(QStringLiteral("ToolpathView"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    connect(m_watcher, &QFutureWatcherBase::finished, this, &TToolpathView::FileRead);
}

TToolpathView::~TToolpathView() = default;

QSize TToolpathView::sizeHint() const
{
    return {480, 360};
}

void TToolpathView::SetToolpath(std::shared_ptr<const TToolpath> path,
                                std::optional<double> stockTop)
{
    m_reading = false;
    m_path = std::move(path);
    m_stockTop = stockTop;
    m_message.clear();
    Invalidate();
}

void TToolpathView::ShowMessage(const QString& text)
{
    m_reading = false;
    m_path.reset();
    m_stockTop.reset();
    m_message = text;
    Invalidate();
}

void TToolpathView::ShowFile(const QString& fileName, std::optional<double> stockTop)
{
    ShowMessage(QStringLiteral("Reading %1 ...").arg(QDir::toNativeSeparators(fileName)));
    m_reading = true;
    m_pendingStockTop = stockTop;

    auto promise = std::make_shared<QPromise<std::shared_ptr<const TToolpathFile>>>();
    QFuture<std::shared_ptr<const TToolpathFile>> future = promise->future();
    promise->start();
    QThreadPool::globalInstance()->start([promise, fileName] {
        promise->addResult(std::make_shared<const TToolpathFile>(ReadToolpathFile(fileName)));
        promise->finish();
    });
    m_watcher->setFuture(future);
}

void TToolpathView::FileRead()
{
    // A result that arrives after something newer was shown is dropped.
    if (!m_reading || m_watcher->future().resultCount() == 0)
        return;
    const std::shared_ptr<const TToolpathFile> file = m_watcher->future().result();
    if (!file->error.isEmpty()) {
        ShowMessage(file->error);
    } else {
        SetToolpath(std::shared_ptr<const TToolpath>(file, &file->path), m_pendingStockTop);
    }
    Q_EMIT FileShown();
}

void TToolpathView::Invalidate()
{
    m_cachedFor = QSize();
    update();
}

void TToolpathView::BuildPane(Pane& pane, const QRect& area, int across, int up) const
{
    const QFontMetrics metrics = fontMetrics();
    const int row = metrics.height() + 2;
    pane = Pane();
    pane.frame = area.adjusted(Margin / 2, Margin / 2, -Margin / 2, -Margin / 2);
    pane.plot = area.adjusted(Margin, Margin + row, -Margin, -Margin - row);
    pane.titleAt = QPoint(area.left() + Margin, area.top() + Margin + metrics.ascent());
    pane.extentsAt = QPoint(area.left() + Margin, area.bottom() - Margin - metrics.descent());
    pane.title = up == 2 ? QStringLiteral("Side view (X/Z)") : QStringLiteral("Top view (X/Y)");

    const TToolpath& path = *m_path;
    if (!path.HasExtents(across) || !path.HasExtents(up) || pane.plot.width() < 2
        || pane.plot.height() < 2) {
        pane.extents = QStringLiteral("no moves to draw");
        return;
    }
    double upMin = path.min[up];
    double upMax = path.max[up];
    if (up == 2 && m_stockTop && std::isfinite(*m_stockTop)) {
        upMin = std::min(upMin, *m_stockTop);
        upMax = std::max(upMax, *m_stockTop);
    }
    const Range h = Range::Around(path.min[across], path.max[across]);
    const Range v = Range::Around(upMin, upMax);
    pane.extents = QStringLiteral("%1 %2 to %3    %4 %5 to %6")
                       .arg(QLatin1String(AxisNames[across]), Number(path.min[across]),
                            Number(path.max[across]), QLatin1String(AxisNames[up]),
                            Number(path.min[up]), Number(path.max[up]));

    const double left = pane.plot.left();
    const double bottom = pane.plot.bottom();
    const double xScale = (pane.plot.width() - 1) / (h.high - h.low);
    const double yScale = (pane.plot.height() - 1) / (v.high - v.low);
    const auto toX = [&](double value) { return Pixel(left + (value - h.low) * xScale); };
    const auto toY = [&](double value) { return Pixel(bottom - (value - v.low) * yScale); };

    if (up == 2 && m_stockTop && std::isfinite(*m_stockTop)) {
        pane.stockY = toY(*m_stockTop);
        pane.stockLabel = QStringLiteral("stock top %1").arg(Number(*m_stockTop));
    }

    std::unordered_set<quint64> seenFeed;
    std::unordered_set<quint64> seenRapid;
    for (const TToolpathMove& move : path.moves) {
        const double x0 = move.from[across], y0 = move.from[up];
        const double x1 = move.to[across], y1 = move.to[up];
        if (std::isnan(x0) || std::isnan(y0) || std::isnan(x1) || std::isnan(y1))
            continue;
        quint16 a[2] = {toX(x0), toY(y0)};
        quint16 b[2] = {toX(x1), toY(y1)};
        if (a[0] > b[0] || (a[0] == b[0] && a[1] > b[1]))
            std::swap(a, b);
        const quint64 key = (quint64(a[0]) << 48) | (quint64(a[1]) << 32) | (quint64(b[0]) << 16)
                            | quint64(b[1]);
        auto& seen = move.rapid ? seenRapid : seenFeed;
        if (!seen.insert(key).second)
            continue;
        (move.rapid ? pane.rapid : pane.feed).append(QLine(a[0], a[1], b[0], b[1]));
    }
}

void TToolpathView::DrawPane(QPainter& painter, const Pane& pane) const
{
    painter.setPen(QPen(palette().color(QPalette::Mid), 1));
    painter.drawRect(pane.frame);
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(pane.titleAt, pane.title);
    painter.drawText(pane.extentsAt, pane.extents);

    if (pane.stockY) {
        painter.setPen(QPen(StockColour, 1, Qt::DashDotLine));
        painter.drawLine(pane.plot.left(), *pane.stockY, pane.plot.right(), *pane.stockY);
        const int textWidth = painter.fontMetrics().horizontalAdvance(pane.stockLabel);
        painter.drawText(pane.plot.right() - textWidth, *pane.stockY - 2, pane.stockLabel);
    }
    // Feed moves last: where a rapid runs along a cut, the cut is what must show.
    painter.setPen(QPen(RapidColour, 1, Qt::DashLine));
    painter.drawLines(pane.rapid);
    painter.setPen(QPen(FeedColour, 1, Qt::SolidLine));
    painter.drawLines(pane.feed);
}

void TToolpathView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Background);
    if (!m_path) {
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(rect().adjusted(Margin, Margin, -Margin, -Margin),
                         Qt::AlignCenter | Qt::TextWordWrap, m_message);
        return;
    }
    if (m_cachedFor != size()) {
        const int half = height() / 2;
        BuildPane(*m_side, QRect(0, 0, width(), half), 0, 2);
        BuildPane(*m_top, QRect(0, half, width(), height() - half), 0, 1);
        m_cachedFor = size();
    }
    DrawPane(painter, *m_side);
    DrawPane(painter, *m_top);
}
