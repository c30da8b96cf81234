// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The plainest floor for start-up: a Qt window with as many labels, line
// edits, push buttons and check boxes as Tarvelin's, at simple places, and
// no icon, no fitted layout, no font work, no sheet. What Tarvelin costs
// beyond this is its own.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tarvelin-plain"));
    QWidget window;
    window.setWindowTitle(QStringLiteral("Plain"));
    window.setFixedSize(307, 458);
    constexpr int kRow = 24;
    for (int i = 0; i < 8; ++i) {
        new QLabel(QStringLiteral("Label"), &window);
    }
    int y = 0;
    for (QWidget* child : window.findChildren<QWidget*>()) {
        child->setGeometry(8, y, 90, kRow - 4);
        y += kRow;
    }
    for (int i = 0; i < 9; ++i) {
        (new QLineEdit(&window))->setGeometry(100, i * kRow, 90, kRow - 4);
    }
    for (int i = 0; i < 6; ++i) {
        (new QPushButton(QStringLiteral("Button"), &window))
            ->setGeometry(200, i * (kRow + 8), 100, kRow + 4);
    }
    for (int i = 0; i < 6; ++i) {
        (new QCheckBox(QStringLiteral("Check box"), &window))
            ->setGeometry(8, 220 + i * kRow, 180, kRow - 4);
    }
    window.show();
    return QApplication::exec();
}
