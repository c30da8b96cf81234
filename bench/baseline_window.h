// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The floor that Tarvelin is measured against: the same window with the same
// widgets at the same places and the same font, but no sheet and no binding.
#pragma once

#include <QWidget>

#include "window/form_layout.h"

class BaselineWindow : public QWidget {
public:
    explicit BaselineWindow(QWidget* parent = nullptr)
        : QWidget(parent), widgets_(buildFormWidgets(*this)) {}

    [[nodiscard]] const FormWidgets& widgets() const { return widgets_; }

protected:
    void paintEvent(QPaintEvent* /*event*/) override { paintFrame(*this, widgets_); }

private:
    FormWidgets widgets_;
};
