#include "window/app_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

QIcon appIcon() {
    // Rendered here rather than left to Qt's SVG icon plugin, which is an
    // optional package that a desktop may lack.
    QSvgRenderer renderer(QStringLiteral(":/icons/org.tarvelin.Tarvelin.svg"));
    QIcon icon;
    if (!renderer.isValid()) {
        return icon;
    }
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
