#include "windows/HyperLabel.h"

#include "platform/OperatorAction.h"
#include "platform/Platform.h"
#include "platform/Shell.h"
#include "platform/ZentyrError.h"

#include <QEvent>
#include <QMouseEvent>

THyperLabel::THyperLabel(const QString& text, PlatformServices& platform, QWidget* parent)
    : QLabel(text, parent), m_platform(platform)
{
    setForegroundRole(QPalette::Link);
    setCursor(Qt::PointingHandCursor);
    setTextFormat(Qt::PlainText);
    Underline();
}

THyperLabel::~THyperLabel() = default;

void THyperLabel::OpenText()
{
    RunOperatorAction(m_platform.messageBoxes, [this] {
        const QString target = text();
        if (m_platform.shell.OpenDocument(target) <= ShellSuccessAbove)
            throw ZentyrError(QStringLiteral("Unable to open ") + target);
    });
}

void THyperLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        Underline();
}

void THyperLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        OpenText();
}

// Setting the font again raises one more FontChange, which then finds it underlined.
void THyperLabel::Underline()
{
    if (font().underline())
        return;
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
}
