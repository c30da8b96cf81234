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
#include "window/failure_message.h"
#include "window/wrapping_check_box.h"

using tarvelin::Box;
using tarvelin::Command;
using tarvelin::Field;
using tarvelin::indexOf;

namespace {

struct LabelRow {
    const char* name;
    const char* caption;
    QRect place;  // in twips, as every place below
    Qt::Alignment alignment;
};

constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignTop;
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignTop;

const LabelRow kLabels[] = {
    {"Label1", "Aimcraft", {480, 120, 1215, 255}, kCentred},
    {"Label2", "Shots", {480, 720, 1215, 255}, kCentred},
    {"Label3", "To Wound", {480, 1320, 1215, 255}, kCentred},
    {"Label4", "Armour Save", {480, 1920, 1215, 255}, kCentred},
    {"Label5", "1.", {240, 120, 135, 255}, kLeft},
    {"Label6", "2.", {2160, 120, 135, 255}, kLeft},
    {"Label7", "3.", {240, 2640, 135, 255}, kLeft},
    {"Label8", "4.", {2160, 1200, 135, 255}, kLeft},
};

const QRect kFieldPlaces[] = {
    {480, 360, 1215, 285},    // Text1
    {2400, 720, 1215, 285},   // Text2
    {2400, 1800, 1215, 285},  // Text3
    {480, 960, 1215, 285},    // Text4
    {480, 1560, 1215, 285},   // Text5
    {2400, 2760, 1215, 285},  // Text6
    {480, 2160, 1215, 285},   // Text7
    {2400, 3720, 1215, 285},  // Text8
    {2400, 4680, 1215, 285},  // Text9
};

struct ButtonRow {
    const char* name;
    const char* caption;
    QRect place;
};

const ButtonRow kButtons[] = {
    {"Command1", "To Hit", {2400, 120, 1215, 495}},
    {"Command2", "Hits", {2400, 1200, 1215, 495}},
    {"Command3", "Wounds", {2400, 2160, 1215, 495}},
    {"Command4", "Saves", {2400, 3120, 1215, 495}},
    {"Command5", "Casualties", {2400, 4080, 1215, 495}},
    {"Command6", "Clear", {2400, 5160, 1215, 495}},
};

const QRect kBoxPlaces[] = {
    {360, 2760, 1575, 495}, {360, 3240, 1575, 495}, {360, 3720, 1575, 495},
    {360, 4200, 1575, 495}, {360, 4680, 1575, 495}, {360, 5160, 1575, 495},
};

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
        widgets.labels[i]->setGeometry(toPixels(kLabels[i].place, scale));
    }
    for (std::size_t i = 0; i < widgets.texts.size(); ++i) {
        widgets.texts[i]->setGeometry(toPixels(kFieldPlaces[i], scale));
    }
    for (std::size_t i = 0; i < widgets.commands.size(); ++i) {
        widgets.commands[i]->setGeometry(toPixels(kButtons[i].place, scale));
    }
    for (std::size_t i = 0; i < widgets.checks.size(); ++i) {
        widgets.checks[i]->setGeometry(toPixels(kBoxPlaces[i], scale));
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
    std::array<int, 8> labels{};
    std::array<int, 6> buttons{};
    std::array<int, 6> boxes{};  // each on one line
};

Measured measure(const FormWidgets& widgets, const QFont& font) {
    Measured m{QFontMetrics(font)};
    for (std::size_t i = 0; i < m.labels.size(); ++i) {
        m.labels[i] = m.metrics.horizontalAdvance(widgets.labels[i]->text());
    }
    for (std::size_t i = 0; i < m.buttons.size(); ++i) {
        m.buttons[i] = m.metrics.horizontalAdvance(widgets.commands[i]->text());
    }
    for (std::size_t i = 0; i < m.boxes.size(); ++i) {
        m.boxes[i] = m.metrics.horizontalAdvance(widgets.checks[i]->text());
    }
    return m;
}

bool fitsAt(const FormWidgets& widgets, const Measured& m, double scale) {
    const int height = m.metrics.height();
    if (height + kFieldMargin > toPixels(kFieldPlaces[0], scale).height()) {
        return false;
    }
    for (std::size_t i = 0; i < m.labels.size(); ++i) {
        const QSize size = toPixels(kLabels[i].place, scale).size();
        if (m.labels[i] > size.width() || height > size.height()) {
            return false;
        }
    }
    for (std::size_t i = 0; i < m.buttons.size(); ++i) {
        const QSize size = toPixels(kButtons[i].place, scale).size();
        if (m.buttons[i] + kButtonMargin > size.width() || height + kButtonMargin > size.height()) {
            return false;
        }
    }
    for (std::size_t i = 0; i < m.boxes.size(); ++i) {
        const auto* box = static_cast<const WrappingCheckBox*>(widgets.checks[i]);
        const QSize size = toPixels(kBoxPlaces[i], scale).size();
        // A caption that fits on one line needs no wrapping worked out.
        const QRect area = box->captionArea(size);
        const bool oneLine = m.boxes[i] <= area.width() && height <= area.height();
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

FormWidgets buildFormWidgets(QWidget& window) {
    FormWidgets widgets;
    window.setWindowTitle("Tarvelin");
    window.setWindowIcon(appIcon());
    // The window keeps its size, so it offers no maximize button.
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);

    for (std::size_t i = 0; i < widgets.labels.size(); ++i) {
        auto* label = new QLabel(kLabels[i].caption, &window);
        label->setObjectName(kLabels[i].name);
        label->setAlignment(kLabels[i].alignment);
        widgets.labels[i] = label;
    }
    for (const Field f : tarvelin::kAllFields) {
        const std::size_t i = indexOf(f);
        auto* edit = new QLineEdit(&window);
        edit->setObjectName(QString("Text%1").arg(i + 1));
        edit->setAccessibleName(fieldCaption(f));
        // A field has no length limit; QLineEdit would otherwise stop at 32767.
        edit->setMaxLength(std::numeric_limits<int>::max());
        widgets.texts[i] = edit;
    }
    for (std::size_t i = 0; i < widgets.commands.size(); ++i) {
        auto* button = new QPushButton(kButtons[i].caption, &window);
        button->setObjectName(kButtons[i].name);
        button->setFocusPolicy(Qt::StrongFocus);
        button->setAutoDefault(false);
        widgets.commands[i] = button;
    }
    for (const Box b : tarvelin::kAllBoxes) {
        const std::size_t i = indexOf(b);
        auto* check = new WrappingCheckBox(QString::fromUtf8(tarvelin::BoxCaption(b)), &window);
        check->setObjectName(QString("Check%1").arg(i + 1));
        widgets.checks[i] = check;
    }

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

    fitForm(window, widgets);
    text(Field::Text1)->setFocus();
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
