// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/app_icon.h"

#include <QString>

#include "window/version.h"

QIcon appIcon() {
    // PNGs rendered from the SVG when the program was built, and read only
    // when the window system asks for a size: no SVG renderer at start-up.
    QIcon icon;
    for (const int size : kTarvelinIconSizes) {
        icon.addFile(QString(":/icons/%1/%2.png").arg(size).arg(kTarvelinAppId), QSize(size, size));
    }
    return icon;
}
