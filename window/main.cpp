// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QLocale>

#include "window/form1.h"
#include "window/version.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarvelin"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tarvelin"));
    QApplication::setApplicationVersion(QString::fromLatin1(kTarvelinVersion));
    // Lets Wayland desktops match the window to its desktop entry and icon.
    QApplication::setDesktopFileName(QString::fromLatin1(kTarvelinAppId));
    Form1::installAccessibleRole();
    Form1 window(QLocale::system().decimalPoint().toStdString());
    window.show();
    return QApplication::exec();
}
