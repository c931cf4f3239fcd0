#include "controls/StaleLook.h"

#include "controls/ControlsLog.h"

#include <QGraphicsOpacityEffect>
#include <QVariant>
#include <QWidget>

namespace {

const char* const StaleProperty = "machStale";
constexpr qreal StaleOpacity = 0.45;

QString LookName() { return QStringLiteral("machStaleLook"); }

bool HasStaleLook(const QWidget* widget)
{
    const QGraphicsEffect* effect = widget->graphicsEffect();
    return effect != nullptr && effect->objectName() == LookName();
}

}  // namespace

void ShowMachStale(QObject* control, bool stale)
{
    if (control == nullptr)
        return;
    control->setProperty(StaleProperty, stale);
    auto* widget = qobject_cast<QWidget*>(control);
    if (widget == nullptr)
        return;
    if (!stale) {
        if (HasStaleLook(widget))
            widget->setGraphicsEffect(nullptr);
        return;
    }
    if (widget->graphicsEffect() != nullptr)
        return;
    for (const QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
        if (HasStaleLook(up))
            return;
    }
    // Parts dimmed before their frame are covered by the frame's look from now on.
    for (QWidget* part : widget->findChildren<QWidget*>()) {
        if (HasStaleLook(part))
            part->setGraphicsEffect(nullptr);
    }
    auto* look = new QGraphicsOpacityEffect(widget);
    look->setObjectName(LookName());
    look->setOpacity(StaleOpacity);
    widget->setGraphicsEffect(look);
    qCDebug(lcControls).noquote() << "Shown stale:" << widget->objectName();
}

bool IsShownStale(const QObject* control)
{
    return control != nullptr && control->property(StaleProperty).toBool();
}
