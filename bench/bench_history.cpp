// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// What the form's history costs, in-process under the offscreen platform: one
// undo against one press of Hits, and Work Out All against pressing its four
// steps by hand, each on the worked example in Tarvelin's own window; and the
// heap that a full history of a 100,000-shot volley holds.
//
// Prints one line per case: name, median ns for the history's side and for
// the by-hand side, and their ratio; then the memory line: name, bytes with
// the full history, bytes with an empty one, and the steps it holds.
// --smoke runs a couple of rounds only.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "window/form1.h"
#include "window/history.h"

using tarvelin::Field;

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double nanoseconds(const std::function<void()>& what) {
    QElapsedTimer timer;
    timer.start();
    what();
    return static_cast<double>(timer.nsecsElapsed());
}

void press(const Form1& form, const char* name) {
    QTest::mouseClick(form.findChild<QPushButton*>(name), Qt::LeftButton);
}

void type(const Form1& form, Field field, const char* text) {
    form.field(field)->setText(text);
}

void workedExample(const Form1& form, const char* shots) {
    type(form, Field::Text1, "4");
    type(form, Field::Text4, shots);
    type(form, Field::Text5, "4");
    type(form, Field::Text7, "5");
    press(form, "Command1");
    QTest::mouseClick(form.box(tarvelin::Box::Check1), Qt::LeftButton);
    for (const char* step : {"Command2", "Command3", "Command4", "Command5"}) {
        press(form, step);
    }
}

void report(const char* name, const std::vector<double>& ours, const std::vector<double>& hand) {
    const double a = median(ours);
    const double b = median(hand);
    std::printf("history\t%s\t%.0f\t%.0f\t%.2f\n", name, a, b, a / b);
}

std::size_t heapInUse() {
#ifdef __GLIBC__
    return mallinfo2().uordblks;
#else
    return 0;
#endif
}

// A history of every step it keeps: ticks of Soft Cover, each moving the
// roll and marking the four results.
void fullHistory() {
    Form1 form(".");
    workedExample(form, "100000");
    form.history().stack().clear();
    const std::size_t empty = heapInUse();
    for (int i = 0; i < FormHistory::kMostSteps; ++i) {
        QTest::mouseClick(form.box(tarvelin::Box::Check3), Qt::LeftButton);
    }
    const std::size_t full = heapInUse();
    std::printf("memory\tfull history of a 100,000-shot volley\t%zu\t%zu\t%d\n", full - empty,
                std::size_t{0}, form.history().stack().count());
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = app.arguments().contains("--smoke") ? 2 : 41;

    Form1 form(".");
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::fprintf(stderr, "the window did not show\n");
        return 1;
    }
    workedExample(form, "12");
    std::vector<double> undo;
    std::vector<double> hits;
    for (int r = 0; r < rounds; ++r) {
        undo.push_back(nanoseconds([&form] { form.undoAction()->trigger(); }));
        form.redoAction()->trigger();
        hits.push_back(nanoseconds([&form] { press(form, "Command2"); }));
    }
    report("one undo, against one press of Hits", undo, hits);

    std::vector<double> all;
    std::vector<double> byHand;
    QTest::mouseClick(form.box(tarvelin::Box::Check3), Qt::LeftButton);
    for (int r = 0; r < rounds; ++r) {
        all.push_back(nanoseconds([&form] { form.workOutAllAction()->trigger(); }));
        form.undoAction()->trigger();
        byHand.push_back(nanoseconds([&form] {
            for (const char* step : {"Command2", "Command3", "Command4", "Command5"}) {
                press(form, step);
            }
        }));
        for (int i = 0; i < 4; ++i) {
            form.undoAction()->trigger();
        }
    }
    if (form.field(Field::Text9)->text() != "2.") {
        std::fprintf(stderr, "undo did not bring back the worked example's casualties\n");
        return 1;
    }
    report("Work Out All, against pressing its four steps", all, byHand);
    fullHistory();
    return 0;
}
