// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QStyle>
#include <QTest>
#include <QToolTip>
#include <climits>
#include <cmath>
#include <limits>

#include "window/explanations.h"
#include "window/form1.h"
#include "window/odds_tip.h"

#include "tests/binomial_model.h"
#include "tests/window/chart_checks.h"
#include "tests/window/form_driver.h"

using tarvelin::Field;
using namespace chart_checks;

namespace {

// An odds tooltip as painted, with the chart's places in its pixels.
struct Shown {
    const QImage& image;
    const OddsChartPicture& picture;
    QPoint origin;  // the chart's top left in the tooltip
    QRect plot;
    QRgb background, bar, ink;
};

// A bar's height in pixels, over three of its columns, so that a mark
// through one of them does not count.
int barHeight(const Shown& s, const QRect& columns) {
    std::array<int, 3> high{};
    for (std::size_t c = 0; c < high.size(); ++c) {
        const int x = columns.left() + 1 + int(c) * (columns.width() - 3) / 2;
        while (s.image.pixel(x, s.plot.bottom() - high[c]) == s.bar && high[c] < s.plot.height()) {
            ++high[c];
        }
    }
    std::sort(high.begin(), high.end());
    return high[1];
}

// The step over a bar: the first row, from the top, that is ink across the
// whole bar, or just under the axis when there is none.
int stepOver(const Shown& s, const QRect& columns) {
    const auto across = [&](int y) {
        for (int x = columns.left(); x <= columns.right(); ++x) {
            if (s.image.pixel(x, y) != s.ink) {
                return false;
            }
        }
        return true;
    };
    int step = s.plot.top() - 1;
    while (step <= s.plot.bottom() + 2 && !across(step)) {
        ++step;
    }
    return step;
}

// Each bar as high as its exact chance, within a pixel; the tallest where the
// exact model puts it; the step of "at least" falling from 100 %, with a drop
// at each bars' border between two steps and none under a step.
void checkBars(const Shown& s, int shots, double chance) {
    const int bottom = s.plot.bottom();
    std::vector<int> heights;
    std::vector<double> exact;
    int stepAbove = s.plot.top() - 1;
    for (std::size_t i = 0; i < s.picture.chart().bars.size(); ++i) {
        const QRect columns = s.picture.barColumns(i).translated(s.origin);
        heights.push_back(barHeight(s, columns));
        const tarvelin::ChartBar& counts = s.picture.chart().bars[i];
        exact.push_back(binomial_model::chanceOfCounts(shots, counts.count, counts.last, chance));
        QVERIFY2(std::abs(heights.back() - exact.back() * s.plot.height()) <= 1,
                 qPrintable(QString("bar %1: %2 px").arg(i).arg(heights.back())));
        const int step = stepOver(s, columns);
        QVERIFY2(step >= stepAbove && step <= bottom + 2, qPrintable(QString::number(i)));
        QVERIFY(i > 0 || step <= s.plot.top());
        const int border =
            i > 0 ? (s.picture.barColumns(i - 1).translated(s.origin).right() + columns.left()) / 2
                  : 0;
        if (i > 0 && step - stepAbove > 2) {
            QCOMPARE(s.image.pixel(border, (stepAbove + step) / 2), s.ink);
        }
        const QRect under(border - s.origin.x(), step + 2 - s.origin.y(), 1, 1);
        const auto& labels = s.picture.labels();
        QVERIFY(i == 0 || step + 2 >= bottom || s.image.pixel(border, step + 2) != s.ink ||
                std::any_of(labels.begin(), labels.end(),
                            [&](const auto& l) { return l.place.intersects(under); }));
        stepAbove = step;
    }
    QCOMPARE(std::max_element(heights.begin(), heights.end()) - heights.begin(),
             std::max_element(exact.begin(), exact.end()) - exact.begin());
}

// A faint line across at each quarter, one pixel high, seen in a gap between
// bars where no step or label is.
void checkQuarterLines(const Shown& s) {
    const OddsChartPicture& picture = s.picture;
    const auto& labels = picture.labels();
    for (const double quarter : {0.25, 0.5, 0.75, 1.0}) {
        const int y = picture.lineAt(quarter);
        std::size_t i = picture.chart().bars.size();
        const auto clear = [&](std::size_t b) {
            const QRect gap(picture.barColumns(b).left() - 1, y, 1, 2);
            return std::abs(picture.lineAt(picture.chart().bars[b].atLeast) - y) > 2 &&
                   std::none_of(labels.begin(), labels.end(),
                                [&](const auto& l) { return l.place.intersects(gap); });
        };
        while (--i > 0 && !clear(i)) {
        }
        const QPoint at = s.origin + QPoint(picture.barColumns(i).left() - 1, y);
        QVERIFY(i > 0 && s.image.pixel(at) != s.background && s.image.pixel(at) != s.ink);
        QCOMPARE(s.image.pixel(at + QPoint(0, 1)), s.background);
    }
}

// The axis under the bars (its words' places are the layout's checks), each
// key word just after its sign, and the average's mark under the bar of a
// whole average, and only there.
void checkKeyAndAverage(const Shown& s, const QFont& font, const QPalette& palette,
                        double average) {
    const int bottom = s.plot.bottom();
    QCOMPARE(s.image.pixel(s.plot.center().x(), bottom + 1), s.ink);
    const int unit = QFontMetrics(font).height();
    const QImage key = s.image.copy(0, bottom + 1, s.image.width(), s.image.height() - bottom - 1);
    for (const auto& [words, sign] :
         {std::pair{"exactly", s.bar}, std::pair{"at least", s.ink}, std::pair{"average", s.ink}}) {
        const auto at = foundAt(key, words, font, palette);
        QVERIFY2(at, words);
        bool signed_ = false;
        for (int x = at->x() - unit; x < at->x(); ++x) {
            signed_ = signed_ || key.pixel(x, at->y() + unit / 2) == sign;
        }
        QVERIFY2(signed_, words);
    }
    const auto& bars = s.picture.chart().bars;
    for (std::size_t i = 0; i < bars.size() && s.picture.chart().step == 1; ++i) {
        const int x = s.picture.barColumns(i).translated(s.origin).center().x();
        bool marked = false;
        for (int y = bottom + 2 + unit / 7; y < bottom + unit / 2; ++y) {
            marked = marked || s.image.pixel(x, y) == s.ink;
        }
        QCOMPARE(marked, bars[i].count == average);
    }
}

// A chart label clear of the labels before it, of the bars and steps of both
// volleys, of the words, and not beside the axis words, where it would read
// as one with them.
void checkLabelClear(const OddsChartPicture& picture, std::size_t i, int unit) {
    const auto& labels = picture.labels();
    const QRect place = labels[i].place;
    for (std::size_t j = 0; j < i; ++j) {
        QVERIFY(!labels[j].place.intersects(place));
    }
    for (std::size_t b = 0; b < picture.chart().bars.size(); ++b) {
        QVERIFY(!picture.barRect(b).intersects(place));
        if (picture.pinned()) {
            const QRect columns = picture.barColumns(b);
            const int y = picture.lineAt(picture.pinned()->bars[b].atLeast);
            QVERIFY(!picture.pinnedBarRect(b).intersects(place));
            QVERIFY(!QRect(columns.left(), y, columns.width(), 1).intersects(place));
        }
    }
    QVERIFY(
        std::none_of(picture.placedTexts().begin(), picture.placedTexts().end(),
                     [&](const auto& w) { return w.place.intersects(place); }) &&
        (place.left() >= picture.plot().left() || place.bottom() < picture.lineAt(1) - unit / 2));
}

// An "at least" label touching the step of the count it names, counted in
// atLeast; else the tallest bar's, first, over it and close.
void checkLabelAtItsStep(const OddsChartPicture& picture, std::size_t i, int unit, int pixels,
                         int& atLeast) {
    const tarvelin::OddsChart& chart = picture.chart();
    const auto& label = picture.labels()[i];
    const QRect place = label.place;
    const QString count = label.text.section(':', 0, 0).remove("at least ");
    const auto bar = std::find_if(chart.bars.begin(), chart.bars.end(), [&](const auto& b) {
        return QString(QChar(0x2265)) + QString::number(b.count) == count ||
               QString::number(b.count) == count;
    });
    if (bar == chart.bars.end()) {
        const QRect columns = picture.barColumns(chart.tallest);
        // Over the taller of the bars in its columns, when one is pinned.
        const int top =
            std::min(picture.barRect(chart.tallest).top(),
                     picture.pinned() ? picture.pinnedBarRect(chart.tallest).top() : INT_MAX);
        QVERIFY(i == 0 && place.bottom() < top &&
                place.intersects(
                    QRect(columns.left(), top - unit * 3 / 2, columns.width(), unit * 3 / 2)));
        return;
    }
    ++atLeast;
    const QRect columns = picture.barColumns(std::size_t(bar - chart.bars.begin()));
    const int step = picture.lineAt(bar->atLeast);
    QVERIFY(place.left() <= columns.right() + pixels && place.right() >= columns.left());
    QVERIFY(std::abs(place.bottom() - step) <= pixels / 3 ||
            std::abs(place.top() - step) <= pixels / 3);
}

// Every label clear of the "at least" path: each step's row and its drop at
// the border with the next bar.
void checkClearOfSteps(const OddsChartPicture& picture) {
    const auto& bars = picture.chart().bars;
    const int barWidth = picture.barColumns(1).left() - picture.barColumns(0).left();
    for (std::size_t b = 0; b < bars.size(); ++b) {
        const QRect columns = picture.barColumns(b);
        const int step = picture.lineAt(bars[b].atLeast);
        const int next =
            b + 1 < bars.size() ? picture.lineAt(bars[b + 1].atLeast) : picture.plot().bottom();
        const int border = picture.plot().left() + int(b + 1) * barWidth - 1;
        for (const auto& label : picture.labels()) {
            QVERIFY(!label.place.intersects(QRect(columns.left(), step - 1, columns.width(), 2)));
            QVERIFY(!label.place.intersects(QRect(border, step, 1, next - step)));
        }
    }
}

// The copied odds' first lines, taken off: for a comparison what differs,
// then each volley's heading; and the empty line at the end.
void checkHeadings(QStringList& lines, int shots, int pinned, const QString& separator) {
    const auto heading = [&separator](int n) {
        const double average = n / 6.0;
        return QString(
                   "Casualties of %1 shots, Aimcraft 4 (needed roll 4, "
                   "Moved), To Wound 4, Armour Save 5: average %2")
            .arg(QString::number(n),
                 average == std::round(average)
                     ? QString::number(average)
                     : QString::number(average, 'f', 1).replace('.', separator));
    };
    if (pinned > 0) {
        const auto average = [](int n) { return QString::number(std::round(n / 0.6) / 10); };
        QCOMPARE(lines.takeFirst(), QString("Casualties: %1 shots (%2) against %3 shots (%4)")
                                        .arg(shots)
                                        .arg(average(shots).replace('.', separator))
                                        .arg(pinned)
                                        .arg(average(pinned)));
    }
    QCOMPARE(lines.takeFirst(), heading(shots));
    if (pinned > 0) {
        QCOMPARE(lines.takeFirst(), "Pinned: " + heading(pinned));
    }
    QCOMPARE(lines.takeLast(), QString());
}

// A volley's casualties, B(n, 1/6), by the independent model, and the first
// count whose chance of at most, and the last whose chance of at least,
// reaches 0.05 %.
struct VolleyModel {
    std::vector<double> exactly, atLeast;
    int first = 0, last = 0;
};

VolleyModel casualtiesOf(int n) {
    VolleyModel model;
    for (int k = 0; k <= n; ++k) {
        model.exactly.push_back(binomial_model::chanceOfCounts(n, k, k, 1.0 / 6));
    }
    model.atLeast.assign(model.exactly.size() + 1, 0.0);
    for (int k = n; k >= 0; --k) {
        model.atLeast[std::size_t(k)] =
            model.atLeast[std::size_t(k) + 1] + model.exactly[std::size_t(k)];
    }
    const auto& at = model.atLeast;
    while (1 - at[std::size_t(model.first) + 1] < 0.0005) {
        ++model.first;
    }
    model.last = model.first;
    while (model.last < n && at[std::size_t(model.last) + 1] >= 0.0005) {
        ++model.last;
    }
    return model;
}

// The copied table split into its cells, each row's last count apart, with
// the line on what the rows leave out, if any.
struct Table {
    bool ranges = false;
    QRegularExpressionMatch covered;
    QStringList lines;
    std::vector<QStringList> rows;
    std::vector<int> ends;
};

void readTable(QStringList lines, bool pinned, Table& table) {
    table.covered = QRegularExpression(R"(^counts (\d+) to (\d+), ([\d.,]+) % of all )"
                                       R"(volleys(?: \(pinned ([\d.,]+) %\))?$)")
                        .match(lines.front());
    lines.remove(0, table.covered.hasMatch() ? 1 : 0);
    QVERIFY(lines.size() >= 2 && lines.size() <= 201);
    const QStringList header = lines.takeFirst().trimmed().split(QRegularExpression("\\t| {2,}"));
    QStringList columns = table.ranges ? QStringList{"from", "to"} : QStringList{"count"};
    columns += {"exactly %", "at least %"};
    if (pinned) {
        columns += {"pinned exactly %", "pinned at least %"};
    }
    QCOMPARE(header, columns);
    for (const QString& line : lines) {
        table.rows.push_back(line.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts));
        QCOMPARE(table.rows.back().size(), columns.size());
        table.ends.push_back(table.ranges ? table.rows.back().takeAt(1).toInt()
                                          : table.rows.back()[0].toInt());
    }
    table.lines = lines;
}

// Each row's counts in steps, each chance against the model's: one decimal
// (three for ranges), or two significant digits for a small chance; the
// exactly column adding up to the share the line gives.
void checkRows(const Table& table, const std::vector<VolleyModel>& models, int step,
               const QString& separator) {
    const auto& rows = table.rows;
    std::vector<double> sums(models.size());
    const double rounding = table.ranges ? 0.0005 + 1e-9 : 0.05;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const int k = rows[row][0].toInt();
        const int end = table.ends[row];
        QCOMPARE(k, rows.front()[0].toInt() + int(row) * step);
        QCOMPARE(end, table.ranges ? std::min(k + step, table.ends.back() + 1) - 1 : k);
        for (int c = 1; c < rows[row].size(); ++c) {
            bool number = false;
            const double shown = QString(rows[row][c]).replace(separator, ".").toDouble(&number);
            const VolleyModel& volley = models[std::size_t(c - 1) / 2];
            const auto& chances = c % 2 == 1 ? volley.exactly : volley.atLeast;
            double model = 0;
            for (int j = k; j <= (c % 2 == 1 ? end : k); ++j) {
                model += std::size_t(j) < chances.size() ? 100 * chances[std::size_t(j)] : 0.0;
            }
            sums[std::size_t(c - 1) / 2] += c % 2 == 1 ? shown : 0.0;
            QVERIFY2(number && std::abs(shown - model) <= (model < 0.05 ? model / 20 : rounding),
                     qPrintable(table.lines[qsizetype(row)]));
        }
    }
    for (std::size_t v = 0; table.covered.hasMatch() && v < models.size(); ++v) {
        QCOMPARE(table.covered.captured(1).toInt(), rows.front()[0].toInt());
        QCOMPARE(table.covered.captured(2).toInt(), table.ends.back());
        const double share = table.covered.captured(3 + int(v)).replace(separator, ".").toDouble();
        QVERIFY(std::abs(sums[v] - share) <= 0.1);
    }
}

// A tooltip shown whole: the first and the last line written, in the tip's
// colours, in line with the chart's title while the chart is at full size,
// and as far from the bottom as the title is from the top.
void checkWholeTip(OddsTip& tip, int unit) {
    const QImage image = tip.grab().toImage();
    const auto first =
        foundAt(image, tip.shownText().section('\n', 0, 0), tip.font(), tip.palette());
    const auto last = foundAt(image, tip.shownText().section('\n', -1), tip.font(), tip.palette());
    const auto title = foundAt(image, "Hits", tip.font(), tip.palette());
    const int under = last ? tip.height() - last->y() - unit : -9;
    QVERIFY(first && last &&
            (tip.chartScale() < 1 ||
             (title && title->x() == first->x() && std::abs(under - title->y()) <= 1)));
}

}  // namespace

class TestOddsTip : public QObject, public driver::FormFixture {
    Q_OBJECT

private slots:
    void init() { QVERIFY(open()); }
    void cleanup() { form.reset(); }

    // Without odds a result says why, in its tooltip, to a screen reader and
    // on its Copy Odds, which stays in the menu but disabled.
    void oddsSayWhyTheyAreMissing_data() {
        QTest::addColumn<QString>("shots");
        QTest::addColumn<QStringList>("presses");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("reason");
        QTest::newRow("before Hits")
            << "12" << QStringList() << int(Field::Text3)
            << "Odds appear once Hits has worked from a whole number of shots.";
        QTest::newRow("shots not whole") << "12.5" << QStringList{"Command2"} << int(Field::Text3)
                                         << "Odds need a whole number of shots from 0 to 100,000.";
        QTest::newRow("saves from earlier wounds")
            << "12" << QStringList{"Command2", "Command3", "Command4", "Command3", "Command5"}
            << int(Field::Text9) << "No odds: Saves was not worked out from these wounds.";
    }

    void oddsSayWhyTheyAreMissing() {
        QFETCH(QString, shots);
        QFETCH(QStringList, presses);
        QFETCH(int, result);
        QFETCH(QString, reason);
        type(Field::Text2, "4");
        type(Field::Text4, shots);
        type(Field::Text5, "4");
        type(Field::Text7, "5");
        for (const QString& name : presses) {
            press(name.toLatin1());
        }
        const QLineEdit* field = form->field(Field(result));
        QVERIFY2(field->toolTip().endsWith("\n" + reason), qPrintable(field->toolTip()));
        QCOMPARE(field->accessibleDescription(), field->toolTip());
        const QAction* copy = copyOddsEntry(Field(result));
        QVERIFY(copy != nullptr && copy->text() == "Copy Odds" && !copy->isEnabled());
        QCOMPARE(copy->toolTip(), reason);
        QVERIFY(qobject_cast<QMenu*>(copy->parent())->toolTipsVisible());
        QApplication::activePopupWidget()->close();
    }

    // The odds tooltip opens as Qt's own tooltips do on hover, and when the
    // keyboard brings the focus to a result; not on a click into it.
    void oddsTooltipOpens_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("chart");
        QTest::addColumn<bool>("text");
        QTest::newRow("hover") << "hover" << int(Field::Text3) << true << false;
        QTest::newRow("Tab") << "Tab" << int(Field::Text3) << true << false;
        QTest::newRow("Shift+Tab") << "Shift+Tab" << int(Field::Text3) << true << false;
        QTest::newRow("shortcut") << "shortcut" << int(Field::Text3) << true << false;
        QTest::newRow("mouse click") << "click" << int(Field::Text3) << false << false;
        QTest::newRow("hover, no odds yet") << "hover" << int(Field::Text6) << false << true;
        QTest::newRow("hover, font too large for the screen")
            << "hover at 60 px" << int(Field::Text3) << true << false;
    }

    void oddsTooltipOpens() {
        QFETCH(QString, how);
        QFETCH(int, result);
        QFETCH(bool, chart);
        QFETCH(bool, text);
        const auto restore =
            qScopeGuard([desktop = QApplication::font()] { QApplication::setFont(desktop); });
        if (how.endsWith("60 px")) {
            QFont large("DejaVu Sans");
            large.setPixelSize(60);
            QApplication::setFont(large);
        }
        type(Field::Text2, "4");
        type(Field::Text4, "12");
        press("Command2");
        QLineEdit* field = form->field(Field(result));
        if (how.startsWith("hover")) {
            QHelpEvent hover(QEvent::ToolTip, QPoint(4, 4), field->mapToGlobal(QPoint(4, 4)));
            QApplication::sendEvent(field, &hover);
        } else if (how == "shortcut") {
            field->setFocus(Qt::ShortcutFocusReason);
        } else if (how == "click") {
            QTest::mouseClick(field, Qt::LeftButton);
        } else {
            QLineEdit* from = form->field(how == "Tab" ? Field::Text2 : Field::Text4);
            from->setFocus();
            QTest::keyClick(from, Qt::Key_Tab, how == "Tab" ? Qt::NoModifier : Qt::ShiftModifier);
        }
        QTest::qWait(20);
        QVERIFY(how.startsWith("hover") || QApplication::focusWidget() == field);
        QCOMPARE(shownTip() != nullptr, chart);
        QCOMPARE(QToolTip::isVisible(), text);
        QCOMPARE(text    ? QToolTip::text()
                 : chart ? shownTip()->text()
                         : field->toolTip(),
                 field->toolTip());
        QToolTip::hideText();
        if (chart) {
            QVERIFY(field->screen()->availableGeometry().contains(shownTip()->geometry()));
            // By keyboard, from the field's left edge, two pixels under or over it.
            const QRect at(field->mapToGlobal(QPoint(0, 0)), field->size());
            const QRect tip = shownTip()->geometry();
            QVERIFY(how.startsWith("hover") ||
                    (tip.left() == at.left() &&
                     (tip.top() == at.bottom() + 3 || tip.bottom() == at.top() - 3)));
            // Long enough to read so many lines: well beyond a short tooltip's 10 s.
            QVERIFY(shownTip()->staysFor() > 11'000);
            // And it goes as a tooltip goes, at a click.
            QTest::mouseClick(form.get(), Qt::LeftButton, {}, QPoint(2, 2));
            QVERIFY(shownTip() == nullptr);
        }
    }

    // The chart tooltip's place: on the screen, whole, clear of the field and
    // the pointer, however small the screen or large the font; when it must
    // shrink, its chart gives way first, then its last lines, then the rest.
    void oddsTooltipFitsTheScreen_data() {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QRect>("field");
        QTest::addColumn<QPoint>("pointer");  // (-1, -1): reached by keyboard
        QTest::addColumn<int>("pixels");      // the tooltip font's size
        QTest::addColumn<int>("shots");
        QTest::addColumn<QString>("shrinks");  // nothing, the chart, lines or all
        const QRect hits(160, 120, 81, 19);
        const QRect casualties(160, 312, 81, 19);
        const QPoint keyboard(-1, -1);
        const QRect large(0, 0, 800, 600);  // 1600x1200 at a scale of 2
        QTest::newRow("1600x1200 at 2, Hits")
            << large << hits << QPoint(164, 124) << 12 << 12 << "nothing";
        QTest::newRow("1600x1200 at 2, 1.5 font, Wounds")
            << large << QRect(160, 184, 81, 19) << QPoint(200, 200) << 18 << 100000 << "lines";
        QTest::newRow("window at the bottom")
            << large << casualties.translated(0, 260) << QPoint(170, 575) << 12 << 12 << "nothing";
        QTest::newRow("keyboard, Hits") << large << hits << keyboard << 12 << 12 << "nothing";
        QTest::newRow("lower screen, near its top")
            << QRect(0, 600, 800, 600) << hits.translated(0, 600) << QPoint(164, 724) << 18
            << 100000 << "lines";
        QTest::newRow("keyboard, at the bottom")
            << large << casualties.translated(0, 260) << keyboard << 12 << 1000 << "nothing";
        QTest::newRow("a little short")
            << large << QRect(160, 218, 81, 19) << QPoint(164, 222) << 12 << 12 << "the chart";
        QTest::newRow("right edge")
            << large << QRect(760, 120, 81, 19) << QPoint(790, 130) << 12 << 12 << "nothing";
        QTest::newRow("narrow") << QRect(0, 0, 300, 800) << QRect(100, 120, 81, 19)
                                << QPoint(104, 124) << 12 << 12 << "the chart";
        QTest::newRow("too narrow") << QRect(0, 0, 200, 800) << QRect(100, 120, 81, 19)
                                    << QPoint(104, 124) << 12 << 12 << "all";
        QTest::newRow("second screen") << QRect(800, 0, 1024, 768) << hits.translated(800, 0)
                                       << QPoint(980, 124) << 12 << 12 << "nothing";
        QTest::newRow("800x600 at 2")
            << QRect(0, 0, 400, 300) << hits << QPoint(164, 124) << 12 << 12 << "lines";
        QTest::newRow("800x600 at 2, 1.5 font")
            << QRect(0, 0, 400, 300) << casualties.translated(0, -120) << QPoint(200, 200) << 18
            << 12 << "all";
        QTest::newRow("tiny, large font")
            << QRect(0, 0, 320, 240) << hits << keyboard << 30 << 12 << "all";
    }

    void oddsTooltipFitsTheScreen() {
        QFETCH(QRect, screen);
        QFETCH(QRect, field);
        QFETCH(QPoint, pointer);
        QFETCH(int, pixels);
        QFETCH(int, shots);
        QFETCH(QString, shrinks);
        const auto restore = qScopeGuard([was = QToolTip::font()] { QToolTip::setFont(was); });
        QFont font("DejaVu Sans");
        font.setPixelSize(pixels);
        QToolTip::setFont(font);
        const tarvelin::Odds odds{shots, 0.5};
        const tarvelin::Chances chances = tarvelin::ChancesOf(odds.trials, odds.chance);
        const QString text = oddsHelp(odds, chances.atLeast, ".");
        OddsTip tip(form.get());
        const std::optional<QPoint> hover =
            pointer.x() < 0 ? std::nullopt : std::optional<QPoint>(pointer);
        const QRect place = tip.fit(
            OddsChartPicture(tarvelin::ChartOfOdds(odds, chances), "Hits", font, "."),
            "Out of date: Soft Cover was ticked after Hits.\nHits.\n" + text, field, hover, screen);
        QVERIFY(screen.contains(place));
        QCOMPARE(place.size(), tip.size());
        QVERIFY(!place.intersects(field));
        QVERIFY(!hover || !place.adjusted(0, -16, 0, 0).contains(*hover));
        // From the pointer, or the field's left by keyboard, as far as the screen allows.
        const int from =
            std::min(hover ? hover->x() : field.left(), screen.right() + 1 - tip.width());
        QCOMPARE(place.left(), std::max(screen.left(), from));
        // Two pixels clear of the field, unless below the pointer's arrow.
        const bool below = place.top() > field.bottom();
        const int apart =
            below ? place.top() - field.bottom() - 1 : field.top() - place.bottom() - 1;
        QVERIFY(hover && below ? apart <= 23 : apart == 2);
        // Each way of shrinking only once the one before has gone its whole
        // way, and no further than the room asks.
        const bool cut = tip.shownText() != tip.text();
        QCOMPARE(tip.chartScale() < 1, shrinks != "nothing");
        QCOMPARE(cut, shrinks == "lines" || (shrinks == "all" && tip.width() < screen.width() - 1));
        QCOMPARE(tip.shrink() < 1, shrinks == "all");
        QVERIFY(!cut ||
                (tip.chartScale() == 0.5 && tip.text().startsWith(tip.shownText().chopped(1))));
        const int slack = place.top() > field.bottom() ? screen.bottom() - place.bottom()
                                                       : place.top() - screen.top();
        QVERIFY(shrinks == "nothing" || shrinks == "all" || tip.width() >= screen.width() - 2 ||
                slack < QFontMetrics(font).height());
        if (tip.shrink() == 1) {
            checkWholeTip(tip, QFontMetrics(font).height());
        }
    }

    // Where the compositor puts the tip (Wayland) with the window at the top
    // or the bottom of the screen: at the point asked for, or flipped to end
    // there when it does not fit below, then slid sideways onto the screen.
    // The tip under its band lies whole beside the field, off the pointer,
    // and below it whenever it fits there.
    void oddsTooltipBesideItsFieldOnWayland_data() {
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QString>("where");  // the window is on the screen
        QTest::addColumn<int>("field");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<int>("pixels");  // the tooltip font's size
        const QRect large(0, 0, 1280, 800);
        const QRect doubled(0, 0, 960, 600);  // 1920x1200 at a scale of 2
        QTest::newRow("top, Hits") << large << "top" << int(Field::Text3) << true << 12;
        QTest::newRow("bottom, Hits") << large << "bottom" << int(Field::Text3) << true << 12;
        QTest::newRow("top, keyboard, Casualties")
            << large << "top" << int(Field::Text9) << false << 12;
        QTest::newRow("bottom, keyboard, Casualties")
            << large << "bottom" << int(Field::Text9) << false << 12;
        QTest::newRow("bottom at 2, Wounds")
            << doubled << "bottom" << int(Field::Text6) << true << 12;
        QTest::newRow("bottom right, 1.5 font, Saves")
            << large << "bottom right" << int(Field::Text8) << true << 18;
    }

    void oddsTooltipBesideItsFieldOnWayland() {
        QFETCH(QRect, screen);
        QFETCH(QString, where);
        QFETCH(int, field);
        QFETCH(bool, hovered);
        QFETCH(int, pixels);
        const auto restore = qScopeGuard([was = QToolTip::font()] { QToolTip::setFont(was); });
        QFont font("DejaVu Sans");
        font.setPixelSize(pixels);
        QToolTip::setFont(font);
        const tarvelin::Odds odds{12, 0.5};
        const tarvelin::Chances chances = tarvelin::ChancesOf(odds.trials, odds.chance);
        const QLineEdit* edit = form->field(Field(field));
        const QRect inWindow(edit->mapTo(form.get(), QPoint(0, 0)), edit->size());
        const std::optional<QPoint> pointer =
            hovered ? std::optional(inWindow.topLeft() + QPoint(20, 9)) : std::nullopt;
        OddsTip tip(form.get(), TipPlacement::ByCompositor);
        const QRect keep = tip.fitAbout(
            OddsChartPicture(tarvelin::ChartOfOdds(odds, chances), "Hits", font, "."),
            "Hits.\n" + oddsHelp(odds, chances.atLeast, "."), inWindow, pointer, screen.size());
        const QPoint window(where.endsWith("right") ? screen.right() + 1 - form->width()
                                                    : screen.center().x() - form->width() / 2,
                            where == "top" ? screen.top() : screen.bottom() + 1 - form->height());
        const QPoint asked = window + keep.topLeft() - QPoint(0, 1);
        QRect surface(asked, tip.size());
        if (surface.bottom() > screen.bottom()) {
            surface.moveBottom(asked.y());
        }
        surface.moveLeft(std::min(surface.left(), screen.right() + 1 - surface.width()));
        const QRect shown = surface.adjusted(0, tip.band(), 0, 0);
        const QRect at = inWindow.translated(window);
        QVERIFY(screen.contains(shown) && !shown.intersects(at));
        const bool below = shown.top() > at.bottom();
        const int apart = below ? shown.top() - at.bottom() - 1 : at.top() - shown.bottom() - 1;
        QVERIFY(pointer && below ? apart >= 2 && apart <= 23 : apart == 2);
        QVERIFY(!pointer || !shown.adjusted(0, -16, 0, 0).contains(*pointer + window));
        QVERIFY(below || at.bottom() + 23 + shown.height() > screen.bottom());
    }

    // The chart as painted: each bar as high as its exact chance, within a
    // pixel, and visibly apart from the background; the tallest where the
    // exact model puts it; the step of "at least" falling from 100 %.
    void chartShowsTheExactOdds_data() {
        QTest::addColumn<QString>("shots");
        QTest::addColumn<int>("result");
        QTest::addColumn<double>("chance");
        QTest::addColumn<QPalette>("palette");
        const QPalette light = QApplication::style()->standardPalette();
        QPalette faint = light;
        faint.setColor(QPalette::Highlight, light.color(QPalette::ToolTipBase).darker(110));
        QTest::newRow("hits") << "12" << int(Field::Text3) << 1.0 / 2 << light;
        QTest::newRow("wounds") << "12" << int(Field::Text6) << 1.0 / 4 << light;
        QTest::newRow("saves") << "12" << int(Field::Text8) << 1.0 / 12 << light;
        QTest::newRow("casualties") << "12" << int(Field::Text9) << 1.0 / 6 << light;
        QTest::newRow("hits from 1,000") << "1000" << int(Field::Text3) << 1.0 / 2 << light;
        QTest::newRow("dark") << "12" << int(Field::Text9) << 1.0 / 6 << darkPalette();
        QTest::newRow("faint highlight") << "12" << int(Field::Text9) << 1.0 / 6 << faint;
    }

    void chartShowsTheExactOdds() {
        QFETCH(QString, shots);
        QFETCH(int, result);
        QFETCH(double, chance);
        QFETCH(QPalette, palette);
        const auto restore =
            qScopeGuard([was = QToolTip::palette()] { QToolTip::setPalette(was); });
        QToolTip::setPalette(palette);
        workedExample(shots);
        form->field(Field(result))->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(shownTip() != nullptr);
        const QImage image = shownTip()->grab().toImage();
        const OddsChartPicture& picture = *shownTip()->chart();
        const QPoint origin = shownTip()->chartOrigin();
        const QRect plot = picture.plot().translated(origin);
        const Shown shown{
            image,
            picture,
            origin,
            plot,
            image.pixel(origin + QPoint(1, 1)),
            image.pixel(picture.barColumns(picture.chart().tallest).translated(origin).center().x(),
                        plot.bottom()),
            palette.color(QPalette::ToolTipText).rgb()};
        QCOMPARE(QColor(shown.background), palette.color(QPalette::ToolTipBase));
        QVERIFY2(contrastRatio(QColor(shown.bar), QColor(shown.background)) >= 3,
                 "bars hard to tell apart");
        checkBars(shown, shots.toInt(), chance);
        // The bars in the desktop's highlight wherever it stands out enough.
        const QColor highlight = palette.color(QPalette::Highlight);
        if (contrastRatio(highlight, QColor(shown.background)) >= 3 &&
            contrastRatio(highlight, QColor(shown.ink)) >= 1.5) {
            QCOMPARE(QColor(shown.bar), highlight);
        }
        checkQuarterLines(shown);
        const QFont font = shownTip()->font();
        checkKeyAndAverage(shown, font, palette, shots.toInt() * chance);
        // The lines under the chart in the tooltip's colours too.
        const int under = origin.y() + picture.size().height();
        QVERIFY(writtenIn(image.copy(0, under, image.width(), image.height() - under),
                          shownTip()->shownText().section('\n', -1), font, palette));
        shownTip()->hide();
    }

    // The chart's colours on the desktop's light and dark palettes and over
    // every grey a tooltip may have: the bars in the highlight wherever it
    // stands out by 3:1, else nearer the text than the background and apart
    // from the text's steps; the pinned volley's at 3:1 and apart from the bars.
    void chartColoursStandOut_data() {
        QTest::addColumn<QList<QPalette>>("palettes");
        QTest::newRow("light") << QList<QPalette>{QApplication::style()->standardPalette()};
        QTest::newRow("dark") << QList<QPalette>{darkPalette()};
        QList<QPalette> greys;
        for (int grey = 0; grey < 256; ++grey) {
            QPalette palette;
            palette.setColor(QPalette::ToolTipBase, QColor(grey, grey, grey));
            palette.setColor(QPalette::ToolTipText, grey < 128 ? Qt::white : Qt::black);
            palette.setColor(QPalette::Highlight, QColor(0x30, 0x8c, 0xc6));
            greys << palette;
        }
        QTest::newRow("every grey") << greys;
    }

    void chartColoursStandOut() {
        QFETCH(QList<QPalette>, palettes);
        // The model against the guidelines' own figure for #777 on white.
        QCOMPARE(std::lround(100 * contrastRatio(QColor(0x77, 0x77, 0x77), Qt::white)), 448L);
        for (const QPalette& palette : palettes) {
            const QColor base = palette.color(QPalette::ToolTipBase);
            const QColor ink = palette.color(QPalette::ToolTipText);
            const QColor highlight = palette.color(QPalette::Highlight);
            const QColor bars = OddsChartPicture::barColour(palette);
            QCOMPARE(bars == highlight,
                     contrastRatio(highlight, base) >= 3 && contrastRatio(highlight, ink) >= 1.5);
            QVERIFY(contrastRatio(bars, ink) >= 1.5);
            QVERIFY(bars == highlight || contrastRatio(bars, base) > contrastRatio(bars, ink));
            const auto [dark, light] = std::minmax({base.redF(), ink.redF()});
            QVERIFY(bars == highlight || (bars.redF() >= dark && bars.redF() <= light));
            // Apart as the text's steps are, by lightness, or plainly by hue.
            const QColor pinned = OddsChartPicture::pinnedColour(palette);
            const int channels = std::max({std::abs(pinned.red() - bars.red()),
                                           std::abs(pinned.green() - bars.green()),
                                           std::abs(pinned.blue() - bars.blue())});
            QVERIFY2(contrastRatio(pinned, base) >= 3, qPrintable(base.name()));
            QVERIFY2(contrastRatio(pinned, bars) >= 1.5 || channels >= 64, qPrintable(base.name()));
        }
    }

    // The chart's labels: inside the picture, clear of each other and of the
    // bars, each "at least" label naming its count and touching that step.
    void chartLabelsNameTheirCounts_data() {
        QTest::addColumn<int>("shots");
        QTest::addColumn<double>("chance");
        QTest::addColumn<int>("pixels");
        QTest::addColumn<int>("pinned");  // shots at the same chance drawn beside, if any
        QTest::newRow("worked example's casualties") << 12 << 1.0 / 6 << 12 << 0;
        QTest::newRow("worked example's casualties, large font") << 12 << 1.0 / 6 << 20 << 0;
        QTest::newRow("12 hits, large font") << 12 << 0.5 << 20 << 0;
        QTest::newRow("100,000 casualties, large font") << 100000 << 1.0 / 6 << 20 << 0;
        QTest::newRow("100,000 hits") << 100000 << 0.5 << 12 << 0;
        QTest::newRow("100,000 rare") << 100000 << 0.0001 << 12 << 0;
        QTest::newRow("a sure hit") << 12 << 0.95 << 12 << 0;
        QTest::newRow("casualties of 24 beside 12") << 24 << 1.0 / 6 << 12 << 12;
        QTest::newRow("casualties of 24 beside 12, large font") << 24 << 1.0 / 6 << 20 << 12;
        QTest::newRow("casualties of 12 beside 24") << 12 << 1.0 / 6 << 12 << 24;
        QTest::newRow("1,000 hits beside 12, large font") << 1000 << 0.5 << 20 << 12;
        QTest::newRow("none likeliest, the pinned none taller") << 6 << 1.0 / 18 << 12 << 3;
    }

    void chartLabelsNameTheirCounts() {
        QFETCH(int, shots);
        QFETCH(double, chance);
        QFETCH(int, pixels);
        QFETCH(int, pinned);
        QFont font("DejaVu Sans");
        font.setPixelSize(pixels);
        const tarvelin::Odds odds{shots, chance};
        const tarvelin::Chances chances = tarvelin::ChancesOf(shots, chance);
        const tarvelin::ComparedCharts both = tarvelin::CompareCharts(
            odds, chances, {pinned, chance}, tarvelin::ChancesOf(pinned, chance));
        const QString title =
            QString("Hits from %1 shots: average %2").arg(shots).arg(shots * chance);
        const OddsChartPicture picture =
            pinned > 0 ? OddsChartPicture(both.now, title, font, ".", both.pinned)
                       : OddsChartPicture(tarvelin::ChartOfOdds(odds, chances), title, font, ".");
        const tarvelin::OddsChart& chart = picture.chart();
        const auto& labels = picture.labels();
        // The tallest bar's first, named by its count or range, with their chance.
        const tarvelin::ChartBar& mode = chart.bars[chart.tallest];
        const QString named = mode.last > mode.count
                                  ? QString("^%1-%2:").arg(mode.count).arg(mode.last)
                                  : QString("^(exactly |=)%1:").arg(mode.count);
        QVERIFY(!labels.empty() && QRegularExpression(named).match(labels[0].text).hasMatch());
        QVERIFY(std::abs(labels[0].text.section(':', 1).simplified().chopped(2).toDouble() -
                         100 * binomial_model::chanceOfCounts(shots, mode.count, mode.last,
                                                              chance)) <= 0.05 + 1e-9);
        const int unit = QFontMetrics(font).height();
        int atLeast = 0;
        for (std::size_t i = 0; i < labels.size(); ++i) {
            checkLabelClear(picture, i, unit);
            checkLabelAtItsStep(picture, i, unit, pixels, atLeast);
        }
        // Beside a pinned chart's dashed steps a label may find no room; the
        // lines under the chart give every value.
        if (pinned == 0) {
            QCOMPARE(atLeast, int(chart.labelled.size()));
        }
        // On its own background, whatever it is painted over.
        QImage image(picture.size(), QImage::Format_RGB32);
        image.fill(Qt::red);
        QPainter painter(&image);
        const QPalette palette = QApplication::style()->standardPalette();
        picture.paint(painter, palette);
        painter.end();
        QCOMPARE(image.pixelColor(0, 0), palette.color(QPalette::ToolTipBase));
        checkLayout(picture, QFontMetrics(font).height());
        if (pinned > 0) {
            checkPinned(image, picture, palette);
        }
        checkClearOfSteps(picture);
    }

    // Copy Odds puts the table on the clipboard: for the worked example's
    // casualties, B(12, 1/6), each chance as whole numbers give it exactly.
    void copyOddsPutsTheTableOnTheClipboard_data() {
        QTest::addColumn<QString>("separator");
        QTest::addColumn<int>("shots");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("pinned");  // the shots of a pinned volley, or 0
        QTest::newRow("point") << "." << 12 << "Copy Odds" << 0;
        QTest::newRow("comma") << "," << 12 << "Copy Odds" << 0;
        QTest::newRow("as text") << "," << 12 << "Copy Odds as Text" << 0;
        QTest::newRow("100,000 shots") << "." << 100000 << "Copy Odds" << 0;
        QTest::newRow("100,000 shots as text") << "," << 100000 << "Copy Odds as Text" << 0;
        QTest::newRow("24 shots, 12 pinned") << "." << 24 << "Copy Odds" << 12;
        QTest::newRow("12 shots, 24 pinned, as text") << "," << 12 << "Copy Odds as Text" << 24;
        QTest::newRow("1,000 shots, 12 pinned") << "." << 1000 << "Copy Odds" << 12;
    }

    void copyOddsPutsTheTableOnTheClipboard() {
        QFETCH(QString, separator);
        QFETCH(int, shots);
        QFETCH(QString, entry);
        QFETCH(int, pinned);
        QVERIFY(open(separator.toStdString()));
        workedExample(QString::number(pinned > 0 ? pinned : shots));
        if (pinned > 0) {
            copyOddsEntry(Field::Text9, "Compare with This")->trigger();
            QApplication::activePopupWidget()->close();
            type(Field::Text4, QString::number(shots));
            for (const char* step : {"Command2", "Command3", "Command4", "Command5"}) {
                press(step);
            }
        }
        QAction* copy = copyOddsEntry(Field::Text9, entry);
        QVERIFY(copy != nullptr && copy->isEnabled());
        // The line edit's own entries stay.
        const QList<QAction*> entries = qobject_cast<QMenu*>(copy->parent())->actions();
        QVERIFY(std::any_of(entries.begin(), entries.end(),
                            [](const QAction* a) { return a->text().startsWith("Select All"); }));
        QApplication::clipboard()->clear();
        copy->trigger();
        QApplication::activePopupWidget()->close();
        QStringList lines = QApplication::clipboard()->text().split('\n');
        checkHeadings(lines, shots, pinned, separator);
        std::vector<VolleyModel> models;
        int first = std::numeric_limits<int>::max();
        int last = 0;
        for (const int n : {shots, pinned}) {
            if (n > 0) {
                models.push_back(casualtiesOf(n));
                first = std::min(first, models.back().first);
                last = std::max(last, models.back().last);
            }
        }
        // Past 200 counts a row holds a range, and a line says what rows leave out.
        Table table;
        table.ranges = last - first + 1 > 200;
        readTable(lines, pinned > 0, table);
        const auto& rows = table.rows;
        QVERIFY(rows.size() >= 1);
        const int step = rows.size() > 1 ? rows[1][0].toInt() - rows[0][0].toInt() : 1;
        QVERIFY(rows.front()[0].toInt() <= first &&
                (table.ranges || rows.front()[0].toInt() + step > first));
        QVERIFY(table.ends.back() >= last && (table.ranges || rows.back()[0].toInt() <= last));
        QCOMPARE(table.covered.hasMatch(),
                 table.ranges &&
                     (rows.front()[0].toInt() > 0 || table.ends.back() < std::max(shots, pinned)));
        checkRows(table, models, step, separator);
    }
};

int main(int argc, char* argv[]) {
    return driver::runOnTestScreen<TestOddsTip>(argc, argv, "test_odds_tip");
}
#include "test_odds_tip.moc"
