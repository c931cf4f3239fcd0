#include "windows/GCodeLineList.h"

#include <QScrollBar>
#include <QStyledItemDelegate>

namespace {

// Rows exactly one text line high, so a long program is not spread out by item padding.
class TLineDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(option.fontMetrics.height());
        return size;
    }
};

}  // namespace

TGCodeLineModel::TGCodeLineModel(QObject* parent) : QAbstractListModel(parent) {}

TGCodeLineModel::~TGCodeLineModel() = default;

void TGCodeLineModel::SetLines(QStringList lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

int TGCodeLineModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_lines.size());
}

QVariant TGCodeLineModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_lines.size())
        return {};
    return m_lines.at(index.row());
}

TGCodeListView::TGCodeListView(QWidget* parent)
    : QListView(parent), m_model(new TGCodeLineModel(this))
{
    setModel(m_model);
    setItemDelegate(new TLineDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

TGCodeListView::~TGCodeListView() = default;

void TGCodeListView::SetLines(QStringList lines)
{
    m_model->SetLines(std::move(lines));
}

void TGCodeListView::FollowLine(long long line)
{
    // Rows laid out since the last reload are needed for the scroll range; after that this
    // does nothing.
    executeDelayedItemsLayout();
    const bool inList = line >= 0 && line < m_model->rowCount();
    const int row = inList ? int(line) : -1;
    if (row >= 0)
        selectionModel()->setCurrentIndex(m_model->index(row), QItemSelectionModel::ClearAndSelect);
    else
        selectionModel()->clear();
    verticalScrollBar()->setValue(std::max(0, row - LinesAboveCurrent));
}

int TGCodeListView::ItemIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

int TGCodeListView::TopIndex() const
{
    return verticalScrollBar()->value();
}

void TGCodeListView::mouseReleaseEvent(QMouseEvent* event)
{
    QListView::mouseReleaseEvent(event);
    Q_EMIT MouseReleased();
}
