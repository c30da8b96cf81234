// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/wrapping_check_box.h"

#include <QFontInfo>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;

// Styles size the indicator for Qt's default 9 pt font, 12 px at 96 dpi; from
// there it grows and shrinks with the caption's font.
constexpr double kStyleFontPixels = 12;

}  // namespace

WrappingCheckBox::WrappingCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {
    setFocusPolicy(Qt::StrongFocus);
}

QRect WrappingCheckBox::indicatorRect(const QSize& size) const {
    QStyleOptionButton option;
    initStyleOption(&option);
    option.rect = QRect(QPoint(), size);
    QRect indicator = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    const double grown = QFontInfo(font()).pixelSize() / kStyleFontPixels;
    indicator.setSize(QSize(static_cast<int>(std::lround(indicator.width() * grown)),
                            static_cast<int>(std::lround(indicator.height() * grown))));
    indicator.moveTop((size.height() - indicator.height()) / 2);
    return indicator;
}

QRect WrappingCheckBox::textRect(const QSize& size) const {
    const int spacing = style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, this);
    const int left = indicatorRect(size).right() + 1 + spacing;
    return {left, 0, std::max(0, size.width() - left), size.height()};
}

QSize WrappingCheckBox::sizeHint() const {
    // As wide as a plain check box would be with this indicator, as high as
    // the wrapped caption or the indicator.
    QStyleOptionButton option;
    initStyleOption(&option);
    const int styleIndicator =
        style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this).width();
    const QRect indicator = indicatorRect(size());
    const QSize plain = QCheckBox::sizeHint();
    const QRect wrapped = fontMetrics().boundingRect(textRect(size()), kTextFlags, text());
    return {plain.width() + indicator.width() - styleIndicator,
            std::max({plain.height(), wrapped.height(), indicator.height()})};
}

QSize WrappingCheckBox::minimumSizeHint() const {
    return sizeHint();
}

bool WrappingCheckBox::captionFits(const QFontMetrics& metrics, const QSize& size) const {
    const QRect area = textRect(size);
    return area.contains(metrics.boundingRect(area, kTextFlags, text()));
}

void WrappingCheckBox::paintEvent(QPaintEvent* /*event*/) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.rect = indicatorRect(size());
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, option);

    const QRect textArea = textRect(size());
    painter.drawItemText(textArea, kTextFlags, palette(), isEnabled(), text(),
                         QPalette::WindowText);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect =
            fontMetrics().boundingRect(textArea, kTextFlags, text()).adjusted(-1, 0, 1, 0) & rect();
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool WrappingCheckBox::hitButton(const QPoint& pos) const {
    return rect().contains(pos);
}
