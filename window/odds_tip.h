// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The tooltip of a result that has odds: the chart of its odds above the very
// lines that the field's tooltip text and accessible description hold. Qt's
// own tooltip shows text only, so this one paints itself, and it comes and
// goes as a tooltip does; the window says when, for which field, with what.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <optional>

#include "window/odds_chart.h"

class OddsTip : public QWidget {
    Q_OBJECT

public:
    explicit OddsTip(QWidget* parent);

    // Fills the tip, sized for its content and shrunk if need be to fit `room`.
    void setContent(OddsChartPicture chart, QString text, const QRect& room);
    // Shows the content for `field` next to `pos`, a point on the screen where
    // a tooltip would go, and always whole on that screen.
    void showFor(QWidget* field, const QPoint& pos, OddsChartPicture chart, QString text);

    // An out-of-date result's chart is drawn faded, from the next show on.
    void setFaded(bool faded) { faded_ = faded; }

    [[nodiscard]] QWidget* field() const { return field_; }
    [[nodiscard]] const OddsChartPicture* chart() const { return chart_ ? &*chart_ : nullptr; }
    [[nodiscard]] const QString& text() const { return text_; }
    // Where the chart's top left corner is in the tip, when it is not shrunk.
    [[nodiscard]] QPoint chartOrigin() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    [[nodiscard]] QSize naturalSize() const;
    [[nodiscard]] QRect textArea() const;

    std::optional<OddsChartPicture> chart_;
    QString text_;
    QPointer<QWidget> field_;
    QTimer expiry_;
    double shrink_ = 1;
    bool faded_ = false;
};
