// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/chart_paint.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace chart {

double luminance(const QColor& colour) {
    const auto linear = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor mix(const QColor& a, const QColor& b, double share) {
    const auto channel = [share](double x, double y) { return x * share + y * (1 - share); };
    return QColor::fromRgbF(static_cast<float>(channel(a.redF(), b.redF())),
                            static_cast<float>(channel(a.greenF(), b.greenF())),
                            static_cast<float>(channel(a.blueF(), b.blueF())));
}

void fillDashed(QPainter& painter, const QRect& rect, const QColor& colour, int dash) {
    const bool across = rect.width() >= rect.height();
    const int length = across ? rect.width() : rect.height();
    for (int from = 0; from < length; from += 2 * dash) {
        const int piece = std::min(dash, length - from);
        painter.fillRect(across ? QRect(rect.left() + from, rect.top(), piece, rect.height())
                                : QRect(rect.left(), rect.top() + from, rect.width(), piece),
                         colour);
    }
}

}  // namespace chart
