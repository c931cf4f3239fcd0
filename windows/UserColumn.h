#pragma once

#include <QList>

#include <functional>

class QWidget;

// The column of a user-built window: controls stacked top to bottom at a 25-pixel pitch below
// the window's top panel, each as wide as the column's area. List order is vertical order, tab
// order and file order.
//
// The column places and orders its controls; it does not own them (they are children of the
// area, which deletes them) and knows nothing of the host. Moves follow the rule the saved
// layouts were made with: a control moving up takes the top of the control above, which moves
// down by its own height (down mirrors it), and a removed control's followers each move up by
// their own height. At equal heights this keeps the 25-pixel pitch. UI thread only.
class TUserColumn final
{
public:
    static constexpr int Pitch = 25;

    // `area` is the parent of the controls; `topOffset` gives the height of the top panel the
    // column starts below, read at each append (it grows when the window is scaled).
    TUserColumn(QWidget* area, std::function<int()> topOffset);

    int Count() const { return static_cast<int>(m_controls.size()); }
    QWidget* At(int index) const { return m_controls.at(index); }
    int IndexOf(const QWidget* control) const;
    const QList<QWidget*>& Controls() const { return m_controls; }

    // Appends `control` (a child of the area) at left 0, top = topOffset + 25 × (controls
    // before it), height 25, the area's width, and shows it.
    void Append(QWidget* control);
    // Moves `control` one place up or down; false (and nothing changes) when it is not in the
    // column or is already first or last.
    bool MoveUp(QWidget* control);
    bool MoveDown(QWidget* control);
    // Takes the control at `index` out of the column (it is not deleted) and moves every
    // follower up by its own height.
    QWidget* Take(int index);
    // Takes every control out, in list order.
    QList<QWidget*> TakeAll();
    // The width every control gets: the area's width, as it changes.
    void Stretch(int width);

private:
    void RenumberTabOrder();

    QWidget* m_area;
    std::function<int()> m_topOffset;
    QList<QWidget*> m_controls;
};
