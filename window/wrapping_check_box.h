// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// A check box whose caption wraps onto as many lines as its height allows.
// It is still one QCheckBox to the rest of Qt: it takes focus, Space toggles
// it, and accessibility announces it by its caption. Only painting and the
// clickable area differ, so the whole box, text included, can be clicked.
#pragma once

#include <QCheckBox>

class WrappingCheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit WrappingCheckBox(const QString& text, QWidget* parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;
    // Whether the caption, wrapped, would fit inside a box of this size in a
    // font with these metrics.
    [[nodiscard]] bool captionFits(const QFontMetrics& metrics, const QSize& size) const;
    // Where the caption goes in a box of this size: right of the indicator.
    [[nodiscard]] QRect captionArea(const QSize& size) const { return textRect(size); }

protected:
    void paintEvent(QPaintEvent* event) override;
    [[nodiscard]] bool hitButton(const QPoint& pos) const override;

private:
    // The indicator at the left, centred in the height; the caption beside it.
    [[nodiscard]] QRect indicatorRect(const QSize& size) const;
    [[nodiscard]] QRect textRect(const QSize& size) const;
};
