// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include <QClipboard>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>
#include <cmath>
#include <memory>

#include "form_driver.h"
#include "tests/binomial_model.h"
#include "window/chart_paint.h"
#include "window/history.h"
#include "window/log_chart.h"
#include "window/volley_log_model.h"
#include "window/volley_log_window.h"

using tarvelin::Field;

namespace {

// A text's rows of cells as Python's csv module reads them, one line of
// cells apart by "|" each; the delimiter is the one the file says it uses.
QStringList readBack(const QByteArray& text, QChar delimiter) {
    QProcess python;
    python.start("python3",
                 {"-c", QString("import csv,sys\n"
                                "for r in csv.reader(sys.stdin.buffer.read().decode('utf-8-sig')"
                                ".splitlines(), delimiter='%1'):\n"
                                "    print('|'.join(r))\n")
                            .arg(delimiter)});
    python.write(text);
    python.closeWriteChannel();
    python.waitForFinished();
    return QString::fromUtf8(python.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

}  // namespace

class TestVolleyLog : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> form;
    tarvelin::VolleySheet::State example;

    // The worked example, then with 24 shots, then with Armour Save 3; the
    // log opened with Ctrl+L.
    VolleyLogWindow& threeVolleys(const std::string& separator) {
        form = std::make_unique<Form1>(separator);
        form->show();
        driver::workedExample(*form);
        example = form->sheet().state();
        for (const char* action : {"Text4=24", "Command2", "Command3", "Command4", "Command5",
                                   "Text7=3", "Command4", "Command5"}) {
            driver::act(*form, action);
        }
        driver::key(*form, Qt::Key_L, Qt::ControlModifier);
        return *form->logWindow();
    }
    static void select(VolleyLogWindow& log, const QList<int>& rows) {
        log.table()->clearSelection();
        for (const int row : rows) {
            log.table()->selectionModel()->select(
                log.table()->model()->index(row, 0),
                QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }
    }
    static QString cell(const VolleyLogWindow& log, int row, LogColumn column) {
        return log.table()->model()->index(row, int(column)).data().toString();
    }

private slots:
    void cleanup() { form.reset(); }

    void opensOnCtrlLAndFromTheMenuWithARowPerVolley() {
        VolleyLogWindow& log = threeVolleys(".");
        QVERIFY(log.isVisible());
        QCOMPARE(log.windowTitle(), "Volley Log - Tarvelin");
        QCOMPARE(log.table()->model()->rowCount(), 3);
        const QStringList want[] = {
            {"Volley 1", "12 shots, Aimcraft 4 (needed roll 4, Moved), To Wound 4, Armour Save 5",
             "6.", "3.", "1.", "2."},
            {"Volley 2", "24 shots, Aimcraft 4 (needed roll 4, Moved), To Wound 4, Armour Save 5",
             "12.", "6.", "2.", "4."},
            {"Volley 3", "24 shots, Aimcraft 4 (needed roll 4, Moved), To Wound 4, Armour Save 3",
             "12.", "6.", "4.", "2."}};
        const int shots[] = {12, 24, 24};
        const long double casualty[] = {1.0L / 6, 1.0L / 6, 1.0L / 12};
        for (int row = 0; row < 3; ++row) {
            for (int c = 0; c < 6; ++c) {
                QCOMPARE(cell(log, row, LogColumn(c)), want[row][c]);
            }
            const auto chance =
                static_cast<double>(1 - binomial_model::term(shots[row], 0, casualty[row]));
            QCOMPARE(cell(log, row, LogColumn::AtLeastOne),
                     QString::fromStdString(tarvelin::PercentText(chance, ".")) + " %");
        }
        // A volley renamed keeps its new name; an empty one keeps the old.
        auto* model = log.table()->model();
        QVERIFY(model->setData(model->index(0, 0), "First", Qt::EditRole));
        QVERIFY(!model->setData(model->index(1, 0), "  ", Qt::EditRole));
        QCOMPARE(cell(log, 0, LogColumn::Name) + cell(log, 1, LogColumn::Name), "FirstVolley 2");
        // Sorted by casualties, largest first: Volley 2 leads.
        log.table()->sortByColumn(int(LogColumn::Casualties), Qt::DescendingOrder);
        QCOMPARE(cell(log, 0, LogColumn::Name), "Volley 2");
        log.close();
        QAction* entry = driver::menuEntry(*form, Field::Text9, "Volley Log");
        QVERIFY(entry != nullptr);
        const QList<QAction*> entries =
            qobject_cast<QMenu*>(QApplication::activePopupWidget())->actions();
        QCOMPARE(entries.value(entries.indexOf(entry) + 1)->text(), "Compare with This");
        driver::closeMenu();
        form->logAction()->trigger();
        QVERIFY(log.isVisible());
        QCOMPARE(log.table()->model()->rowCount(), 3);
    }

    // Every selected volley is one line over the same counts, each mark its
    // binomial chance; with the total the table has a column more.
    void comparesSelectedVolleysExactly() {
        VolleyLogWindow& log = threeVolleys(".");
        select(log, {0, 1, 2});
        const std::vector<LogChart::Line>& lines = log.chart()->lines();
        QCOMPARE(lines.size(), 3U);
        QVERIFY(log.chart()->total().has_value());
        const int shots[] = {12, 24, 24};
        const long double casualty[] = {1.0L / 6, 1.0L / 6, 1.0L / 12};
        for (std::size_t v = 0; v < 3; ++v) {
            QCOMPARE(lines[v].chart.bars.size(), lines[0].chart.bars.size());
            for (std::size_t b = 0; b < lines[v].chart.bars.size(); ++b) {
                const tarvelin::ChartBar& bar = lines[v].chart.bars[b];
                QCOMPARE(bar.count, lines[0].chart.bars[b].count);
                const long double exact =
                    bar.count <= shots[v] ? binomial_model::term(shots[v], bar.count, casualty[v])
                                          : 0.0L;
                QVERIFY(std::fabs(bar.chance - static_cast<double>(exact)) <= 1e-15);
            }
        }
        // Each volley's colour stands out from a light and a dark background, and from the others.
        QPalette dark;
        dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
        dark.setColor(QPalette::Text, QColor(0xee, 0xee, 0xee));
        for (const QPalette& palette : {log.chart()->palette(), dark}) {
            QSet<QRgb> seen;
            for (std::size_t v = 0; v < LogChart::kMostSeries; ++v) {
                const QColor colour = LogChart::seriesColour(v, palette);
                QVERIFY(chart::contrast(colour, palette.color(QPalette::Base)) >= 3);
                seen.insert(colour.rgb());
            }
            QCOMPARE(seen.size(), qsizetype{LogChart::kMostSeries});
        }
        QTableWidget* table = log.comparison();
        QCOMPARE(table->columnCount(), 4);
        QVERIFY(table->rowCount() > 0);
        for (int r = 0; r < table->rowCount(); ++r) {
            const int k = table->verticalHeaderItem(r)->text().section(' ', 2).toInt();
            double highest = 0;
            for (int v = 0; v < 3; ++v) {
                highest =
                    std::max(highest, binomial_model::chanceOfCounts(
                                          shots[v], k, shots[v], static_cast<double>(casualty[v])));
            }
            for (int v = 0; v < 3; ++v) {
                const double chance = binomial_model::chanceOfCounts(
                    shots[v], k, shots[v], static_cast<double>(casualty[v]));
                const QString percent =
                    QString::fromStdString(tarvelin::PercentText(chance, ".")) + " %";
                QCOMPARE(table->item(r, v)->data(Qt::AccessibleTextRole).toString(),
                         percent + (chance == highest ? " (highest)" : ""));
            }
        }
        // The first two together are 36 shots at the same rolls.
        select(log, {0, 1});
        const double six = binomial_model::chanceOfCounts(36, 6, 36, 1.0 / 6);
        QCOMPARE(log.together()->text(),
                 "All 2 together: average 6 casualties; at least 6: " +
                     QString::fromStdString(tarvelin::PercentText(six, ".")) + " %");
        QVERIFY(log.comparisonText().endsWith(log.together()->text() + '\n'));
    }

    void copiesAndSavesRowsThatReadBack_data() {
        QTest::addColumn<QString>("separator");
        QTest::newRow("English") << ".";
        QTest::newRow("German") << ",";
    }
    void copiesAndSavesRowsThatReadBack() {
        QFETCH(QString, separator);
        VolleyLogWindow& log = threeVolleys(separator.toStdString());
        select(log, {0, 1, 2});
        log.table()->setFocus();
        QTest::keyClick(log.table(), Qt::Key_C, Qt::ControlModifier);
        QStringList want{"Name|Volley|Hits|Wounds|Saves|Casualties|At least 1 casualty %"};
        for (int row = 0; row < 3; ++row) {
            QStringList cells;
            for (int c = 0; c < kLogColumns; ++c) {
                cells << log.model()->cell(static_cast<std::size_t>(row), LogColumn(c), true);
            }
            want << cells.join('|');
        }
        QCOMPARE(want[3].section('|', 2, 5), "12|6|4|2");
        QCOMPARE(readBack(QGuiApplication::clipboard()->text().toUtf8(), '\t'), want);
        QTemporaryDir dir;
        const QString path = dir.filePath("log.csv");
        QCOMPARE(log.saveAs(path), std::nullopt);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(readBack(file.readAll(), separator == "," ? ';' : ','), want);
        // A file that cannot be written says so, and the log stays whole.
        const std::optional<QString> failure = log.saveAs(dir.filePath("missing/log.csv"));
        QVERIFY(failure && failure->contains("\"log.csv\"") && failure->contains("missing"));
        QCOMPARE(log.table()->model()->rowCount(), 3);
        auto* message = log.findChild<QMessageBox*>();
        QVERIFY(message != nullptr && message->text() == *failure);
        message->close();
    }

    void enterBringsAVolleyBackAsOneStep() {
        VolleyLogWindow& log = threeVolleys(".");
        const int steps = form->history().stack().count();
        log.table()->setCurrentIndex(log.table()->model()->index(0, 0));
        QTest::keyClick(log.table(), Qt::Key_Return);
        QCOMPARE(form->sheet().state(), example);
        QCOMPARE(form->field(Field::Text9)->text(), "2.");
        QCOMPARE(form->history().stack().count(), steps + 1);
        form->history().stack().undo();
        QCOMPARE(form->field(Field::Text9)->text(), "2.");
        QCOMPARE(form->field(Field::Text8)->text(), "4.");
        // Delete takes the selected rows out; Clear Log all.
        select(log, {0, 2});
        QTest::keyClick(log.table(), Qt::Key_Delete);
        QCOMPARE(cell(log, 0, LogColumn::Name), "Volley 2");
        QCOMPARE(log.table()->model()->rowCount(), 1);
    }
};

QTEST_MAIN(TestVolleyLog)
#include "test_volley_log.moc"
