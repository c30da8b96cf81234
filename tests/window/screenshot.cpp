// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Renders the window, filled in with the worked example, to
// <folder>/tarvelin.png and <folder>/tarvelin@2x.png at the desktop's font,
// or with a pixel size given, to <folder>/tarvelin-<size>px.png at that size
// of the same family. Prints the font, the factor and the window's size.
// Usage: screenshot FOLDER [PIXEL_SIZE]
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontInfo>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <cstdio>

#include "window/form1.h"

namespace {

bool save(Form1& window, qreal ratio, const QString& path) {
    QPixmap pixmap(window.size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(window.palette().color(QPalette::Window));
    window.render(&pixmap);
    if (!pixmap.save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s (%dx%d)\n", qPrintable(path), pixmap.width(), pixmap.height());
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "could not create %s\n", qPrintable(folder));
        return 1;
    }
    const int pixels = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 0;
    if (pixels > 0) {
        QFont font = QApplication::font();
        font.setPixelSize(pixels);
        QApplication::setFont(font);
    }
    Form1 window(".");
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    using tarvelin::Field;
    QTest::keyClicks(window.field(Field::Text1), "4");
    QTest::keyClicks(window.field(Field::Text4), "12");
    QTest::keyClicks(window.field(Field::Text5), "4");
    QTest::keyClicks(window.field(Field::Text7), "5");
    QTest::mouseClick(window.findChild<QPushButton*>("Command1"), Qt::LeftButton);
    QTest::mouseClick(window.box(tarvelin::Box::Check1), Qt::LeftButton);
    for (const char* button : {"Command2", "Command3", "Command4", "Command5"}) {
        QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
    }
    window.field(Field::Text1)->setFocus();
    const QFontInfo font(window.field(Field::Text1)->font());
    std::printf("font: %s, %d px; %.5f px per twip (%.2f twips per pixel); client area %dx%d\n",
                qPrintable(font.family()), font.pixelSize(), window.scale(), 1 / window.scale(),
                window.width(), window.height());
    if (pixels > 0) {
        return save(window, 1, folder + QString("/tarvelin-%1px.png").arg(pixels)) ? 0 : 1;
    }
    const bool ok =
        save(window, 1, folder + "/tarvelin.png") && save(window, 2, folder + "/tarvelin@2x.png");
    return ok ? 0 : 1;
}
