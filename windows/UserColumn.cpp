#include "windows/UserColumn.h"

#include <QWidget>

TUserColumn::TUserColumn(QWidget* area, std::function<int()> topOffset)
    : m_area(area), m_topOffset(std::move(topOffset))
{
}

int TUserColumn::IndexOf(const QWidget* control) const
{
    return static_cast<int>(m_controls.indexOf(control));
}

void TUserColumn::Append(QWidget* control)
{
    const int top = m_topOffset() + Pitch * Count();
    m_controls.append(control);
    control->setGeometry(0, top, m_area->width(), Pitch);
    control->show();
    if (Count() > 1)
        QWidget::setTabOrder(m_controls[Count() - 2], control);
}

bool TUserColumn::MoveUp(QWidget* control)
{
    const int index = IndexOf(control);
    if (index <= 0)
        return false;
    QWidget* passed = m_controls[index - 1];
    const int passedTop = passed->y();
    control->move(control->x(), passedTop);
    m_controls.swapItemsAt(index, index - 1);
    passed->move(passed->x(), passedTop + passed->height());
    RenumberTabOrder();
    return true;
}

bool TUserColumn::MoveDown(QWidget* control)
{
    const int index = IndexOf(control);
    if (index < 0 || index + 1 >= Count())
        return false;
    QWidget* passed = m_controls[index + 1];
    const int passedTop = passed->y();
    control->move(control->x(), passedTop);
    m_controls.swapItemsAt(index, index + 1);
    passed->move(passed->x(), passedTop - passed->height());
    RenumberTabOrder();
    return true;
}

QWidget* TUserColumn::Take(int index)
{
    QWidget* taken = m_controls.takeAt(index);
    for (int i = index; i < Count(); ++i) {
        QWidget* follower = m_controls[i];
        follower->move(follower->x(), follower->y() - follower->height());
    }
    RenumberTabOrder();
    return taken;
}

QList<QWidget*> TUserColumn::TakeAll()
{
    QList<QWidget*> taken;
    taken.swap(m_controls);
    return taken;
}

void TUserColumn::Stretch(int width)
{
    for (QWidget* control : m_controls)
        control->resize(width, control->height());
}

void TUserColumn::RenumberTabOrder()
{
    for (int i = 1; i < Count(); ++i)
        QWidget::setTabOrder(m_controls[i - 1], m_controls[i]);
}
