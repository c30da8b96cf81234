// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTest>
#include <cmath>

#include "window/announcer.h"
#include "window/form1.h"

#include "tests/binomial_model.h"
#include "tests/window/chart_checks.h"
#include "tests/window/form_driver.h"

using tarvelin::Field;
using namespace chart_checks;

namespace {

// Each pinned chance in a result's lines against the model's, as a
// percentage with one decimal; at least eight of them.
void checkPinnedChances(const QStringList& lines, int pinnedShots) {
    const QRegularExpression pinned(
        "^(none|at least (\\d+)): .* \\(pinned (< 0\\.1|[\\d.]+) %\\)$");
    int checked = 0;
    for (const QString& line : lines) {
        const QRegularExpressionMatch match = pinned.match(line);
        if (!match.hasMatch()) {
            continue;
        }
        ++checked;
        const int k = match.captured(2).isEmpty() ? 0 : match.captured(2).toInt();
        const double model =
            100 * binomial_model::chanceOfCounts(
                      pinnedShots, k, match.captured(2).isEmpty() ? 0 : pinnedShots, 1.0 / 6);
        const QString shown = match.captured(3);
        QVERIFY2(shown == "< 0.1" ? model < 0.05 && model > 0
                                  : std::abs(shown.toDouble() - model) <= 0.05 + 1e-9,
                 qPrintable(line));
    }
    QVERIFY(checked >= 8);
}

}  // namespace

class TestCompare : public QObject, public driver::FormFixture {
    Q_OBJECT

private:
    // The tooltip draws both, the pinned bars as outlines, and says so in
    // its title; an out-of-date chart, after Clear, is drawn faded, the pin too.
    void checkPinnedTip(const QStringList& lines, const QString& pinnedAverage) {
        QLineEdit* casualties = form->field(Field::Text9);
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->field(Field::Text1)->setFocus();
        casualties->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(shownTip() != nullptr);
        const OddsChartPicture& picture = *shownTip()->chart();
        QVERIFY(picture.pinned().has_value());
        const QImage image = shownTip()->grab().toImage();
        const QPalette palette = shownTip()->palette();
        const QFont font = shownTip()->font();
        const QString averages = lines.filter(pinnedAverage).front();
        const int textTop = shownTip()->chartOrigin().y() + picture.size().height();
        QVERIFY(writtenIn(image.copy(0, textTop, image.width(), 4 * QFontMetrics(font).height()),
                          averages, font, palette));
        const QRect outline =
            picture.pinnedBarRect(picture.pinned()->tallest).translated(shownTip()->chartOrigin());
        const bool faded = lines.front().startsWith("Out of date");
        QCOMPARE(QColor(image.pixel(outline.topLeft())) == OddsChartPicture::pinnedColour(palette),
                 !faded);
        shownTip()->hide();
    }

private slots:
    void init() { QVERIFY(open()); }
    void cleanup() { form.reset(); }

    // Compare with This keeps the casualties as they stand, through Clear,
    // until replaced or let go; the lines, the title and the announcement
    // after a step then carry the pinned values, which are checked against
    // the pinned volley's casualties, B(n, 1/6), worked out here.
    void comparingKeepsAResultBeside_data() {
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<int>("pinnedShots");  // 0: nothing pinned
        QTest::addColumn<QString>("spoken");
        const QStringList again{"Text4=24", "Command2", "Command3", "Command4", "Command5"};
        QTest::newRow("pin, 24 shots, steps again")
            << QStringList{"Compare with This"} + again << 12 << "Casualties: 4, pinned 2.";
        QTest::newRow("pin again replaces")
            << QStringList{"Compare with This"} + again + QStringList{"Compare with This"} << 24
            << "Casualties 4 pinned for comparison.";
        QTest::newRow("stop comparing") << QStringList{"Compare with This", "Stop Comparing"} << 0
                                        << "Stopped comparing Casualties.";
        QTest::newRow("stop comparing, steps again")
            << QStringList{"Compare with This", "Stop Comparing"} + again << 0 << "Casualties: 4.";
        QTest::newRow("Clear keeps") << QStringList{"Compare with This", "Command6"} << 12
                                     << "Aimcraft, Shots, To Wound and Armour Save cleared.";
        QTest::newRow("without a pin") << again << 0 << "Casualties: 4.";
    }

    void comparingKeepsAResultBeside() {
        QFETCH(QStringList, actions);
        QFETCH(int, pinnedShots);
        QFETCH(QString, spoken);
        workedExample("12");
        QStringList heard;
        connect(form->findChild<Announcer*>(), &Announcer::said, this,
                [&heard](QWidget* /*speaker*/, const QString& text) { heard << text; });
        for (const QString& action : actions) {
            if (action.startsWith("Text4=")) {
                type(Field::Text4, action.section('=', 1));
            } else if (action.startsWith("Command")) {
                press(qPrintable(action));
            } else {
                QAction* entry = copyOddsEntry(Field::Text9, action);
                QVERIFY(entry != nullptr && entry->isEnabled());
                entry->trigger();
                QApplication::activePopupWidget()->close();
            }
        }
        QTRY_VERIFY(!heard.isEmpty() && heard.back() == spoken);
        QLineEdit* casualties = form->field(Field::Text9);
        const QStringList lines = casualties->accessibleDescription().split('\n');
        QCOMPARE(casualties->toolTip(), casualties->accessibleDescription());
        QCOMPARE(lines.filter("pinned").isEmpty(), pinnedShots == 0);
        if (pinnedShots == 0) {
            QVERIFY(copyOddsEntry(Field::Text9, "Stop Comparing")->isEnabled() == false);
            QApplication::activePopupWidget()->close();
            return;
        }
        QCOMPARE(lines.back(), QString("Pinned: Casualties of %1 shots, Aimcraft 4 (needed roll 4, "
                                       "Moved), To Wound 4, Armour Save 5: average %2")
                                   .arg(pinnedShots)
                                   .arg(pinnedShots / 6));
        const QString pinnedAverage = QString("(pinned %1)").arg(pinnedShots / 6);
        QVERIFY(lines.contains(
            QString("average %1 ").arg(driver::sheetText(*form, Field::Text9).chopped(1)) +
            pinnedAverage));
        checkPinnedChances(lines, pinnedShots);
        checkPinnedTip(lines, pinnedAverage);
    }

    // A comparison is named by what differs between its two volleys, in the
    // key and in Copy Odds; the pinned field carries a mark until let go.
    void comparisonNamesWhatDiffers_data() {
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("key");
        QTest::newRow("one input")
            << QStringList{"Text7=6"} << "Casualties: Armour Save 6 (2.5) against Armour Save 5 (2)"
            << QStringList{"Armour Save 6:", "Armour Save 5:"};
        QTest::newRow("two inputs")
            << QStringList{"Text4=24", "Text7=6"}
            << "Casualties: 24 shots, Armour Save 6 (5) against 12 shots, Armour Save 5 (2)"
            << QStringList{"24 shots, Armour Save 6:", "12 shots, Armour Save 5:"};
        QTest::newRow("a box") << QStringList{"Check3"}
                               << "Casualties: Moved, Soft Cover (1.3) against Moved (2)"
                               << QStringList{"Moved, Soft Cover:", "Moved:"};
        QTest::newRow("three inputs, the whole volleys")
            << QStringList{"Text4=24", "Text5=3", "Text7=6"}
            << "Casualties: 24 shots, Aimcraft 4 (needed roll 4, Moved), To Wound 3, Armour Save 6 "
               "(6.7) against 12 shots, Aimcraft 4 (needed roll 4, Moved), To Wound 4, Armour "
               "Save 5 (2)"
            << QStringList{"pinned exactly"};
    }

    void comparisonNamesWhatDiffers() {
        QFETCH(QStringList, changes);
        QFETCH(QString, title);
        QFETCH(QStringList, key);
        workedExample("12");
        copyOddsEntry(Field::Text9, "Compare with This")->trigger();
        QApplication::activePopupWidget()->close();
        for (const QString& change : changes) {
            if (change.contains('=')) {
                type(Field(change.mid(4, 1).toInt() - 1), change.section('=', 1));
            } else {
                QTest::mouseClick(form->findChild<QAbstractButton*>(change), Qt::LeftButton);
            }
        }
        form->workOutAllAction()->trigger();
        copyOddsEntry(Field::Text9, "Copy Odds")->trigger();
        QApplication::activePopupWidget()->close();
        QCOMPARE(QApplication::clipboard()->text().section('\n', 0, 0), title);
        QLineEdit* casualties = form->field(Field::Text9);
        const QList<QAction*> marks = casualties->actions();
        QCOMPARE(marks.size(), 1);
        QVERIFY(marks[0]->isVisible() && !marks[0]->icon().isNull());
        QVERIFY(
            marks[0]->toolTip().startsWith("Pinned for comparison: Casualties 2, Casualties "
                                           "of 12 shots"));
        QCOMPARE(casualties->text(), driver::sheetText(*form, Field::Text9));
        QCoreApplication::processEvents();  // the closed menu's hand-back of activation
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        form->field(Field::Text1)->setFocus();
        casualties->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(shownTip() != nullptr);
        QStringList words;
        for (const auto& text : shownTip()->chart()->placedTexts()) {
            words << text.text;
        }
        for (const QString& name : key) {
            QVERIFY2(words.contains(name), qPrintable(words.join('|')));
        }
        shownTip()->hide();
        copyOddsEntry(Field::Text9, "Stop Comparing")->trigger();
        QApplication::activePopupWidget()->close();
        QVERIFY(!marks[0]->isVisible());
    }
};

int main(int argc, char* argv[]) {
    return driver::runOnTestScreen<TestCompare>(argc, argv, "test_compare");
}
#include "test_compare.moc"
