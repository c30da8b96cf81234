// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// What one keystroke costs, in-process under the offscreen platform: a key
// typed into a field of Tarvelin's window until the sheet and the widget hold
// it, against the same key typed into the plain QLineEdit of the baseline
// window. Each sample types a digit and deletes it again, so the field keeps
// its length; rounds alternate between the two windows.
//
// Prints one line per case: name, median ns per keystroke for Tarvelin and
// for the baseline, and their ratio. --smoke runs a couple of rounds only;
// --only TEXT runs the cases whose name contains TEXT (for profiling one).
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/baseline_window.h"
#include "window/form1.h"

using tarvelin::Field;

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Nanoseconds per keystroke over `pairs` digit-and-backspace pairs.
double typeAndDelete(QLineEdit* edit, int pairs) {
    // Both windows are open; the one typed into is made active, as it would
    // be for a user, so that neither is measured with an inactive cursor.
    // Activation goes through the platform, as a click would, and arrives later.
    edit->activateWindow();
    if (!QTest::qWaitForWindowActive(edit->window())) {
        std::fprintf(stderr, "the window typed into did not become active\n");
    }
    edit->setFocus();
    edit->end(false);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < pairs; ++i) {
        QTest::keyClick(edit, Qt::Key_7);
        QTest::keyClick(edit, Qt::Key_Backspace);
    }
    return static_cast<double>(timer.nsecsElapsed()) / (2.0 * pairs);
}

struct Case {
    const char* name;
    Field field;
    qsizetype prefill;  // characters already in the field
    int pairs;          // digit-and-backspace pairs per sample
};

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool smoke = app.arguments().contains("--smoke");
    const int rounds = smoke ? 2 : 15;
    const qsizetype only = app.arguments().indexOf("--only");
    const QString filter =
        only >= 0 && only + 1 < app.arguments().size() ? app.arguments()[only + 1] : QString();

    Form1 tarvelinWindow(".");
    BaselineWindow baseline;
    tarvelinWindow.show();
    baseline.show();
    if (!QTest::qWaitForWindowExposed(&tarvelinWindow) ||
        !QTest::qWaitForWindowExposed(&baseline)) {
        std::fprintf(stderr, "windows did not show\n");
        return 1;
    }
    // Give the result field a result to snap back to.
    QTest::keyClicks(tarvelinWindow.field(Field::Text2), "4");
    QTest::keyClicks(tarvelinWindow.field(Field::Text4), "12");
    QTest::mouseClick(tarvelinWindow.findChild<QPushButton*>("Command2"), Qt::LeftButton);
    tarvelinWindow.field(Field::Text4)->clear();

    const Case cases[] = {
        {"input field, empty", Field::Text4, 0, 400},
        {"input field, 50 kB", Field::Text4, 50 * 1024, 10},
        {"input field, 100 kB", Field::Text4, 100 * 1024, 10},
        {"result field (snaps back)", Field::Text3, 0, 400},
    };
    int failures = 0;
    for (const Case& c : cases) {
        if (!QString(c.name).contains(filter)) {
            continue;
        }
        QLineEdit* mine = tarvelinWindow.field(c.field);
        QLineEdit* plain = baseline.widgets().texts[tarvelin::indexOf(c.field)];
        if (c.prefill > 0) {
            mine->setText(QString(c.prefill, '1'));
            plain->setText(QString(c.prefill, '1'));
        }
        std::vector<double> ours;
        std::vector<double> floor;
        const int pairs = smoke ? 2 : c.pairs;
        for (int r = 0; r < rounds; ++r) {
            ours.push_back(typeAndDelete(mine, pairs));
            floor.push_back(typeAndDelete(plain, pairs));
        }
        // The keystrokes must really have reached the sheet.
        QTest::keyClick(mine, Qt::Key_7);
        const std::string held = tarvelinWindow.sheet().text(c.field);
        if (held != mine->text().toStdString()) {
            std::fprintf(stderr, "%s: the sheet does not hold what the field shows\n", c.name);
            ++failures;
        }
        QTest::keyClick(mine, Qt::Key_Backspace);
        const double a = median(ours);
        const double b = median(floor);
        std::printf("keystroke\t%s\t%.0f\t%.0f\t%.2f\n", c.name, a, b, a / b);
        mine->clear();
        plain->clear();
    }
    return failures == 0 ? 0 : 1;
}
