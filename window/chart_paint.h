// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// What the charts share in painting: the contrast of two colours as the web's
// accessibility guidelines reckon it, mixing one colour into another, and a
// dashed fill. Where each chart lays out and what it draws is its own.
#pragma once

#include <QColor>
#include <QRect>

class QPainter;

namespace chart {

// The contrast that graphics need against their background.
inline constexpr double kGraphics = 3;

// Relative luminance, and the contrast ratio of two colours, from 1 to 21.
[[nodiscard]] double luminance(const QColor& colour);
[[nodiscard]] double contrast(const QColor& a, const QColor& b);
// share of a, the rest of b.
[[nodiscard]] QColor mix(const QColor& a, const QColor& b, double share);
// Fills rect in dashes along its longer side, each dash long with as much
// gap after it, so that a dashed step reads as one even where it runs over
// a solid one.
void fillDashed(QPainter& painter, const QRect& rect, const QColor& colour, int dash);

}  // namespace chart
