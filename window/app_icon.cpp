// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/app_icon.h"

#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QString>

#include "window/version.h"

QIcon appIcon() {
    // PNGs rendered from the SVG when the program was built: no SVG renderer
    // at start-up. They are read as PNG, said outright; left to guess, Qt
    // loads every image plugin to ask it. The window takes the sizes that title
    // bars, task bars and switchers show; the desktop finds the larger ones
    // installed beside the scalable icon.
    constexpr int kWindowSizes[] = {16, 24, 32, 48, 64};
    QIcon icon;
    for (const int size : kWindowSizes) {
        QImageReader reader(QString(":/icons/%1/%2.png").arg(size).arg(kTarvelinAppId), "png");
        reader.setAutoDetectImageFormat(false);
        const QImage image = reader.read();
        if (!image.isNull()) {
            icon.addPixmap(QPixmap::fromImage(image));
        }
    }
    return icon;
}
