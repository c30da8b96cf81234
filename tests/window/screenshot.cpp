// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Renders the window, filled in with the worked example, to
// <folder>/tarvelin.png and <folder>/tarvelin@2x.png at the desktop's font,
// with the casualties' odds tooltip open to <folder>/tarvelin-odds.png, and
// the same in a dark palette to <folder>/tarvelin-odds-dark.png; then with
// those casualties pinned and worked out again from 24 shots, the tooltip
// comparing them to <folder>/tarvelin-compare-dark.png and, in the default
// palette, <folder>/tarvelin-compare.png; or with a pixel size given, to
// <folder>/tarvelin-<size>px.png at that size of the same family. Prints the
// font, the factor and the window's size.
// Usage: screenshot FOLDER [PIXEL_SIZE]
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QFontInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <algorithm>
#include <cstdio>

#include "window/form1.h"
#include "window/odds_tip.h"

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

// The window with the casualties' odds tooltip open, as the screen shows
// them together, on the window's background colour.
bool saveWithOdds(Form1& window, const QString& path) {
    QLineEdit* casualties = window.field(tarvelin::Field::Text9);
    casualties->setFocus(Qt::TabFocusReason);
    auto* tip = window.findChild<OddsTip*>();
    if (!QTest::qWaitFor([&window] {
            const auto* shown = window.findChild<OddsTip*>();
            return shown != nullptr && shown->isVisible();
        })) {
        std::fprintf(stderr, "the odds tooltip did not open\n");
        return false;
    }
    tip = window.findChild<OddsTip*>();
    constexpr int kMargin = 8;
    const QRect windowPlace(window.mapToGlobal(QPoint()), window.size());
    const QRect tipPlace = tip->geometry();
    const QRect whole = (windowPlace | tipPlace).adjusted(-kMargin, -kMargin, kMargin, kMargin);
    QPixmap pixmap(whole.size());
    pixmap.fill(window.palette().color(QPalette::Window).darker(115));
    window.render(&pixmap, windowPlace.topLeft() - whole.topLeft());
    tip->render(&pixmap, tipPlace.topLeft() - whole.topLeft());
    if (!pixmap.save(path)) {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        return false;
    }
    std::printf("wrote %s (%dx%d)\n", qPrintable(path), pixmap.width(), pixmap.height());
    tip->hide();
    return true;
}

// Compare with This on the casualties, then 24 shots and the four steps again.
bool compareWith24Shots(Form1& window) {
    QLineEdit* casualties = window.field(tarvelin::Field::Text9);
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(4, 4),
                            casualties->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(casualties, &click);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    const QList<QAction*> entries = menu != nullptr ? menu->actions() : QList<QAction*>();
    const auto pin = std::find_if(entries.begin(), entries.end(), [](const QAction* entry) {
        return entry->text() == "Compare with This";
    });
    if (pin == entries.end()) {
        std::fprintf(stderr, "no Compare with This in the casualties' menu\n");
        return false;
    }
    (*pin)->trigger();
    menu->close();
    // The menu took the window's activation with it; the tooltip needs it back.
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) {
        return false;
    }
    QLineEdit* shots = window.field(tarvelin::Field::Text4);
    shots->selectAll();
    QTest::keyClicks(shots, "24");
    for (const char* button : {"Command2", "Command3", "Command4", "Command5"}) {
        QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
    }
    window.field(tarvelin::Field::Text1)->setFocus();
    // What the menu's closing still has to say to the window, which would
    // hide a tooltip shown before it.
    QTest::qWait(200);
    return true;
}

// A dark desktop palette, tooltips included.
QPalette darkPalette() {
    QPalette dark(QColor(0x3a, 0x3a, 0x3a), QColor(0x2b, 0x2b, 0x2b));
    const std::pair<QPalette::ColorRole, QColor> roles[] = {
        {QPalette::WindowText, QColor(0xe8, 0xe8, 0xe8)},
        {QPalette::Text, QColor(0xe8, 0xe8, 0xe8)},
        {QPalette::ButtonText, QColor(0xe8, 0xe8, 0xe8)},
        {QPalette::Base, QColor(0x1e, 0x1e, 0x1e)},
        {QPalette::AlternateBase, QColor(0x26, 0x26, 0x26)},
        {QPalette::ToolTipBase, QColor(0x1e, 0x1e, 0x1e)},
        {QPalette::ToolTipText, QColor(0xe8, 0xe8, 0xe8)},
        {QPalette::Highlight, QColor(0x3d, 0x8e, 0xc9)},
        {QPalette::HighlightedText, QColor(0xff, 0xff, 0xff)},
        {QPalette::Link, QColor(0x6c, 0xb4, 0xee)},
        {QPalette::PlaceholderText, QColor(0x90, 0x90, 0x90)},
    };
    for (const auto& [role, colour] : roles) {
        dark.setColor(role, colour);
    }
    return dark;
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
    if (!save(window, 1, folder + "/tarvelin.png") ||
        !save(window, 2, folder + "/tarvelin@2x.png") ||
        !saveWithOdds(window, folder + "/tarvelin-odds.png")) {
        return 1;
    }
    const QPalette light = QApplication::palette();
    const QPalette lightTips = QToolTip::palette();
    QApplication::setPalette(darkPalette());
    QToolTip::setPalette(darkPalette());
    window.field(Field::Text1)->setFocus();
    if (!saveWithOdds(window, folder + "/tarvelin-odds-dark.png") || !compareWith24Shots(window) ||
        !saveWithOdds(window, folder + "/tarvelin-compare-dark.png")) {
        return 1;
    }
    QApplication::setPalette(light);
    QToolTip::setPalette(lightTips);
    window.field(Field::Text1)->setFocus();
    return saveWithOdds(window, folder + "/tarvelin-compare.png") ? 0 : 1;
}
