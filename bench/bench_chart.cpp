// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// What showing a result's odds as a chart costs, in-process under the
// offscreen platform: the chart built from the model the window keeps for a
// stored result (title, layout, labels) and painted with the text under it
// into an image, against painting the same text alone as Qt's own tooltip
// label paints it. For the four results of the worked example together, and
// for Hits from 100,000 shots. The model itself is worked out when a result
// is stored, which bench_core measures.
//
// Prints one line per case: name, median ns for the chart and for the text
// alone, and their ratio. --smoke runs a couple of rounds only.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QToolTip>
#include <algorithm>
#include <cstdio>
#include <variant>
#include <vector>

#include "calc/odds_chart.h"
#include "window/explanations.h"
#include "window/form1.h"
#include "window/odds_tip.h"

using tarvelin::Field;

namespace {

// What the window keeps of one result once it is stored.
struct Stored {
    Field field;
    tarvelin::Odds odds;
    tarvelin::OddsChart chart;
    QString text;
};

// The odds of every result, or of Hits alone.
std::vector<Stored> storedOdds(const Form1& window, bool all) {
    std::vector<Stored> stored;
    for (const tarvelin::ResultRow& result : tarvelin::kResults) {
        const Field f = result.field;
        if (!all && f != Field::Text3) {
            break;
        }
        const auto odds = std::get<tarvelin::Odds>(window.sheet().odds(f));
        stored.push_back(
            {f, odds, tarvelin::ChartOfOdds(odds, tarvelin::ChancesOf(odds.trials, odds.chance)),
             window.field(f)->toolTip()});
    }
    return stored;
}

void press(Form1& window, const char* button) {
    QTest::mouseClick(window.findChild<QPushButton*>(button), Qt::LeftButton);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Nanoseconds per showing of every result's chart tooltip.
double chartTips(const std::vector<Stored>& stored, OddsTip& tip, int times) {
    const QSize room = QGuiApplication::primaryScreen()->availableGeometry().size();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < times; ++i) {
        for (const Stored& s : stored) {
            tip.setContent(
                OddsChartPicture(s.chart, oddsTitle(s.field, s.odds.trials, s.chart.average, "."),
                                 QToolTip::font(), "."),
                s.text, room);
            QImage image(tip.size(), QImage::Format_ARGB32_Premultiplied);
            tip.render(&image);
        }
    }
    return static_cast<double>(timer.nsecsElapsed()) / times;
}

// The same, with the text alone in a label as Qt's tooltips show it.
double textTips(const std::vector<Stored>& stored, QLabel& label, int times) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < times; ++i) {
        for (const Stored& s : stored) {
            label.setText(s.text);
            label.adjustSize();
            QImage image(label.size(), QImage::Format_ARGB32_Premultiplied);
            label.render(&image);
        }
    }
    return static_cast<double>(timer.nsecsElapsed()) / times;
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const bool smoke = app.arguments().contains("--smoke");
    const int rounds = smoke ? 2 : 15;

    Form1 worked(".");
    worked.show();
    Form1 large(".");
    large.show();
    if (!QTest::qWaitForWindowExposed(&worked) || !QTest::qWaitForWindowExposed(&large)) {
        std::fprintf(stderr, "windows did not show\n");
        return 1;
    }
    for (const auto& [field, text] : {std::pair{Field::Text1, "4"}, std::pair{Field::Text4, "12"},
                                      std::pair{Field::Text5, "4"}, std::pair{Field::Text7, "5"}}) {
        QTest::keyClicks(worked.field(field), text);
    }
    press(worked, "Command1");
    QTest::mouseClick(worked.box(tarvelin::Box::Check1), Qt::LeftButton);
    for (const char* step : {"Command2", "Command3", "Command4", "Command5"}) {
        press(worked, step);
    }
    QTest::keyClicks(large.field(Field::Text2), "4");
    QTest::keyClicks(large.field(Field::Text4), "100000");
    press(large, "Command2");

    OddsTip tip(nullptr);
    QLabel label;
    label.setWindowFlags(Qt::ToolTip);
    label.setPalette(QToolTip::palette());
    label.setFont(QToolTip::font());
    label.setForegroundRole(QPalette::ToolTipText);
    label.setBackgroundRole(QPalette::ToolTipBase);
    label.setMargin(1 + label.style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth));

    const struct {
        const char* name;
        std::vector<Stored> stored;
        int times;
    } cases[] = {
        {"worked example, four results", storedOdds(worked, true), 50},
        {"Hits from 100,000 shots", storedOdds(large, false), 50},
    };
    for (const auto& c : cases) {
        std::vector<double> charts;
        std::vector<double> texts;
        const int times = smoke ? 2 : c.times;
        for (int r = 0; r < rounds; ++r) {
            charts.push_back(chartTips(c.stored, tip, times));
            texts.push_back(textTips(c.stored, label, times));
        }
        const double a = median(charts);
        const double b = median(texts);
        std::printf("chart\t%s\t%.0f\t%.0f\t%.2f\n", c.name, a, b, a / b);
    }
    return 0;
}
