// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The baseline program: starts as tarvelin does, minus the sheet and bindings.
#include <QApplication>

#include "bench/baseline_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarvelin-baseline"));
    BaselineWindow window;
    window.show();
    return QApplication::exec();
}
