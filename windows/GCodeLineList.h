#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QStringList>

// The program's lines as a list model: one row per line, display text only.
class TGCodeLineModel final : public QAbstractListModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TGCodeLineModel)

public:
    explicit TGCodeLineModel(QObject* parent = nullptr);
    ~TGCodeLineModel() override;

    const QStringList& Lines() const { return m_lines; }
    // Replaces every line in one reset.
    void SetLines(QStringList lines);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QStringList m_lines;
};

// The list of program lines in which the controller's current line is selected (`CodeList`).
//
// It holds programs of any length cheaply: every row has the height of the first, so the view
// never measures the others, and following the current line selects one row and sets the
// scroll position, whatever the program's length. Single selection; rows are one text line
// high at the view's font.
class TGCodeListView final : public QListView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TGCodeListView)

public:
    static constexpr int LinesAboveCurrent = 5;

    explicit TGCodeListView(QWidget* parent = nullptr);
    ~TGCodeListView() override;

    void SetLines(QStringList lines);
    const QStringList& Lines() const { return m_model->Lines(); }
    int Count() const { return m_model->rowCount(); }

    // Selects the row whose 0-based index is `line` and scrolls so that the top row is
    // max(0, row - LinesAboveCurrent). A line outside the list clears the selection and
    // scrolls to the first row.
    void FollowLine(long long line);

    // The selected row, or -1.
    int ItemIndex() const;
    // The row shown at the top.
    int TopIndex() const;

Q_SIGNALS:
    // A mouse button was released over the list.
    void MouseReleased();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TGCodeLineModel* m_model;
};
