// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Draws one result of several volleys over the same counts, to compare them:
// for each its chance of exactly each count as a line of marks, its chance of
// at least each count as steps, and its average marked under the axis, in
// colours told apart by colour-blind players and with a mark and a dash of
// its own; a key names them. It grows with its room and the font and takes
// the palette's colours. The numbers come from calc/volley_log.h.
#pragma once

#include <QColor>
#include <QPolygon>
#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

#include "calc/odds_chart.h"

class QPainter;

class LogChart : public QWidget {
    Q_OBJECT

public:
    // At most this many volleys are drawn; the rest only listed.
    static constexpr std::size_t kMostSeries = 8;

    struct Line {
        QString name;
        tarvelin::OddsChart chart;
    };

    explicit LogChart(QWidget* parent);

    // lines: the volleys' charts over the same bars; total, when set, the
    // chart of all of them together, drawn after them in the text colour.
    void setLines(const QString& title, std::vector<Line> lines, std::optional<Line> total);
    [[nodiscard]] const std::vector<Line>& lines() const { return lines_; }
    [[nodiscard]] const std::optional<Line>& total() const { return total_; }

    // The colour of volley i: one of the colour-blind-safe set in order,
    // darkened or lightened into the palette's text colour until it stands
    // out from the background by the 3:1 that graphics need.
    [[nodiscard]] static QColor seriesColour(std::size_t i, const QPalette& palette);

    // The plot: 100 % on its top row, 0 % just below its bottom row.
    [[nodiscard]] QRect plot() const { return plot_; }
    // Where bar `bar` of line `line` has its mark of exactly; the total is
    // the line after the volleys.
    [[nodiscard]] QPoint markAt(std::size_t line, std::size_t bar) const;
    [[nodiscard]] int lineAt(double chance) const;

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Style {
        QColor colour;
        std::size_t shape;  // which mark; none past the marks there are
        int dash;           // 0 for solid steps
        int thick;
    };
    [[nodiscard]] Style styleOf(std::size_t line) const;
    [[nodiscard]] const Line& lineOf(std::size_t line) const;
    [[nodiscard]] std::size_t drawnLines() const;
    [[nodiscard]] int unit() const;
    [[nodiscard]] int xOf(double count) const;
    [[nodiscard]] int barWidth() const;
    // Places the key's entries in rows under the plot, and the plot above
    // them, for the size, font and lines now.
    void layOut();
    void paintLine(QPainter& painter, std::size_t line) const;
    void paintAxis(QPainter& painter, const QColor& ink, const QColor& base) const;
    void paintKey(QPainter& painter, const QColor& ink) const;
    void mark(QPainter& painter, const Style& style, QPoint at) const;

    QString title_;
    std::vector<Line> lines_;
    std::optional<Line> total_;
    QRect plot_;
    std::vector<QRect> keys_;  // each entry of the key, from the top of its rows
};
