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
    // Each size costs a render at start-up; these are the ones desktops use
    // for title bars, task switchers and docks.
    for (const int size : {16, 32, 48, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
