#include "controls/Scalar.h"

#include "platform/Dialogs.h"
#include "platform/ZentyrError.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollArea>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <limits>

namespace {

// value * multiplier / divisor rounded to the nearest whole number, halves away from zero.
int MulDiv(int value, int multiplier, int divisor)
{
    const qint64 product = qint64(value) * multiplier;
    const qint64 quotient = (std::llabs(product) + divisor / 2) / divisor;
    const qint64 rounded = product < 0 ? -quotient : quotient;
    return int(std::clamp<qint64>(rounded, std::numeric_limits<int>::min(),
                                  std::numeric_limits<int>::max()));
}

int ScaleLength(int length, int multiplier, int divisor)
{
    return std::min(MulDiv(length, multiplier, divisor), QWIDGETSIZE_MAX);
}

QSize ScaleSize(QSize size, int multiplier, int divisor)
{
    return {ScaleLength(size.width(), multiplier, divisor),
            ScaleLength(size.height(), multiplier, divisor)};
}

// An unset maximum (QWIDGETSIZE_MAX) stays unset.
QSize ScaleMaximum(QSize size, int multiplier, int divisor)
{
    const auto scale = [&](int length) {
        return length >= QWIDGETSIZE_MAX ? QWIDGETSIZE_MAX
                                         : ScaleLength(length, multiplier, divisor);
    };
    return {scale(size.width()), scale(size.height())};
}

QFont ScaledFont(QFont font, int multiplier, int divisor)
{
    if (font.pixelSize() > 0) {
        font.setPixelSize(std::max(1, MulDiv(font.pixelSize(), multiplier, divisor)));
    } else {
        const double points = font.pointSizeF() * multiplier / divisor;
        font.setPointSize(std::max(1, int(std::lround(points))));
    }
    return font;
}

// Widgets that place their own inner controls in code: those controls are left alone.
bool PlacesInnerControlsItself(const QWidget* widget)
{
    return qobject_cast<const QAbstractSpinBox*>(widget) || qobject_cast<const QComboBox*>(widget)
        || qobject_cast<const QAbstractScrollArea*>(widget)
        || qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractSlider*>(widget)
        || qobject_cast<const QTabBar*>(widget) || qobject_cast<const QMenuBar*>(widget)
        || qobject_cast<const QCalendarWidget*>(widget);
}

// Containers that place their direct children in code but whose pages hold ordinary content.
bool PlacesChildrenItself(const QWidget* widget)
{
    return qobject_cast<const QTabWidget*>(widget) || qobject_cast<const QSplitter*>(widget);
}

bool LayoutHolds(const QLayout* layout, const QWidget* widget)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == widget)
            return true;
        if (item->layout() && LayoutHolds(item->layout(), widget))
            return true;
    }
    return false;
}

void ScaleLayout(QLayout* layout, int multiplier, int divisor)
{
    const QMargins margins = layout->contentsMargins();
    layout->setContentsMargins(MulDiv(margins.left(), multiplier, divisor),
                               MulDiv(margins.top(), multiplier, divisor),
                               MulDiv(margins.right(), multiplier, divisor),
                               MulDiv(margins.bottom(), multiplier, divisor));
    // A negative spacing means "as the style says" and stays so.
    const auto scaled = [&](int spacing) {
        return spacing < 0 ? spacing : MulDiv(spacing, multiplier, divisor);
    };
    if (auto* grid = qobject_cast<QGridLayout*>(layout)) {
        grid->setHorizontalSpacing(scaled(grid->horizontalSpacing()));
        grid->setVerticalSpacing(scaled(grid->verticalSpacing()));
    } else if (auto* form = qobject_cast<QFormLayout*>(layout)) {
        form->setHorizontalSpacing(scaled(form->horizontalSpacing()));
        form->setVerticalSpacing(scaled(form->verticalSpacing()));
    } else {
        layout->setSpacing(scaled(layout->spacing()));
    }
    for (int i = 0; i < layout->count(); ++i) {
        if (QLayout* inner = layout->itemAt(i)->layout())
            ScaleLayout(inner, multiplier, divisor);
    }
}

// Scales the size limits of `widget` and, when `geometry` is given, sets that geometry with
// the limits relaxed so the new geometry is not clipped by the old ones.
void ScaleLimits(QWidget* widget, const QRect* geometry, int multiplier, int divisor)
{
    const QSize minimum = ScaleSize(widget->minimumSize(), multiplier, divisor);
    const QSize maximum = ScaleMaximum(widget->maximumSize(), multiplier, divisor);
    widget->setMinimumSize(0, 0);
    widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (geometry)
        widget->setGeometry(*geometry);
    widget->setMinimumSize(minimum);
    widget->setMaximumSize(maximum);
}

void ScaleOwnParts(QWidget* widget, int multiplier, int divisor)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setIconSize(ScaleSize(button->iconSize(), multiplier, divisor));
    if (QLayout* layout = widget->layout())
        ScaleLayout(layout, multiplier, divisor);
}

void ScaleChildren(QWidget* parent, int multiplier, int divisor)
{
    if (PlacesInnerControlsItself(parent)) {
        // The content of a scroll area is ours; the rest of its parts are its own.
        auto* scrollArea = qobject_cast<QScrollArea*>(parent);
        QWidget* content = scrollArea ? scrollArea->widget() : nullptr;
        if (!content)
            return;
        if (scrollArea->widgetResizable()) {
            ScaleLimits(content, nullptr, multiplier, divisor);
        } else {
            const QRect geometry(content->pos(),
                                 ScaleSize(content->size(), multiplier, divisor));
            ScaleLimits(content, &geometry, multiplier, divisor);
        }
        ScaleOwnParts(content, multiplier, divisor);
        ScaleChildren(content, multiplier, divisor);
        return;
    }
    const bool placesChildren = PlacesChildrenItself(parent);
    for (QObject* object : parent->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (!child || child->isWindow())
            continue;
        const bool placedElsewhere = placesChildren
            || child->objectName().startsWith(QLatin1StringView("qt_"))
            || (parent->layout() && LayoutHolds(parent->layout(), child));
        if (placedElsewhere) {
            ScaleLimits(child, nullptr, multiplier, divisor);
        } else {
            const QRect old = child->geometry();
            const QRect geometry(MulDiv(old.x(), multiplier, divisor),
                                 MulDiv(old.y(), multiplier, divisor),
                                 ScaleLength(old.width(), multiplier, divisor),
                                 ScaleLength(old.height(), multiplier, divisor));
            ScaleLimits(child, &geometry, multiplier, divisor);
        }
        ScaleOwnParts(child, multiplier, divisor);
        ScaleChildren(child, multiplier, divisor);
    }
}

// Fonts set on a control with their own size are scaled; the others inherit the scaled size
// of their parent and must not be scaled twice. The window's font is always scaled.
void ScaleFonts(QWidget* window, int multiplier, int divisor)
{
    QList<QWidget*> withOwnSize;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->window() == window && widget->testAttribute(Qt::WA_SetFont)
            && (widget->font().resolveMask() & QFont::SizeResolved))
            withOwnSize.append(widget);
    }
    window->setFont(ScaledFont(window->font(), multiplier, divisor));
    for (QWidget* widget : withOwnSize)
        widget->setFont(ScaledFont(widget->font(), multiplier, divisor));
}

void ScaleWindow(QWidget* window, int multiplier, int divisor)
{
    const QPoint topLeft = window->pos();
    ScaleFonts(window, multiplier, divisor);
    ScaleChildren(window, multiplier, divisor);
    ScaleOwnParts(window, multiplier, divisor);
    const QRect client(window->geometry().topLeft(),
                       ScaleSize(window->size(), multiplier, divisor));
    ScaleLimits(window, &client, multiplier, divisor);
    if (window->pos() != topLeft)
        window->move(topLeft);
}

// Switches the window to the fixed single border (Qt's MSWindowsFixedSizeDialogHint) for the
// lifetime of the object, optionally hidden, and puts back its border and visibility after.
// Changing the flags of a shown window hides it, so it is shown again when it was shown.
class BorderSwitch final
{
    Q_DISABLE_COPY_MOVE(BorderSwitch)

public:
    BorderSwitch(QWidget* window, bool hide)
        : m_window(window), m_flags(window->windowFlags()), m_wasVisible(window->isVisible()),
          m_switched(!m_flags.testFlag(Qt::MSWindowsFixedSizeDialogHint))
    {
        if (m_switched)
            m_window->setWindowFlags(m_flags | Qt::MSWindowsFixedSizeDialogHint);
        if (hide)
            m_window->hide();
    }

    ~BorderSwitch()
    {
        if (m_switched)
            m_window->setWindowFlags(m_flags);
        if (m_wasVisible && !m_window->isVisible())
            m_window->show();
    }

private:
    QWidget* m_window;
    Qt::WindowFlags m_flags;
    bool m_wasVisible;
    bool m_switched;
};

} // namespace

TScalar::TScalar(QObject* owner, IMessageBoxes* messageBoxes)
    : QObject(owner), m_messageBoxes(messageBoxes)
{
    const struct
    {
        QString text;
        QKeySequence shortcut;
        void (TScalar::*command)();
    } commands[] = {
        {QStringLiteral("Enlarge"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F12),
         &TScalar::Enlarge},
        {QStringLiteral("Reduce"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_F11),
         &TScalar::Reduce},
        {QStringLiteral("Reset"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Equal),
         &TScalar::Reset},
    };
    for (std::size_t i = 0; i < m_actions.size(); ++i) {
        auto* action = new QAction(commands[i].text, this);
        action->setShortcut(commands[i].shortcut);
        const auto command = commands[i].command;
        connect(action, &QAction::triggered, this, [this, command]() { RunCommand(command); });
        m_actions[i] = action;
    }
    if (auto* widget = qobject_cast<QWidget*>(owner))
        widget->addActions(Actions());
}

TScalar::~TScalar() = default;

QList<QAction*> TScalar::Actions() const
{
    return {m_actions.begin(), m_actions.end()};
}

void TScalar::SetIncrementAmount(int amount)
{
    if (amount < 1 || amount > MaxIncrementAmount)
        throw ZentyrError(QStringLiteral("%1 is not a valid increment amount").arg(amount));
    m_incrementAmount = amount;
}

void TScalar::Enlarge()
{
    Step(m_incrementAmount + 100, 100, m_incrementAmount);
}

void TScalar::Reduce()
{
    Step(100, m_incrementAmount + 100, -m_incrementAmount);
}

void TScalar::Reset()
{
    if (m_scalefactor == 0)
        return;
    const BorderSwitch border(Window(), true);
    while (m_scalefactor < 0 && Step(m_incrementAmount + 100, 100, m_incrementAmount)) {
    }
    while (m_scalefactor > 0 && Step(100, m_incrementAmount + 100, -m_incrementAmount)) {
    }
    m_scalefactor = 0;
}

void TScalar::SetScalefactor(int value)
{
    if (value == 0)
        return;
    Reset();
    if (value > 0) {
        while (m_scalefactor < value && Step(m_incrementAmount + 100, 100, m_incrementAmount)) {
        }
    } else {
        while (m_scalefactor > value && Step(100, m_incrementAmount + 100, -m_incrementAmount)) {
        }
    }
}

QWidget* TScalar::Window() const
{
    auto* window = qobject_cast<QWidget*>(parent());
    if (!window || !window->isWindow())
        throw ZentyrError(QStringLiteral("TScalar must be owned by a window"));
    return window;
}

bool TScalar::Step(int multiplier, int divisor, int delta)
{
    QWidget* window = Window();
    const int next = m_scalefactor + delta;
    if (next > MaxEnlargeSteps * m_incrementAmount || next < -MaxReduceSteps * m_incrementAmount)
        return false;
    const BorderSwitch border(window, false);
    ScaleWindow(window, multiplier, divisor);
    m_scalefactor = next;
    return true;
}

void TScalar::RunCommand(void (TScalar::*command)())
{
    QString message;
    try {
        (this->*command)();
        return;
    } catch (const ZentyrError& error) {
        message = error.message();
    } catch (const std::exception& error) {
        message = QString::fromLocal8Bit(error.what());
    }
    if (m_messageBoxes)
        m_messageBoxes->Show(IMessageBoxes::Kind::Error, message, IMessageBoxes::Buttons::Ok);
    Q_EMIT CommandFailed(message);
}
