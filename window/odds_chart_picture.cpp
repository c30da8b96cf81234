// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/odds_chart_picture.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QPolygon>
#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <numeric>

#include "window/chart_paint.h"
#include "window/utf8.h"

namespace {

using chart::contrast;
using chart::fillDashed;
using chart::mix;

constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter;

// The edges of rect, thick inwards, so that an outlined bar is exactly as
// high as a filled one.
void fillOutline(QPainter& painter, const QRect& rect, const QColor& colour, int thick) {
    if (rect.height() <= 0) {
        return;
    }
    const int t = std::min(thick, rect.height());
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), t), colour);
    painter.fillRect(QRect(rect.left(), rect.bottom() + 1 - t, rect.width(), t), colour);
    painter.fillRect(QRect(rect.left(), rect.top(), t, rect.height()), colour);
    painter.fillRect(QRect(rect.right() + 1 - t, rect.top(), t, rect.height()), colour);
}

}  // namespace

OddsChartPicture::OddsChartPicture(tarvelin::OddsChart chart, const QString& title,
                                   const QFont& font, std::string_view separator,
                                   std::optional<tarvelin::OddsChart> pinned,
                                   std::array<QString, 2> keyNames)
    : chart_(std::move(chart)),
      pinned_(std::move(pinned)),
      font_(font),
      keyNames_(std::move(keyNames)) {
    const QFontMetrics metrics(font_);
    unit_ = metrics.height();
    line_ = std::max(1, unit_ / 7);
    // Where the likeliest count's label finds no room by its bar, between
    // the steps over it and its neighbours, the plot grows taller and its
    // bars wider a little at a time.
    constexpr int kMostRoomier = 6;
    for (int roomier = 0;; ++roomier) {
        texts_.clear();
        labels_.clear();
        occupied_.clear();
        layOut(title, roomier);
        if (placeLabels(separator) || roomier == kMostRoomier) {
            break;
        }
    }
    const auto cover = [](const QRect& sum, const Label& label) { return sum | label.place; };
    QRect all = plot_.adjusted(0, 0, 0, line_) | averageMark(chart_.average).boundingRect() |
                key_.bar | pinnedKey_.mark.boundingRect();
    all = std::accumulate(texts_.begin(), texts_.end(), all, cover);
    all = std::accumulate(labels_.begin(), labels_.end(), all, cover);
    size_ = QSize(all.right() + 1 + unit_ / 2, all.bottom() + 1 + unit_ / 2);
}

void OddsChartPicture::layOut(const QString& title, int roomier) {
    const int plotTop = layOutHeading(title, roomier);
    layOutPlot(plotTop, roomier);
    // Under the axis the average's mark, then the counts, then the key.
    const int countsTop = plot_.top() + plot_.height() + line_ + unit_ / 2 + 1;
    const QFontMetrics metrics(font_);
    for (std::size_t i = 0; i < chart_.bars.size(); ++i) {
        const QString count = QString::number(chart_.bars[i].count);
        const QRect columns = barColumns(i);
        addText(count, columns.center().x() + 1 - metrics.horizontalAdvance(count) / 2, countsTop);
    }
    const int keyTop = countsTop + unit_ + unit_ / 2;
    // Named rows start their signs in one column, after the longer name.
    const bool named = pinned_ && !keyNames_[0].isEmpty();
    const int indent = named ? std::max(metrics.horizontalAdvance(keyNames_[0] + ':'),
                                        metrics.horizontalAdvance(keyNames_[1] + ':')) +
                                   unit_ / 2
                             : 0;
    key_ = layOutKey(keyTop, QString(), named ? keyNames_[0] : QString(), indent);
    if (pinned_) {
        pinnedKey_ =
            layOutKey(keyTop + unit_ + unit_ / 4, named ? QString() : QStringLiteral("pinned "),
                      named ? keyNames_[1] : QString(), indent);
    }
}

void OddsChartPicture::addText(const QString& words, int x, int y) {
    texts_.push_back({words, QRect(x, y, QFontMetrics(font_).horizontalAdvance(words), unit_)});
}

int OddsChartPicture::layOutHeading(const QString& title, int roomier) {
    const int margin = unit_ / 2;
    int y = margin;
    addText(title, margin, y);
    y += unit_;
    if (chart_.step > 1) {
        addText(QString("Each bar holds %1 counts, from the one under it.").arg(chart_.step),
                margin, y);
        y += unit_;
    }
    // A line's room above 100 %, for a label over a bar or a step up there;
    // in a plot grown to make room, above the step that may run along it too.
    return y + unit_ + (roomier > 0 ? line_ + 2 : 0);
}

void OddsChartPicture::layOutPlot(int top, int roomier) {
    const QFontMetrics metrics(font_);
    const std::pair<double, QString> axis[] = {{1.0, "100 %"}, {0.5, "50 %"}, {0.0, "0 %"}};
    int axisWidth = 0;
    for (const auto& [chance, words] : axis) {
        axisWidth = std::max(axisWidth, metrics.horizontalAdvance(words));
    }
    const int plotLeft = unit_ / 2 + axisWidth + unit_ / 2;
    // Bars wide enough for their counts, and wider, up to a limit, to reach
    // as far as the lines above them.
    const auto bars = static_cast<int>(chart_.bars.size());
    int widestCount = 0;
    for (const tarvelin::ChartBar& counts : chart_.bars) {
        widestCount =
            std::max(widestCount, metrics.horizontalAdvance(QString::number(counts.count)));
    }
    int widestLine = 0;
    for (const Label& label : texts_) {
        widestLine = std::max(widestLine, label.place.right() + 1);
    }
    // Two bars side by side in each column while a result is pinned; wider
    // still in a plot grown to make room for a label.
    barWidth_ = std::max({unit_ * (pinned_ ? 12 : 8) / 5, widestCount + unit_ / 2,
                          std::min(3 * unit_, (widestLine - plotLeft) / bars)}) +
                roomier * unit_ / 2;
    gap_ = std::max(1, barWidth_ / 5);
    plot_ = QRect(plotLeft, top, barWidth_ * bars, (8 + roomier) * unit_);
    for (const auto& [chance, words] : axis) {
        const int width = metrics.horizontalAdvance(words);
        addText(words, plotLeft - unit_ / 2 - width, lineAt(chance) - unit_ / 2);
    }
}

OddsChartPicture::KeySigns OddsChartPicture::layOutKey(int y, const QString& prefix,
                                                       const QString& name, int indent) {
    // One row of the key: its volley's name if it has one, then a swatch, a
    // line and a mark, each before its word.
    KeySigns key;
    if (!name.isEmpty()) {
        addText(name + ':', unit_ / 2, y);
    }
    int x = unit_ / 2 + indent;
    const int swatch = unit_ * 3 / 5;
    key.bar = QRect(x, y + (unit_ - swatch) / 2, swatch, swatch);
    x += swatch + unit_ / 4;
    addText(prefix + "exactly", x, y);
    x = texts_.back().place.right() + 1 + unit_;
    key.line = QRect(x, y + unit_ / 2 - line_ / 2, unit_, line_);
    x += unit_ + unit_ / 4;
    addText(prefix + "at least", x, y);
    x = texts_.back().place.right() + 1 + unit_;
    key.mark = QPolygon({QPoint(x + unit_ / 4, y + unit_ / 4),
                         QPoint(x + unit_ / 2, y + unit_ * 3 / 4), QPoint(x, y + unit_ * 3 / 4)});
    x += unit_ / 2 + unit_ / 4;
    addText(prefix + "average", x, y);
    return key;
}

bool OddsChartPicture::placeLabels(std::string_view separator) {
    // Labels go where they cover nothing drawn: the tallest bar's first, as
    // the one the eye goes to, then the "at least" points that still fit.
    // None reaches in beside the axis words, where it would read as one.
    occupied_.emplace_back(0, plot_.top() - unit_ / 2, plot_.left(), plot_.height() + unit_);
    for (std::size_t i = 0; i < chart_.bars.size(); ++i) {
        occupied_.push_back(barRect(i));
    }
    for (const tarvelin::OddsChart* each : {&chart_, pinned_ ? &*pinned_ : nullptr}) {
        if (each != nullptr) {
            const std::vector<QRect> path = steps(*each);
            occupied_.insert(occupied_.end(), path.begin(), path.end());
            occupied_.push_back(averageMark(each->average).boundingRect());
        }
    }
    for (std::size_t i = 0; pinned_ && i < pinned_->bars.size(); ++i) {
        occupied_.push_back(pinnedBarRect(i));
    }
    std::transform(texts_.begin(), texts_.end(), std::back_inserter(occupied_),
                   [](const Label& label) { return label.place; });
    const bool near = placeLikeliest(separator);
    for (const std::size_t i : chart_.labelled) {
        placeAtLeast(i, separator);
    }
    return near;
}

bool OddsChartPicture::placeLikeliest(std::string_view separator) {
    // Named by its count, or by its range where the bar holds several, so
    // that a label that reaches over a neighbour cannot be taken for the
    // neighbour's; on one line where there is room, else on two, narrower.
    const tarvelin::ChartBar& mode = chart_.bars[chart_.tallest];
    const QString chance = percent(mode.chance, mode.chance > 0, separator);
    const QStringList names =
        mode.last > mode.count
            ? QStringList{QString("%1-%2:").arg(mode.count).arg(mode.last)}
            : QStringList{QString("exactly %1:").arg(mode.count), QString("=%1:").arg(mode.count)};
    QStringList texts;
    for (const QChar between : {QChar(' '), QChar('\n')}) {
        for (const QString& name : names) {
            texts << name + between + chance;
        }
    }
    // Over its own bar and touching its columns, as low as it fits: no
    // higher than half again a line over the bar, where it would sit
    // among the "at least" labels.
    // Beside a pinned bar, over whichever of the two in its columns is taller.
    QRect bar = barRect(chart_.tallest);
    if (pinned_) {
        bar.setTop(std::min(bar.top(), pinnedBarRect(chart_.tallest).top()));
    }
    const QRect columns = barColumns(chart_.tallest);
    for (const QString& text : texts) {
        if (place(text, spotsOver(bar.top(), columns, extentOf(text)))) {
            return true;
        }
    }
    // Where even the tallest plot leaves no room near the bar, over it where there is.
    for (const QString& text : texts) {
        const QSize extent = extentOf(text);
        std::vector<QPoint> spots;
        for (int top = bar.top() - 1 - extent.height(); top >= plot_.top() - unit_;
             top -= unit_ / 2) {
            for (const int left : {columns.center().x() + 1 - extent.width() / 2,
                                   columns.right() + 1 - extent.width(), columns.left()}) {
                spots.emplace_back(left, top);
            }
        }
        if (place(text, spots)) {
            break;
        }
    }
    return false;
}

std::vector<QPoint> OddsChartPicture::spotsOver(int barTop, const QRect& columns,
                                                const QSize& extent) const {
    // Row by row upwards from just over the bar; in each, centred, flush
    // with either side, then further out either way while still touching.
    std::vector<QPoint> spots;
    const int stride = std::max(1, unit_ / 2);
    for (int bottom = barTop - 2; barTop - bottom <= unit_ * 3 / 2; --bottom) {
        const int top = bottom + 1 - extent.height();
        const int centred = columns.center().x() + 1 - extent.width() / 2;
        spots.emplace_back(centred, top);
        spots.emplace_back(columns.right() + 1 - extent.width(), top);
        spots.emplace_back(columns.left(), top);
        for (int shift = stride; shift < extent.width(); shift += stride) {
            for (const int left : {centred - shift, centred + shift}) {
                if (left <= columns.right() && left + extent.width() > columns.left()) {
                    spots.emplace_back(left, top);
                }
            }
        }
    }
    return spots;
}

QSize OddsChartPicture::extentOf(const QString& text) const {
    const QFontMetrics metrics(font_);
    int width = 0;
    const QStringList lines = text.split('\n');
    for (const QString& line : lines) {
        width = std::max(width, metrics.horizontalAdvance(line));
    }
    return {width, unit_ + static_cast<int>(lines.size() - 1) * metrics.lineSpacing()};
}

void OddsChartPicture::placeAtLeast(std::size_t i, std::string_view separator) {
    // Named by its count, in words where there is room, and touching its own
    // step: over it from either end, or else under it past its drop.
    const tarvelin::ChartBar& bar = chart_.bars[i];
    const QString chance = percent(bar.atLeast, bar.atLeast > 0, separator);
    const std::array<QString, 2> texts{
        QString("at least %1: ").arg(bar.count) + chance,
        QString(QChar(0x2265)) + QString("%1: ").arg(bar.count) + chance};
    const int step = lineAt(bar.atLeast);
    // Clear of the drop of the step before it.
    const int left = plot_.left() + static_cast<int>(i) * barWidth_ + line_ + 1;
    const int right = plot_.left() + static_cast<int>(i + 1) * barWidth_;
    const int above = step - line_ / 2 - 1 - unit_;
    for (const bool over : {true, false}) {
        for (const QString& text : texts) {
            const int width = QFontMetrics(font_).horizontalAdvance(text);
            if (over ? place(text, {QPoint(left, above), QPoint(right - width, above)})
                     : place(text, {QPoint(right + line_, step + line_ / 2 + 1)})) {
                return;
            }
        }
    }
}

QRect OddsChartPicture::barColumns(std::size_t bar) const {
    return {plot_.left() + static_cast<int>(bar) * barWidth_ + gap_ / 2, plot_.top(),
            barWidth_ - gap_, plot_.height()};
}

int OddsChartPicture::heightOf(double chance) const {
    return static_cast<int>(std::lround(std::clamp(chance, 0.0, 1.0) * plot_.height()));
}

int OddsChartPicture::lineAt(double chance) const {
    return plot_.top() + plot_.height() - heightOf(chance);
}

int OddsChartPicture::xOf(double count) const {
    const double fromFirst = count - chart_.bars.front().count + 0.5;
    const auto x = plot_.left() + std::lround(fromFirst * barWidth_ / chart_.step);
    return static_cast<int>(std::clamp<long>(x, plot_.left(), plot_.right()));
}

QRect OddsChartPicture::halfOf(std::size_t bar, double chance, bool right) const {
    const QRect columns = barColumns(bar);
    const int width = columns.width() / 2;
    return {right ? columns.right() + 1 - width : columns.left(), lineAt(chance), width,
            heightOf(chance)};
}

QRect OddsChartPicture::barRect(std::size_t i) const {
    const QRect columns = barColumns(i);
    const double chance = chart_.bars[i].chance;
    if (pinned_) {
        return halfOf(i, chance, false);
    }
    return {columns.left(), lineAt(chance), columns.width(), heightOf(chance)};
}

QRect OddsChartPicture::pinnedBarRect(std::size_t i) const {
    return halfOf(i, pinned_ ? pinned_->bars[i].chance : 0.0, true);
}

std::vector<QRect> OddsChartPicture::steps(const tarvelin::OddsChart& chart) const {
    std::vector<QRect> rects;
    const int half = line_ / 2;
    for (std::size_t i = 0; i < chart.bars.size(); ++i) {
        const tarvelin::ChartBar& counts = chart.bars[i];
        const int left = plot_.left() + static_cast<int>(i) * barWidth_;
        const int y = lineAt(counts.atLeast);
        rects.emplace_back(left, y - half, barWidth_, line_);
        // Down to the next bar's value, or past the last bar to what is left.
        const double next =
            i + 1 < chart.bars.size() ? chart.bars[i + 1].atLeast : counts.atLeast - counts.chance;
        rects.emplace_back(left + barWidth_ - half, y - half, line_, lineAt(next) - y + line_);
    }
    return rects;
}

QPolygon OddsChartPicture::averageMark(double average) const {
    const int x = xOf(average);
    const int top = plot_.top() + plot_.height() + line_;
    const int bottom = top + unit_ / 2 - 1;
    return QPolygon({QPoint(x, top), QPoint(x + unit_ / 4, bottom), QPoint(x - unit_ / 4, bottom)});
}

bool OddsChartPicture::place(const QString& text, const std::vector<QPoint>& candidates) {
    const QSize extent = extentOf(text);
    // Only what lies where some candidate reaches can be in the way; the
    // likeliest count's label tries hundreds of places.
    QRect reach;
    for (const QPoint& at : candidates) {
        reach |= QRect(at, extent).adjusted(-1, -1, 1, 1);
    }
    std::vector<QRect> near;
    std::copy_if(occupied_.begin(), occupied_.end(), std::back_inserter(near),
                 [&reach](const QRect& r) { return r.intersects(reach); });
    for (const QPoint& at : candidates) {
        const QRect rect(at, extent);
        const QRect room = rect.adjusted(-1, -1, 1, 1);
        const bool clear = std::none_of(near.begin(), near.end(),
                                        [&room](const QRect& r) { return r.intersects(room); });
        if (clear && rect.left() >= 0 && rect.top() >= 0) {
            labels_.push_back({text, rect});
            occupied_.push_back(rect);
            return true;
        }
    }
    return false;
}

QColor OddsChartPicture::pinnedColour(const QPalette& palette) {
    constexpr double kGraphics = 3;
    const QColor base = palette.color(QPalette::ToolTipBase);
    // Vermilion and orange from the palettes made for colour-blind readers,
    // the one darker for light backgrounds, the other for dark ones.
    for (const QColor candidate : {QColor(0xd5, 0x5e, 0x00), QColor(0xe6, 0x9f, 0x00)}) {
        if (contrast(candidate, base) >= kGraphics) {
            return candidate;
        }
    }
    return palette.color(QPalette::ToolTipText);
}

void OddsChartPicture::paintPinned(QPainter& painter, const QColor& colour) const {
    if (!pinned_) {
        return;
    }
    const tarvelin::OddsChart& kept = *pinned_;
    // Outlines and dashes need exact pixels; the hollow mark is smoothed.
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (std::size_t i = 0; i < kept.bars.size(); ++i) {
        fillOutline(painter, pinnedBarRect(i), colour, line_);
    }
    for (const QRect& rect : steps(kept)) {
        fillDashed(painter, rect, colour, std::max(2, unit_ / 4));
    }
    fillOutline(painter, pinnedKey_.bar, colour, line_);
    fillDashed(painter, pinnedKey_.line, colour, std::max(2, unit_ / 4));
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(colour, line_));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(averageMark(kept.average));
    painter.drawPolygon(pinnedKey_.mark);
    painter.setPen(Qt::NoPen);
}

QColor OddsChartPicture::barColour(const QPalette& palette) {
    constexpr double kGraphics = 3;
    const QColor base = palette.color(QPalette::ToolTipBase);
    const QColor ink = palette.color(QPalette::ToolTipText);
    const QColor accent = palette.color(QPalette::Highlight);
    // The steps are drawn in the text colour, so the bars must differ from it too.
    if (contrast(accent, base) >= kGraphics && contrast(accent, ink) >= 1.5) {
        return accent;
    }
    return mix(ink, base, 0.6);
}

void OddsChartPicture::paint(QPainter& painter, const QPalette& palette, bool faded) const {
    const QColor base = palette.color(QPalette::ToolTipBase);
    const QColor text = palette.color(QPalette::ToolTipText);
    // Faded, the shapes keep a little of their contrast; the words stay readable.
    const QColor ink = faded ? mix(text, base, 0.45) : text;
    const QColor bars = faded ? mix(text, base, 0.2) : barColour(palette);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(QPoint(), size_), base);
    const QColor grid = mix(ink, base, 0.25);
    for (const double chance : {0.25, 0.5, 0.75, 1.0}) {
        painter.fillRect(QRect(plot_.left(), lineAt(chance), plot_.width(), 1), grid);
    }
    // The steps first: where one meets a bar at its top, the bar's height stays exact.
    for (const QRect& rect : steps(chart_)) {
        painter.fillRect(rect, ink);
    }
    for (std::size_t i = 0; i < chart_.bars.size(); ++i) {
        painter.fillRect(barRect(i), bars);
    }
    painter.fillRect(QRect(plot_.left(), plot_.top() + plot_.height(), plot_.width(), line_), ink);
    painter.fillRect(key_.bar, bars);
    painter.fillRect(key_.line, ink);

    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPolygon(averageMark(chart_.average));
    painter.drawPolygon(key_.mark);
    if (pinned_) {
        paintPinned(painter,
                    faded ? mix(pinnedColour(palette), base, 0.45) : pinnedColour(palette));
    }

    painter.setFont(font_);
    painter.setPen(text);
    for (const auto* list : {&texts_, &labels_}) {
        for (const Label& label : *list) {
            painter.drawText(label.place, kTextFlags, label.text);
        }
    }
    painter.restore();
}
