// The window's fixed layout: every control at its place with its caption, the
// frame lines, the focus order and a font that fits. It builds the widgets
// and nothing else; Form1 adds the sheet and the bindings, and the
// benchmarks' baseline uses the layout bare, as the floor to compare with.
#pragma once

#include <QSize>
#include <array>

#include "calc/names.h"

class QCheckBox;
class QLineEdit;
class QPainter;
class QPushButton;
class QWidget;

struct FormWidgets {
    std::array<QLineEdit*, tarvelin::kAllFields.size()> texts{};
    std::array<QPushButton*, 6> commands{};  // To Hit, Hits, Wounds, Saves, Casualties, Clear
    std::array<QCheckBox*, tarvelin::kAllBoxes.size()> checks{};
};

// The frame and panel dividers, in logical pixels of the client area.
struct FrameLine {
    int x1, y1, x2, y2;
};
extern const std::array<FrameLine, 8> kFrameLines;

extern const QSize kClientArea;

// Creates the controls as children of window, fixes the window's size, sets
// the focus order and fits the font. Focus starts in Text1.
[[nodiscard]] FormWidgets buildFormWidgets(QWidget& window);

// Draws the frame lines in the window's text colour.
void paintFrame(QWidget& window);
