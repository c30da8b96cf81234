// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/log_chart.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <array>
#include <cmath>

#include "window/chart_paint.h"

namespace {

// The colour-blind-safe set of eight, in its usual order; its black stands
// for the palette's text colour, so that it shows on a dark desktop too.
constexpr std::array<QRgb, LogChart::kMostSeries> kSafeColours{
    0xe69f00, 0x56b4e9, 0x009e73, 0xf0e442, 0x0072b2, 0xd55e00, 0xcc79a7, 0x000000};

constexpr std::size_t kShapes = 8;

// A step of at least drawn from bar i's top to the next bar's, as the
// tooltip chart draws its steps.
struct Step {
    QRect across;
    QRect down;
};

}  // namespace

LogChart::LogChart(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LogChart::setLines(const QString& title, std::vector<Line> lines, std::optional<Line> total) {
    title_ = title;
    lines_ = std::move(lines);
    total_ = std::move(total);
    layOut();
    update();
}

QColor LogChart::seriesColour(std::size_t i, const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    const QColor ink = palette.color(QPalette::Text);
    const QRgb safe = kSafeColours[i % kSafeColours.size()];
    const QColor colour = safe == 0 ? ink : QColor(safe);
    // Into the text colour by tenths, keeping as much of the hue as allows.
    for (int tenth = 10; tenth > 0; --tenth) {
        const QColor tried = chart::mix(colour, ink, tenth / 10.0);
        if (chart::contrast(tried, base) >= chart::kGraphics) {
            return tried;
        }
    }
    return ink;
}

std::size_t LogChart::drawnLines() const {
    return std::min(lines_.size(), kMostSeries) + (total_ ? 1 : 0);
}

const LogChart::Line& LogChart::lineOf(std::size_t line) const {
    if (line < std::min(lines_.size(), kMostSeries) || !total_) {
        return lines_.at(line);
    }
    return *total_;
}

LogChart::Style LogChart::styleOf(std::size_t line) const {
    const int u = unit();
    const int thick = std::max(1, u / 7);
    if (line >= std::min(lines_.size(), kMostSeries)) {
        // The total: thicker and solid in the text colour, with no marks.
        return {palette().color(QPalette::Text), kShapes, 0, 2 * thick};
    }
    const std::array<int, 4> dashes{0, std::max(2, u / 4), std::max(2, u / 8), std::max(3, u / 2)};
    return {seriesColour(line, palette()), line % kShapes, dashes[line % dashes.size()], thick};
}

int LogChart::unit() const {
    return QFontMetrics(font()).height();
}

void LogChart::layOut() {
    const int u = unit();
    const QFontMetrics metrics(font());
    keys_.clear();
    int x = u / 2;
    int row = 0;
    for (std::size_t i = 0; i < drawnLines(); ++i) {
        const int wide = 3 * u + metrics.horizontalAdvance(lineOf(i).name) + u;
        if (x > u / 2 && x + wide > width() - u / 2) {
            x = u / 2;
            ++row;
        }
        keys_.emplace_back(x, row * (u + u / 4), wide, u);
        x += wide;
    }
    const int keyHeight = keys_.empty() ? 0 : keys_.back().bottom() + 1;
    const int left = u / 2 + metrics.horizontalAdvance("100 %") + u / 2;
    const int top = u / 2 + 2 * u;
    const int bottom = std::max(1, u / 7) + u / 2 + u + u / 2 + keyHeight + u / 2;
    plot_ = QRect(left, top, std::max(u, width() - left - u), std::max(u, height() - top - bottom));
}

void LogChart::resizeEvent(QResizeEvent* event) {
    layOut();
    QWidget::resizeEvent(event);
}

int LogChart::barWidth() const {
    const std::size_t bars = lines_.empty() ? 1 : lines_.front().chart.bars.size();
    return std::max(1, plot().width() / static_cast<int>(std::max<std::size_t>(bars, 1)));
}

int LogChart::xOf(double count) const {
    if (lines_.empty() || lines_.front().chart.bars.empty()) {
        return plot().left();
    }
    const tarvelin::OddsChart& chart = lines_.front().chart;
    const double from = chart.bars.front().count;
    return plot().left() +
           static_cast<int>(std::lround((count - from + 0.5) * barWidth() / chart.step));
}

int LogChart::lineAt(double chance) const {
    const QRect p = plot();
    return p.top() + static_cast<int>(std::lround((1 - std::clamp(chance, 0.0, 1.0)) * p.height()));
}

QPoint LogChart::markAt(std::size_t line, std::size_t bar) const {
    const tarvelin::ChartBar& at = lineOf(line).chart.bars.at(bar);
    return {plot().left() + static_cast<int>(bar) * barWidth() + barWidth() / 2, lineAt(at.chance)};
}

QSize LogChart::sizeHint() const {
    const int u = unit();
    return {32 * u, 20 * u};
}

QSize LogChart::minimumSizeHint() const {
    const int u = unit();
    return {16 * u, 12 * u};
}

void LogChart::changeEvent(QEvent* event) {
    // A new desktop font or palette redraws the chart in it.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        layOut();
        updateGeometry();
        update();
    }
    QWidget::changeEvent(event);
}

void LogChart::mark(QPainter& painter, const Style& style, QPoint at) const {
    const int r = std::max(2, unit() / 4);
    painter.setPen(QPen(style.colour, style.thick));
    painter.setBrush(style.colour);
    const QPoint c = at;
    switch (style.shape) {
    case 0:
        painter.drawEllipse(c, r, r);
        break;
    case 1:
        painter.drawRect(QRect(c.x() - r, c.y() - r, 2 * r, 2 * r));
        break;
    case 2:
        painter.drawPolygon(
            QPolygon({{c.x(), c.y() - r}, {c.x() + r, c.y() + r}, {c.x() - r, c.y() + r}}));
        break;
    case 3:
        painter.drawPolygon(QPolygon(
            {{c.x(), c.y() - r}, {c.x() + r, c.y()}, {c.x(), c.y() + r}, {c.x() - r, c.y()}}));
        break;
    case 4:
        painter.drawPolygon(
            QPolygon({{c.x() - r, c.y() - r}, {c.x() + r, c.y() - r}, {c.x(), c.y() + r}}));
        break;
    case 5:
        painter.drawLine(c + QPoint(-r, -r), c + QPoint(r, r));
        painter.drawLine(c + QPoint(-r, r), c + QPoint(r, -r));
        break;
    case 6:
        painter.drawLine(c + QPoint(-r, 0), c + QPoint(r, 0));
        painter.drawLine(c + QPoint(0, -r), c + QPoint(0, r));
        break;
    case 7:
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(c, r, r);
        break;
    default:
        break;  // the total has no marks
    }
}

void LogChart::paintLine(QPainter& painter, std::size_t line) const {
    const Style style = styleOf(line);
    const tarvelin::OddsChart& chart = lineOf(line).chart;
    const int bw = barWidth();
    const QRect p = plot();
    // Steps of at least, each bar's top and the drop to the next one's.
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (std::size_t i = 0; i < chart.bars.size(); ++i) {
        const tarvelin::ChartBar& bar = chart.bars[i];
        const int left = p.left() + static_cast<int>(i) * bw;
        const int y = lineAt(bar.atLeast);
        const double next =
            i + 1 < chart.bars.size() ? chart.bars[i + 1].atLeast : bar.atLeast - bar.chance;
        const Step step{
            QRect(left, y, bw, style.thick),
            QRect(left + bw - style.thick, y, style.thick, lineAt(next) - y + style.thick)};
        for (const QRect& rect : {step.across, step.down}) {
            if (style.dash == 0) {
                painter.fillRect(rect, style.colour);
            } else {
                chart::fillDashed(painter, rect, style.colour, style.dash);
            }
        }
    }
    // The chance of exactly each count: marks joined by a thin line.
    painter.setRenderHint(QPainter::Antialiasing, true);
    QPolygon joined;
    for (std::size_t i = 0; i < chart.bars.size(); ++i) {
        joined << markAt(line, i);
    }
    painter.setPen(QPen(style.colour,
                        std::max(1, style.thick / 2 + (style.shape >= kShapes ? style.thick : 0))));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(joined);
    // Marks only where they stay apart.
    const std::size_t every =
        std::max<std::size_t>(1, chart.bars.size() * static_cast<std::size_t>(unit()) /
                                     static_cast<std::size_t>(std::max(1, p.width())));
    for (std::size_t i = 0; i < chart.bars.size(); i += every) {
        mark(painter, style, joined[static_cast<int>(i)]);
    }
    // The average, under the axis.
    mark(painter, Style{style.colour, std::min(style.shape, std::size_t{2}), 0, style.thick},
         QPoint(xOf(chart.average), p.bottom() + std::max(1, unit() / 7) + unit() / 4 + 1));
}

void LogChart::paintAxis(QPainter& painter, const QColor& ink, const QColor& base) const {
    const QRect p = plot();
    const int u = unit();
    const QColor grid = chart::mix(ink, base, 0.25);
    painter.setPen(ink);
    for (const double chance : {0.0, 0.25, 0.5, 0.75, 1.0}) {
        painter.fillRect(QRect(p.left(), lineAt(chance), p.width(), 1), grid);
        const QString label = QString::number(static_cast<int>(chance * 100)) + " %";
        painter.drawText(QRect(u / 2, lineAt(chance) - u / 2, p.left() - u, u),
                         Qt::AlignRight | Qt::AlignVCenter, label);
    }
    painter.fillRect(QRect(p.left(), p.bottom() + 1, p.width(), std::max(1, u / 7)), ink);
    if (lines_.empty()) {
        return;
    }
    // Counts under their bars, as many as find room.
    const tarvelin::OddsChart& chart = lines_.front().chart;
    const QFontMetrics metrics(font());
    int clear = p.left() - u;
    const int top = p.bottom() + 1 + std::max(1, u / 7) + u / 2;
    for (std::size_t i = 0; i < chart.bars.size(); ++i) {
        const QString count = QString::number(chart.bars[i].count);
        const int wide = metrics.horizontalAdvance(count);
        const int x = p.left() + static_cast<int>(i) * barWidth() + barWidth() / 2 - wide / 2;
        if (x > clear) {
            painter.drawText(QRect(x, top, wide, u), Qt::AlignCenter, count);
            clear = x + wide + u / 2;
        }
    }
}

void LogChart::paintKey(QPainter& painter, const QColor& ink) const {
    const int u = unit();
    const QRect p = plot();
    const int top = p.bottom() + 1 + std::max(1, u / 7) + u / 2 + u + u / 2;
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        const Style style = styleOf(i);
        const QRect place = keys_[i].translated(0, top);
        const QRect sample(place.left(), place.center().y() - style.thick / 2, 2 * u, style.thick);
        painter.setRenderHint(QPainter::Antialiasing, false);
        if (style.dash == 0) {
            painter.fillRect(sample, style.colour);
        } else {
            chart::fillDashed(painter, sample, style.colour, style.dash);
        }
        painter.setRenderHint(QPainter::Antialiasing, true);
        mark(painter, style, sample.center());
        painter.setPen(ink);
        painter.drawText(place.adjusted(3 * u - u / 2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         lineOf(i).name);
    }
}

void LogChart::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QColor base = palette().color(QPalette::Base);
    const QColor ink = palette().color(QPalette::Text);
    painter.fillRect(rect(), base);
    painter.setFont(font());
    painter.setPen(ink);
    const int u = unit();
    painter.drawText(
        QRect(u / 2, u / 2, width() - u, u), Qt::AlignLeft | Qt::AlignVCenter,
        lines_.empty() ? QString("Select volleys in the table to compare them here.") : title_);
    paintAxis(painter, ink, base);
    for (std::size_t line = 0; line < drawnLines(); ++line) {
        paintLine(painter, line);
    }
    paintKey(painter, ink);
}
