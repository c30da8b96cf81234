// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// What the odds charts' tests look for in a picture or an image: contrast,
// words written in the tooltip's colours, the even layout and the pinned
// volley's outlines. Opening the tooltip is the driver's; the figures, each test's.
#pragma once

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "window/odds_chart_picture.h"

namespace chart_checks {

inline double contrastRatio(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto linear = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Whether `text`, in this font and these tooltip colours, is written somewhere
// in the image: its ink is ink there and its bare background is bare there, so
// "2.5" is not found where "2,5" is written.
inline std::optional<QPoint> foundAt(const QImage& image, const QString& text, const QFont& font,
                                     const QPalette& palette) {
    const QColor base = palette.color(QPalette::ToolTipBase);
    const QColor ink = palette.color(QPalette::ToolTipText);
    QImage words(QFontMetrics(font).horizontalAdvance(text), QFontMetrics(font).height(),
                 QImage::Format_RGB32);
    words.fill(base);
    QPainter painter(&words);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(words.rect(), Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.end();
    const auto inky = [&ink](QRgb pixel) { return contrastRatio(QColor(pixel), ink) < 1.5; };
    const auto bare = [&base](QRgb pixel) { return contrastRatio(QColor(pixel), base) < 1.1; };
    // Each pixel judged once: 1 ink, 2 bare background, 0 neither.
    const auto judge = [&](const QImage& from) {
        std::vector<std::vector<char>> kinds(std::size_t(from.height()));
        for (int y = 0; y < from.height(); ++y) {
            for (int x = 0; x < from.width(); ++x) {
                const QRgb pixel = from.pixel(x, y);
                kinds[std::size_t(y)].push_back(inky(pixel) ? 1 : bare(pixel) ? 2 : 0);
            }
        }
        return kinds;
    };
    const auto want = judge(words);
    const auto found = judge(image);
    for (std::size_t top = 0; top + want.size() <= found.size(); ++top) {
        for (std::size_t left = 0; left + want[0].size() <= found[0].size(); ++left) {
            bool same = true;
            for (std::size_t y = 0; same && y < want.size(); ++y) {
                for (std::size_t x = 0; same && x < want[0].size(); ++x) {
                    const char is = found[top + y][left + x];
                    same = want[y][x] == 1 ? is == 1 : want[y][x] == 0 || is == 2;
                }
            }
            if (same) {
                return QPoint(int(left), int(top));
            }
        }
    }
    return std::nullopt;
}

inline bool writtenIn(const QImage& image, const QString& text, const QFont& font,
                      const QPalette& palette) {
    return foundAt(image, text, font, palette).has_value();
}

// A dark desktop palette, tooltips included.
inline QPalette darkPalette() {
    QPalette dark(QColor(0x3a, 0x3a, 0x3a), QColor(0x2b, 0x2b, 0x2b));
    dark.setColor(QPalette::ToolTipBase, QColor(0x1e, 0x1e, 0x1e));
    dark.setColor(QPalette::ToolTipText, QColor(0xe8, 0xe8, 0xe8));
    dark.setColor(QPalette::Highlight, QColor(0x3d, 0x8e, 0xc9));
    return dark;
}

// Along a row or column of pixels, the lengths of the runs in `colour` and
// of the runs in anything else, in turn, the first in `colour`.
inline std::vector<int> runsOf(const QImage& image, const QColor& colour, QPoint at, QPoint step,
                               int length) {
    std::vector<int> runs{0};
    for (int i = 0; i < length; ++i, at += step) {
        if ((image.pixelColor(at) == colour) != (runs.size() % 2 == 1)) {
            runs.push_back(0);
        }
        ++runs.back();
    }
    return runs;
}

// The pinned result as painted: each bar an outline round the background,
// its steps' drops and the key's step in dashes as long as their gaps, its
// average's mark hollow.
inline void checkPinned(const QImage& image, const OddsChartPicture& picture,
                        const QPalette& palette) {
    const QColor colour = OddsChartPicture::pinnedColour(palette);
    const tarvelin::OddsChart& kept = *picture.pinned();
    const QPolygon mark = picture.keyRow(true).mark;
    QVERIFY(image.pixelColor((mark[0] + mark[1] + mark[2]) / 3) !=
            palette.color(QPalette::ToolTipText));
    // Both of its marks drawn, in its colour.
    for (const QRect& sign :
         {mark.boundingRect(), picture.averageMark(kept.average).boundingRect()}) {
        bool drawn = false;
        for (int y = sign.top(); y <= sign.bottom(); ++y) {
            for (int x = sign.left(); x <= sign.right(); ++x) {
                drawn = drawn || image.pixelColor(x, y) == colour;
            }
        }
        QVERIFY(drawn);
    }
    for (std::size_t i = 0; i < kept.bars.size(); ++i) {
        const QRect bar = picture.pinnedBarRect(i);
        const QPoint mid = bar.center();
        if (bar.height() < 1) {
            continue;
        }
        for (const QPoint& edge : {QPoint(bar.left(), mid.y()), QPoint(bar.right(), mid.y()),
                                   QPoint(mid.x(), bar.top()), QPoint(mid.x(), bar.bottom())}) {
            QCOMPARE(image.pixelColor(edge), colour);
        }
        QVERIFY(image.pixelColor(mid.x(), bar.bottom() + 1) != colour);
        QVERIFY(bar.height() < 8 || image.pixelColor(mid) != colour);
    }
    const QRect line = picture.keyRow(true).line;
    const int thick = line.height();
    const int slot = picture.plot().width() / int(kept.bars.size());
    const std::size_t t = kept.tallest;
    const int top = picture.lineAt(kept.bars[t].atLeast) - thick / 2;
    const int drop = t + 1 < kept.bars.size() ? picture.lineAt(kept.bars[t + 1].atLeast) - top : 0;
    const QPoint dropAt(picture.plot().left() + int(t + 1) * slot - thick / 2, top);
    const std::vector<int> key = runsOf(image, colour, QPoint(line.left(), line.center().y()),
                                        QPoint(1, 0), line.width() + 1);
    const std::vector<int> down = runsOf(image, colour, dropAt, QPoint(0, 1), drop);
    QVERIFY(key.size() >= 4 && key.size() % 2 == 0 && (drop < 4 * key[0] || down.size() >= 4));
    for (const auto* runs : {&key, &down}) {
        for (std::size_t i = 0; i + 2 < runs->size(); ++i) {
            QCOMPARE((*runs)[i], key[0]);
        }
    }
}

// Where the chart wrote these words, or an empty place.
inline QRect placeOf(const OddsChartPicture& picture, const QString& words) {
    const auto& texts = picture.placedTexts();
    const auto found =
        std::find_if(texts.begin(), texts.end(), [&](const auto& t) { return t.text == words; });
    return found == texts.end() ? QRect() : found->place;
}

// Each key sign level with its word and nearer it than the sign before, the
// key set off from the counts over it twice as far as its rows are apart.
inline void checkKey(const OddsChartPicture& picture, int unit) {
    const int margin = unit / 2;
    const auto& bars = picture.chart().bars;
    const auto place = [&picture](const QString& words) { return placeOf(picture, words); };
    const auto gap = [&](const QString& upper, const QString& lower) {
        return place(lower).top() - place(upper).bottom() - 1;
    };
    const int betweenRows = picture.pinned() ? gap("exactly", "pinned exactly") : 1;
    QVERIFY(betweenRows > 0 && gap(QString::number(bars[0].count), "exactly") >= 2 * betweenRows);
    for (const bool pinned : {false, true}) {
        const auto& key = picture.keyRow(pinned);
        const QString prefix = pinned ? "pinned " : "";
        if (pinned && !picture.pinned()) {
            continue;
        }
        const QRect signs[] = {key.bar, key.line, key.mark.boundingRect()};
        const QRect words[] = {place(prefix + "exactly"), place(prefix + "at least"),
                               place(prefix + "average")};
        const int near = words[0].left() - signs[0].right();
        QCOMPARE(signs[0].left(), margin);
        for (std::size_t i = 0; i < 3; ++i) {
            QVERIFY(std::abs(signs[i].center().y() - words[i].center().y()) <= 1);
            QVERIFY(std::abs(words[i].left() - signs[i].right() - near) <= 1);
        }
        // The average's mark points up from the middle of a level base.
        QVERIFY(std::abs(2 * key.mark[0].x() - key.mark[1].x() - key.mark[2].x()) <= 1);
        QVERIFY(key.mark[0].y() < key.mark[1].y() && key.mark[1].y() == key.mark[2].y());
        QCOMPARE(signs[2].left() - words[1].right(), signs[1].left() - words[0].right());
        QVERIFY(signs[1].left() - words[0].right() > 2 * near);
    }
}

// The chart's parts in an even layout: half a line round it all, the axis
// words flush with it and as far from the plot; each bar centred in its
// slot and each count under its bar, half a line clear of the next; the key
// as checkKey has it.
inline void checkLayout(const OddsChartPicture& picture, int unit) {
    const int margin = unit / 2;
    const QRect plot = picture.plot();
    QRect all = plot | picture.keyRow().bar;
    for (const auto* list : {&picture.placedTexts(), &picture.labels()}) {
        for (const auto& each : *list) {
            all |= each.place;
        }
    }
    QCOMPARE(QRect(QPoint(), picture.size()).adjusted(margin, margin, -margin, -margin), all);
    // Under the title, how many counts a bar holds, when more than one.
    const int step = picture.chart().step;
    QCOMPARE(picture.placedTexts()[1].text ==
                 QString("Each bar holds %1 counts, from the one under it.").arg(step),
             step > 1);
    const auto place = [&picture](const QString& words) { return placeOf(picture, words); };
    QCOMPARE(place("100 %").left(), margin);
    for (const auto& [words, chance] : {std::pair{"100 %", 1.0}, {"50 %", 0.5}, {"0 %", 0.0}}) {
        QCOMPARE(plot.left() - place(words).right() - 1, margin);
        QVERIFY(std::abs(place(words).center().y() - picture.lineAt(chance)) <= 1);
    }
    // The bars as wide as needed to reach the end of the heading, up to three lines.
    const auto& bars = picture.chart().bars;
    const int slot = plot.width() / int(bars.size());
    const auto& texts = picture.placedTexts();
    const int heading = std::max(texts[0].place.right(), texts[step > 1 ? 1 : 0].place.right());
    QVERIFY(slot >= 3 * unit || plot.right() + int(bars.size()) > heading);
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const QRect columns = picture.barColumns(i);
        const int before = columns.left() - plot.left() - int(i) * slot;
        QVERIFY(before >= 0 && std::abs(slot - columns.width() - 2 * before) <= 1);
        // Pinned, the two volleys' bars share the columns half and half.
        const QRect now = picture.barRect(i);
        const QRect kept = picture.pinnedBarRect(i);
        QVERIFY(!picture.pinned() ||
                (now.left() == columns.left() && kept.right() == columns.right() &&
                 now.width() == kept.width() && columns.width() - 2 * now.width() <= 1));
        const QRect count = place(QString::number(bars[i].count));
        QVERIFY(std::abs(count.left() + count.right() - columns.left() - columns.right()) <= 2);
        QVERIFY(i == 0 ||
                count.left() - place(QString::number(bars[i - 1].count)).right() > margin);
    }
    // The average's mark under the axis where the average falls on the
    // counts' scale, and the counts right under it.
    const tarvelin::OddsChart& chart = picture.chart();
    const QPolygon mark = picture.averageMark(chart.average);
    const double at = plot.left() + (chart.average - bars[0].count + 0.5) * slot / chart.step;
    QVERIFY(std::abs(mark[0].x() - std::clamp(at, 1.0 * plot.left(), 1.0 * plot.right())) <= 1);
    const int under = place(QString::number(bars[0].count)).top() - mark.boundingRect().bottom();
    QVERIFY(mark.boundingRect().top() > plot.bottom() + 1 && under > 0 && under <= 2);
    // Of the size the key shows it at.
    const QSize shown = picture.keyRow().mark.boundingRect().size() - mark.boundingRect().size();
    QVERIFY(std::abs(shown.width()) <= 1 && std::abs(shown.height()) <= 1);
    checkKey(picture, unit);
}

}  // namespace chart_checks
