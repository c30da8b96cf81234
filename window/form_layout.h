// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The window's fixed layout: every control at its place in twips with its
// caption, the frame lines and the focus order, all mapped to pixels by one
// factor, the smallest at which the desktop's own font fits every caption.
// It builds and places the widgets and nothing else; Form1 adds the sheet and
// the bindings, and the benchmarks' baseline uses the layout bare.
#pragma once

#include <QRect>
#include <QSize>
#include <array>

#include "calc/names.h"

class QCheckBox;
class QFont;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

struct FormWidgets {
    std::array<QLineEdit*, tarvelin::kAllFields.size()> texts{};
    std::array<QPushButton*, tarvelin::kAllCommands.size()> commands{};  // in Command's order
    std::array<QCheckBox*, tarvelin::kAllBoxes.size()> checks{};
    std::array<QLabel*, 8> labels{};  // Label1 to Label8
    // Logical pixels per twip; 1/15 at 96 dpi with a small enough font.
    double scale = 1.0 / 15;
};

// The frame and panel dividers, in twips of the client area.
struct FrameLine {
    int x1, y1, x2, y2;
};
extern const std::array<FrameLine, 8> kFrameLines;

// The client area in twips.
inline constexpr QSize kClientTwips(3870, 5775);

// A place in twips mapped to pixels edge by edge, so that controls that touch
// or line up in twips still do in pixels.
[[nodiscard]] int toPixels(int twips, double scale);
[[nodiscard]] QRect toPixels(const QRect& twips, double scale);

// Creates the controls as children of window, sets the focus order and fits
// the form to the font. Focus starts in Text1.
[[nodiscard]] FormWidgets buildFormWidgets(QWidget& window);

// Fits the form to the application font again: picks the factor, places every
// control and fixes the window's size. When even the screen is too small for
// that font, the factor stops at the screen and the font alone gets smaller.
void fitForm(QWidget& window, FormWidgets& widgets);

// Whether every caption fits its control, in this font, at this factor.
[[nodiscard]] bool captionsFit(const FormWidgets& widgets, const QFont& font, double scale);

// Draws the frame lines in the window's text colour.
void paintFrame(QWidget& window, const FormWidgets& widgets);
