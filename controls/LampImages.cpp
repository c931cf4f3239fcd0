#include "controls/LampImages.h"

#include <QPainter>
#include <QRadialGradient>

#include <array>

namespace {

const QColor LampGreen(0, 200, 0);
constexpr std::array<int, 3> IconSizes{16, 24, 32};

QIcon LampIcon(bool lit)
{
    QIcon icon;
    for (const int size : IconSizes)
        icon.addPixmap(DrawLampPixmap(LampGreen, lit, size));
    return icon;
}

}  // namespace

QPixmap DrawLampPixmap(const QColor& color, bool lit, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);

    const QColor face = lit ? color : color.darker(300);
    const qreal margin = size / 8.0;
    const QRectF bulb(margin, margin, size - 2 * margin, size - 2 * margin);
    QRadialGradient gradient(bulb.center() - QPointF(bulb.width() / 5, bulb.height() / 5),
                             bulb.width() / 1.6);
    gradient.setColorAt(0.0, lit ? face.lighter(170) : face.lighter(130));
    gradient.setColorAt(1.0, face);
    painter.setBrush(gradient);
    painter.setPen(QPen(QColor(40, 40, 40), size / 16.0));
    painter.drawEllipse(bulb);
    return pixmap;
}

const QList<QIcon>& LampImages()
{
    // Never destroyed: pixmaps must not outlive the application object, and a static would be
    // destroyed after it.
    static const auto* const images = new QList<QIcon>{LampIcon(false), LampIcon(true)};
    return *images;
}
