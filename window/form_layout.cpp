// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/form_layout.h"

#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <limits>

#include "calc/shooting_tables.h"
#include "window/app_icon.h"
#include "window/controls.h"
#include "window/utf8.h"
#include "window/wrapping_check_box.h"

using tarvelin::Box;
using tarvelin::Command;
using tarvelin::Field;
using tarvelin::indexOf;

namespace {

// The client width in pixels is the one number the search varies; at 258
// pixels it is exactly 15 twips to the pixel.
constexpr int kNarrowest = kClientTwips.width() / 15;

double scaleFor(int clientWidth) {
    return clientWidth / static_cast<double>(kClientTwips.width());
}

// The widest client area, in pixels, whose window still fits the screen's
// free area. The frame is known once the window is shown; before that a
// title bar is allowed for.
int widestOnScreen(const QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) {
        return std::numeric_limits<int>::max();
    }
    const QSize frame = window.isVisible()
                            ? window.frameGeometry().size() - window.size()
                            : QSize(0, window.style()->pixelMetric(QStyle::PM_TitleBarHeight));
    const QSize room = screen->availableGeometry().size() - frame;
    int widest = std::min(
        room.width(), room.height() * kClientTwips.width() / std::max(1, kClientTwips.height()));
    while (widest > kNarrowest &&
           toPixels(kClientTwips.height(), scaleFor(widest)) > room.height()) {
        --widest;
    }
    return std::max(widest, kNarrowest);
}

void place(QWidget& window, FormWidgets& widgets, double scale) {
    widgets.scale = scale;
    window.setFixedSize(toPixels(kClientTwips.width(), scale),
                        toPixels(kClientTwips.height(), scale));
    for (std::size_t i = 0; i < widgets.labels.size(); ++i) {
        widgets.labels[i]->setGeometry(toPixels(labelControls()[i].place, scale));
    }
    for (const Field f : tarvelin::kAllFields) {
        widgets.texts[indexOf(f)]->setGeometry(toPixels(controlOf(f).place, scale));
    }
    for (const Command c : tarvelin::kAllCommands) {
        widgets.commands[indexOf(c)]->setGeometry(toPixels(controlOf(c).place, scale));
    }
    for (const Box b : tarvelin::kAllBoxes) {
        widgets.checks[indexOf(b)]->setGeometry(toPixels(controlOf(b).place, scale));
    }
}

// Buttons keep a few pixels for their frame and margins; a line edit its
// frame and one pixel above and below the text.
constexpr int kButtonMargin = 6;
constexpr int kFieldMargin = 4;

// The captions measured once in a font, for every factor the search tries:
// laying out text is the costly part.
struct Measured {
    QFontMetrics metrics;
    std::array<int, std::tuple_size_v<decltype(FormWidgets::labels)>> labels{};
    std::array<int, tarvelin::kAllCommands.size()> buttons{};
    std::array<int, tarvelin::kAllBoxes.size()> boxes{};  // each on one line
};

Measured measure(const FormWidgets& widgets, const QFont& font) {
    Measured m{QFontMetrics(font)};
    for (std::size_t i = 0; i < m.labels.size(); ++i) {
        m.labels[i] = m.metrics.horizontalAdvance(widgets.labels[i]->text());
    }
    for (const Command c : tarvelin::kAllCommands) {
        m.buttons[indexOf(c)] = m.metrics.horizontalAdvance(widgets.commands[indexOf(c)]->text());
    }
    for (const Box b : tarvelin::kAllBoxes) {
        m.boxes[indexOf(b)] = m.metrics.horizontalAdvance(widgets.checks[indexOf(b)]->text());
    }
    return m;
}

bool fitsAt(const FormWidgets& widgets, const Measured& m, double scale) {
    const int height = m.metrics.height();
    if (height + kFieldMargin > toPixels(controlOf(Field::Text1).place, scale).height()) {
        return false;
    }
    for (std::size_t i = 0; i < m.labels.size(); ++i) {
        const QSize size = toPixels(labelControls()[i].place, scale).size();
        if (m.labels[i] > size.width() || height > size.height()) {
            return false;
        }
    }
    for (const Command c : tarvelin::kAllCommands) {
        const QSize size = toPixels(controlOf(c).place, scale).size();
        if (m.buttons[indexOf(c)] + kButtonMargin > size.width() ||
            height + kButtonMargin > size.height()) {
            return false;
        }
    }
    for (const Box b : tarvelin::kAllBoxes) {
        const auto* box = static_cast<const WrappingCheckBox*>(widgets.checks[indexOf(b)]);
        const QSize size = toPixels(controlOf(b).place, scale).size();
        // A caption that fits on one line needs no wrapping worked out.
        const QRect area = box->captionArea(size);
        const bool oneLine = m.boxes[indexOf(b)] <= area.width() && height <= area.height();
        if (!oneLine && !box->captionFits(m.metrics, size)) {
            return false;
        }
    }
    return true;
}

// The narrowest client width, from 258 pixels up to `widest`, at which every
// caption fits; or widest + 1 when none does. Fitting grows with the width
// (up to a pixel of rounding), so a doubling and then a bisection find it.
int narrowestFitting(const FormWidgets& widgets, const QFont& font, int widest) {
    const Measured measured = measure(widgets, font);
    const auto fits = [&](int width) { return fitsAt(widgets, measured, scaleFor(width)); };
    if (fits(kNarrowest)) {
        return kNarrowest;
    }
    int lo = kNarrowest;  // never fits
    int hi = kNarrowest;
    do {
        lo = hi;
        hi = std::min(hi * 2, widest);
    } while (hi > lo && !fits(hi));
    if (hi == lo) {
        return widest + 1;
    }
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        (fits(mid) ? hi : lo) = mid;
    }
    return hi;
}

}  // namespace

int toPixels(int twips, double scale) {
    return static_cast<int>(std::lround(twips * scale));
}

QRect toPixels(const QRect& twips, double scale) {
    const int left = toPixels(twips.x(), scale);
    const int top = toPixels(twips.y(), scale);
    return {left, top, toPixels(twips.x() + twips.width(), scale) - left,
            toPixels(twips.y() + twips.height(), scale) - top};
}

bool captionsFit(const FormWidgets& widgets, const QFont& font, double scale) {
    return fitsAt(widgets, measure(widgets, font), scale);
}

void fitForm(QWidget& window, FormWidgets& widgets) {
    // Start again from the desktop's font, dropping a smaller one that an
    // earlier fit to the screen may have set.
    if (window.testAttribute(Qt::WA_SetFont)) {
        window.setFont(QFont());
    }
    const QFont desktop = window.font();
    const int widest = widestOnScreen(window);
    const int width = narrowestFitting(widgets, desktop, widest);
    if (width <= widest) {
        place(window, widgets, scaleFor(width));
        return;
    }
    // The screen is too small for this font: the largest form it holds, and
    // the largest smaller font that fits it.
    const double scale = scaleFor(widest);
    QFont smaller = desktop;
    constexpr int kSmallest = 6;
    for (int size = QFontInfo(desktop).pixelSize() - 1; size >= kSmallest; --size) {
        smaller.setPixelSize(size);
        if (captionsFit(widgets, smaller, scale)) {
            break;
        }
    }
    window.setFont(smaller);
    place(window, widgets, scale);
}

const std::array<FrameLine, 8> kFrameLines{{
    {120, 5760, 120, 0},       // left edge
    {3720, 0, 120, 0},         // top edge
    {3720, 5760, 3720, 0},     // right edge
    {120, 5760, 3720, 5760},   // bottom edge
    {2040, 2640, 2040, 0},     // column divider, upper part
    {2040, 5760, 2040, 2520},  // column divider, lower part
    {120, 2520, 2040, 2520},   // inputs above the boxes
    {2040, 1080, 3720, 1080},  // To Hit above the results
}};

namespace {

void addControls(QWidget& window, FormWidgets& widgets) {
    for (std::size_t i = 0; i < widgets.labels.size(); ++i) {
        const LabelControl& row = labelControls()[i];
        auto* label = new QLabel(row.caption, &window);
        label->setObjectName(row.name);
        label->setAlignment(row.alignment);
        widgets.labels[i] = label;
    }
    for (const Field f : tarvelin::kAllFields) {
        auto* edit = new QLineEdit(&window);
        edit->setObjectName(objectName(f));
        edit->setAccessibleName(controlOf(f).caption);
        // A field has no length limit; QLineEdit would otherwise stop at 32767.
        edit->setMaxLength(std::numeric_limits<int>::max());
        widgets.texts[indexOf(f)] = edit;
    }
    for (const Command c : tarvelin::kAllCommands) {
        auto* button = new QPushButton(controlOf(c).caption, &window);
        button->setObjectName(objectName(c));
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAutoDefault(false);
        widgets.commands[indexOf(c)] = button;
    }
    for (const Box b : tarvelin::kAllBoxes) {
        auto* check = new WrappingCheckBox(utf8(tarvelin::BoxCaption(b)), &window);
        check->setObjectName(objectName(b));
        widgets.checks[indexOf(b)] = check;
    }
}

void setFocusOrder(const FormWidgets& widgets) {
    const auto text = [&widgets](Field f) -> QWidget* { return widgets.texts[indexOf(f)]; };
    const auto command = [&widgets](Command c) -> QWidget* { return widgets.commands[indexOf(c)]; };
    const auto box = [&widgets](Box b) -> QWidget* { return widgets.checks[indexOf(b)]; };
    QWidget* const order[] = {
        text(Field::Text1),         command(Command::Command1), command(Command::Command2),
        text(Field::Text2),         text(Field::Text3),         text(Field::Text4),
        text(Field::Text5),         command(Command::Command3), text(Field::Text6),
        command(Command::Command4), text(Field::Text7),         text(Field::Text8),
        command(Command::Command5), text(Field::Text9),         command(Command::Command6),
        box(Box::Check1),           box(Box::Check2),           box(Box::Check3),
        box(Box::Check4),           box(Box::Check5),           box(Box::Check6),
    };
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
}

}  // namespace

FormWidgets buildFormWidgets(QWidget& window) {
    FormWidgets widgets;
    window.setWindowTitle("Tarvelin");
    window.setWindowIcon(appIcon());
    // The window keeps its size, so it offers no maximize button.
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);
    addControls(window, widgets);
    setFocusOrder(widgets);
    fitForm(window, widgets);
    widgets.texts[indexOf(Field::Text1)]->setFocus();
    return widgets;
}

void paintFrame(QWidget& window, const FormWidgets& widgets) {
    QPainter painter(&window);
    painter.setPen(QPen(window.palette().color(QPalette::WindowText), 0));
    for (const FrameLine& line : kFrameLines) {
        painter.drawLine(toPixels(line.x1, widgets.scale), toPixels(line.y1, widgets.scale),
                         toPixels(line.x2, widgets.scale), toPixels(line.y2, widgets.scale));
    }
}
