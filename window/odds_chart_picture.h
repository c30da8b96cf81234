// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Lays out and paints one result's odds as a bar chart with its title, axis,
// steps of "at least", average mark, labels and key, sized from the font it
// is given and in a palette's tooltip colours; beside them, when a result is
// pinned for comparison, the pinned one's bars as outlines, its steps dashed
// and its average hollow, with a second row of key. The numbers come from
// calc/odds_chart.h; where and when the chart shows is OddsTip's business.
#pragma once

#include <QColor>
#include <QFont>
#include <QPolygon>
#include <QRect>
#include <QString>
#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "calc/odds_chart.h"

class QPainter;
class QPalette;

class OddsChartPicture {
public:
    // title: one line on what the chart shows; separator: the user's decimal
    // separator, in UTF-8, for the percentages; pinned: the chart of the
    // result to compare with, over the same bars (CompareCharts).
    // keyNames: what each row of the key stands for, this volley's and the
    // pinned one's, when they are named by what differs between them.
    OddsChartPicture(tarvelin::OddsChart chart, const QString& title, const QFont& font,
                     std::string_view separator,
                     std::optional<tarvelin::OddsChart> pinned = std::nullopt,
                     std::array<QString, 2> keyNames = {});

    [[nodiscard]] const tarvelin::OddsChart& chart() const { return chart_; }
    [[nodiscard]] const std::optional<tarvelin::OddsChart>& pinned() const { return pinned_; }
    [[nodiscard]] QSize size() const { return size_; }
    // The plot: 100 % on its top row, 0 % just below its bottom row.
    [[nodiscard]] QRect plot() const { return plot_; }
    // The columns that bar i fills, over the plot's whole height.
    [[nodiscard]] QRect barColumns(std::size_t bar) const;

    // Paints the whole picture, background included, with its top left
    // corner at the painter's origin; faded, its bars and steps are greyed.
    void paint(QPainter& painter, const QPalette& palette, bool faded = false) const;

    // The bars' colour: the palette's highlight where it stands out from the
    // tooltip's background by the 3:1 that graphics need, else a mix of the
    // tooltip's text into its background that does.
    [[nodiscard]] static QColor barColour(const QPalette& palette);
    // The pinned result's colour: an orange that stands out from the
    // tooltip's background by 3:1 and that readers who cannot tell red from
    // green still tell from blue, else the tooltip's text colour; the shapes
    // differ too, so that no reader depends on the colour alone.
    [[nodiscard]] static QColor pinnedColour(const QPalette& palette);

    struct Label {
        QString text;
        QRect place;
    };
    // The tallest bar's chance, on one line or two, and the "at least"
    // points that found room.
    [[nodiscard]] const std::vector<Label>& labels() const { return labels_; }
    // The words that never move: title, step note, axis, counts and key.
    [[nodiscard]] const std::vector<Label>& placedTexts() const { return texts_; }
    // One row of the key's signs, each before its word: a swatch, a step and
    // the average's mark.
    struct KeySigns {
        QRect bar;
        QRect line;
        QPolygon mark;
    };
    // The key's row for this volley; pinned, the row under it, empty unless
    // a result is pinned.
    [[nodiscard]] const KeySigns& keyRow(bool pinned = false) const {
        return pinned ? pinnedKey_ : key_;
    }
    // The rectangle bar i is drawn as: its columns' left half when pinned.
    [[nodiscard]] QRect barRect(std::size_t i) const;
    // The outline of the pinned result's bar i: the right half of the columns.
    [[nodiscard]] QRect pinnedBarRect(std::size_t i) const;
    // The row of the plot that a chance is drawn at.
    [[nodiscard]] int lineAt(double chance) const;
    // The mark under the axis that points up at an average count.
    [[nodiscard]] QPolygon averageMark(double average) const;

private:
    // Title, step note, axis, bars and counts, the key; then the labels.
    // roomier: how many times the plot has grown to make room for a label.
    void layOut(const QString& title, int roomier);
    void addText(const QString& words, int x, int y);
    // The title and step note; gives the plot's top.
    int layOutHeading(const QString& title, int roomier);
    void layOutPlot(int top, int roomier);
    // The key's signs for one volley, laid out in a row at y.
    KeySigns layOutKey(int y, const QString& prefix, const QString& name, int indent);
    void paintPinned(QPainter& painter, const QColor& colour) const;
    // Each gives whether the likeliest count's label sits by its bar.
    bool placeLabels(std::string_view separator);
    bool placeLikeliest(std::string_view separator);
    void placeAtLeast(std::size_t i, std::string_view separator);
    // The places for a label of `extent` that touch the columns, over a bar
    // whose top is barTop, at most half again a line above it, lowest first.
    [[nodiscard]] std::vector<QPoint> spotsOver(int barTop, const QRect& columns,
                                                const QSize& extent) const;
    // The room a label's lines take.
    [[nodiscard]] QSize extentOf(const QString& text) const;
    [[nodiscard]] int heightOf(double chance) const;
    [[nodiscard]] int xOf(double count) const;
    // The rectangles the "at least" steps of a chart are drawn as.
    [[nodiscard]] std::vector<QRect> steps(const tarvelin::OddsChart& chart) const;
    [[nodiscard]] QRect halfOf(std::size_t bar, double chance, bool right) const;
    // Places a label at the first of `candidates` that clears everything
    // drawn or labelled so far; false when none does.
    bool place(const QString& text, const std::vector<QPoint>& candidates);

    tarvelin::OddsChart chart_;
    std::optional<tarvelin::OddsChart> pinned_;
    QFont font_;
    std::array<QString, 2> keyNames_;
    int unit_ = 0;  // the font's line height, which every length derives from
    int barWidth_ = 0;
    int gap_ = 0;   // between neighbouring bars
    int line_ = 0;  // the thickness of the steps and the axis
    QSize size_;
    QRect plot_;
    std::vector<Label> texts_;     // title, step note, axis, counts, key: never moved
    std::vector<Label> labels_;    // the tallest bar and a few "at least" points
    std::vector<QRect> occupied_;  // what a label must not cover
    KeySigns key_;                 // the key's swatches
    KeySigns pinnedKey_;           // empty without a pinned result
};
