// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// What the volley log costs, in-process under the offscreen platform: adding
// a row against the press of Hits that adds it; opening the log's window
// with 1,000 rows against opening it with one; the chart of eight
// 100,000-shot volleys against the tooltip's chart of one; the odds of eight
// such volleys together, at different chances, against one volley's odds;
// and the heap that 1,000 rows hold.
//
// Prints one line per case: name, median ns for the log's side and for the
// baseline, and their ratio; then the memory line: name, bytes of 1,000 rows,
// bytes of an empty log, and the rows. --smoke runs a couple of rounds only.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "calc/volley_log.h"
#include "window/form1.h"
#include "window/log_chart.h"
#include "window/odds_chart_picture.h"
#include "window/volley_log_window.h"

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

void report(const char* name, const std::vector<double>& ours, const std::vector<double>& base) {
    const double a = median(ours);
    const double b = median(base);
    std::printf("log\t%s\t%.0f\t%.0f\t%.2f\n", name, a, b, a / b);
}

std::size_t heapInUse() {
#ifdef __GLIBC__
    return mallinfo2().uordblks;
#else
    return 0;
#endif
}

void press(const Form1& form, const char* name) {
    QTest::mouseClick(form.findChild<QPushButton*>(name), Qt::LeftButton);
}

// The worked example's inputs, ready for Hits.
void inputs(const Form1& form) {
    form.field(Field::Text1)->setText("4");
    form.field(Field::Text4)->setText("12");
    form.field(Field::Text5)->setText("4");
    form.field(Field::Text7)->setText("5");
    press(form, "Command1");
}

// A row a press: each Hits from a new number of shots starts one.
void rows(const Form1& form, int count) {
    for (int i = 0; i < count; ++i) {
        form.field(Field::Text4)->setText(QString::number(1 + i));
        press(form, "Command2");
    }
}

void addingARow(int rounds) {
    Form1 form(".");
    inputs(form);
    std::vector<double> added;
    std::vector<double> pressed;
    tarvelin::VolleyLog apart;
    for (int r = 0; r < rounds; ++r) {
        form.field(Field::Text4)->setText(QString::number(100 + r));
        pressed.push_back(nanoseconds([&form] { press(form, "Command2"); }));
        const tarvelin::VolleySheet::State& state = form.sheet().state();
        added.push_back(
            nanoseconds([&] { (void)apart.worked(state, tarvelin::Command::Command2); }));
    }
    report("adding a row, against the press of Hits that adds it", added, pressed);
}

double openLog(int count) {
    Form1 form(".");
    inputs(form);
    rows(form, count);
    const double took = nanoseconds([&form] {
        form.logAction()->trigger();
        QImage image(form.logWindow()->size(), QImage::Format_ARGB32_Premultiplied);
        form.logWindow()->render(&image);
    });
    form.logWindow()->close();
    return took;
}

void opening(int rounds) {
    std::vector<double> many;
    std::vector<double> one;
    for (int r = 0; r < std::max(3, rounds / 10); ++r) {
        many.push_back(openLog(1000));
        one.push_back(openLog(1));
    }
    report("opening the log with 1,000 rows, against one row", many, one);
}

std::vector<tarvelin::Odds> eightVolleys() {
    std::vector<tarvelin::Odds> odds;
    for (int i = 0; i < 8; ++i) {
        odds.push_back({100'000, 0.05 + 0.1 * i});
    }
    return odds;
}

void charts(int rounds) {
    const std::vector<tarvelin::Odds> odds = eightVolleys();
    std::vector<tarvelin::Chances> chances;
    std::vector<tarvelin::Series> series;
    chances.reserve(odds.size());
    for (const tarvelin::Odds& one : odds) {
        chances.push_back(tarvelin::ChancesOf(one.trials, one.chance));
        series.push_back({one.trials * one.chance, &chances.back()});
    }
    LogChart chart(nullptr);
    chart.resize(chart.sizeHint());
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> eight;
    std::vector<double> tip;
    for (int r = 0; r < rounds; ++r) {
        eight.push_back(nanoseconds([&] {
            const tarvelin::SeriesCharts made = tarvelin::ChartsOfSeries(series, 60);
            std::vector<LogChart::Line> lines;
            for (std::size_t i = 0; i < made.charts.size(); ++i) {
                lines.push_back({QString("Volley %1").arg(i + 1), made.charts[i]});
            }
            chart.setLines("Casualties", std::move(lines), std::nullopt);
            chart.render(&image);
        }));
        tip.push_back(nanoseconds([&] {
            const OddsChartPicture picture(tarvelin::ChartOfOdds(odds[0], chances[0]), "Casualties",
                                           QToolTip::font(), ".");
            QImage one(picture.size(), QImage::Format_ARGB32_Premultiplied);
            QPainter painter(&one);
            picture.paint(painter, QToolTip::palette());
        }));
    }
    report("chart of eight 100,000-shot volleys, against the tooltip's chart of one", eight, tip);
}

void together(int rounds) {
    const std::vector<tarvelin::Odds> odds = eightVolleys();
    std::vector<double> all;
    std::vector<double> one;
    for (int r = 0; r < std::max(2, rounds / 4); ++r) {
        all.push_back(nanoseconds([&] { (void)tarvelin::TotalOf(odds); }));
        one.push_back(
            nanoseconds([&] { (void)tarvelin::ChancesOf(odds[3].trials, odds[3].chance); }));
    }
    report("odds of eight 100,000-shot volleys together, against one volley's odds", all, one);
}

void memory() {
    Form1 form(".");
    inputs(form);
    // The states first, so that only what the rows add is counted: copies of
    // a state share what its results were worked out from.
    std::vector<tarvelin::VolleySheet::State> states;
    for (int i = 0; i < 1000; ++i) {
        form.field(Field::Text4)->setText(QString::number(100'000 - i));
        press(form, "Command2");
        states.push_back(form.sheet().state());
    }
    const std::size_t empty = heapInUse();
    tarvelin::VolleyLog log;
    for (const tarvelin::VolleySheet::State& state : states) {
        (void)log.worked(state, tarvelin::Command::Command2);
    }
    const std::size_t full = heapInUse();
    std::printf("memory\tvolley log of 1,000 rows\t%zu\t%zu\t%zu\n", full - empty, std::size_t{0},
                log.rows().size());
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int rounds = app.arguments().contains("--smoke") ? 2 : 41;
    addingARow(rounds);
    opening(rounds);
    charts(rounds);
    together(rounds);
    memory();
    return 0;
}
