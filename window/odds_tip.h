// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The tooltip of a result that has odds: the chart of its odds above the very
// lines that the field's tooltip text and accessible description hold. Qt's
// own tooltip shows text only, so this one paints itself, and it comes and
// goes as a tooltip does; the window says when, for which field, with what.
// Where it goes is worked out here, or left to the compositor about the field
// where the program cannot know its window's place (Wayland).
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "window/odds_chart_picture.h"

// How the tip comes to its place on the screen.
enum class TipPlacement {
    // The program knows where its window is (X11, Windows): fit() places it.
    OnScreen,
    // The compositor places it (Wayland), flipping it about one point when
    // there is no room below: a see-through band over the field tops the
    // tip, so that the tip lies below the field and, flipped, above it.
    ByCompositor,
};
// How a tip is placed where the program runs.
TipPlacement platformPlacement();

class OddsTip : public QWidget {
    Q_OBJECT

public:
    explicit OddsTip(QWidget* parent, TipPlacement placement = platformPlacement());

    // Fills the tip, sized for its content and shrunk if need be to fit
    // `room`: the chart first, down to half its size, then the text, whose
    // last lines give way to an ellipsis, and only then the whole tip.
    void setContent(OddsChartPicture chart, QString text, const QSize& room);
    // Fills the tip for a field at `field` on the screen, hovered at
    // `pointer` or reached by keyboard, on a screen whose free part is
    // `room`, and gives where it goes: below the field, or above it when
    // there is more room there, never over the field or the pointer.
    QRect fit(OddsChartPicture chart, QString text, const QRect& field,
              std::optional<QPoint> pointer, const QRect& room);
    // For the compositor to place: fills the tip for a field at `field` in
    // its window, on a screen of `screen`, small enough to fit below or
    // above the field wherever the window is, and gives the rectangle in the
    // window that it keeps clear of: the field, two rows above and below and,
    // when hovered, down past the pointer's arrow, from the pointer's column.
    QRect fitAbout(OddsChartPicture chart, QString text, const QRect& field,
                   std::optional<QPoint> pointer, const QSize& screen);
    // Shows the content for `field` where fit() puts it on the field's
    // screen, or where the compositor puts it about the field.
    void showFor(QWidget* field, std::optional<QPoint> pointer, OddsChartPicture chart,
                 QString text);

    // An out-of-date result's chart is drawn faded, from the next show on.
    void setFaded(bool faded) { faded_ = faded; }

    [[nodiscard]] QWidget* field() const { return field_; }
    [[nodiscard]] const OddsChartPicture* chart() const { return chart_ ? &*chart_ : nullptr; }
    [[nodiscard]] const QString& text() const { return text_; }
    // The lines written under the chart: text() or its first lines.
    [[nodiscard]] const QString& shownText() const { return lines_; }
    // How much the chart and then the whole tip were shrunk to fit.
    [[nodiscard]] double chartScale() const { return chartScale_; }
    [[nodiscard]] double shrink() const { return shrink_; }
    // How long it stays yet, in milliseconds; -1 while it is not shown.
    [[nodiscard]] int staysFor() const { return expiry_.remainingTime(); }
    // Where the chart's top left corner is in the tip, when it is not shrunk.
    [[nodiscard]] QPoint chartOrigin() const;
    // The see-through rows above the tip (ByCompositor), which take no input.
    [[nodiscard]] int band() const { return band_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] QSize chartSize() const;
    [[nodiscard]] QSize naturalSize() const;
    [[nodiscard]] QRect textArea() const;
    void placeAbout(QWidget* field, std::optional<QPoint> pointer, OddsChartPicture chart,
                    QString text);

    std::optional<OddsChartPicture> chart_;
    QString text_;
    QString lines_;
    QPointer<QWidget> field_;
    QTimer expiry_;
    double chartScale_ = 1;
    double shrink_ = 1;
    bool faded_ = false;
    const TipPlacement placement_;
    int band_ = 0;
};
