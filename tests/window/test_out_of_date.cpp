// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "window/explanations.h"
#include "window/form1.h"

#include "tests/window/chart_checks.h"
#include "tests/window/form_driver.h"

using tarvelin::Field;
using namespace chart_checks;

class TestOutOfDate : public QObject, public driver::FormFixture {
    Q_OBJECT

private slots:
    void init() { QVERIFY(open()); }
    void cleanup() { form.reset(); }

    // A result that no longer follows from what the form shows is faded and
    // says why first in its tooltip and description; running its step from
    // fresh inputs brings it back. marks: one letter per result, x when out of
    // date; line: the first line of the result named last.
    void resultsGoOutOfDate_data() {
        QTest::addColumn<bool>("example");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("line");
        const QStringList again{"Command2", "Command3", "Command4", "Command5", "Text9"};
        QTest::newRow("box") << true << QStringList{"Check3", "Text3"} << "xxxx"
                             << "Out of date: Soft Cover was ticked after Hits.";
        QTest::newRow("box, dark") << true << QStringList{"dark", "Check3", "Text9"} << "xxxx"
                                   << "Out of date: Soft Cover was ticked after Casualties.";
        QTest::newRow("box, steps again") << true << QStringList{"Check3"} + again << "...."
                                          << "";
        QTest::newRow("input") << true << QStringList{"Text5=3", "Text6"} << ".xxx"
                               << "Out of date: To Wound was changed after Wounds.";
        QTest::newRow("input, its step")
            << true << QStringList{"Text5=3", "Command3", "Text8"} << "..xx"
            << "Out of date: Wounds was worked out again after Saves.";
        QTest::newRow("step redone") << true << QStringList{"Command2", "Text9"} << ".xxx"
                                     << "Out of date: Hits was worked out again after Casualties.";
        QTest::newRow("needed roll by To Hit")
            << true << QStringList{"Text1=5", "Command1", "Text3"} << "xxxx"
            << "Out of date: To Hit changed the needed roll after Hits.";
        // The roll To Hit wrote follows the rating it came from; a typed one is the player's.
        QTest::newRow("a new rating") << true << QStringList{"Text1=3", "Text2"} << "xxxx"
                                      << "Out of date: Aimcraft was changed after To Hit.";
        QTest::newRow("the rating cleared") << true << QStringList{"Command6", "Text2"} << "xxxx"
                                            << "Out of date: Clear emptied Aimcraft after To Hit.";
        QTest::newRow("Hits from an old roll")
            << true << QStringList{"Text1=3", "Command2", "Text3"} << "xxxx"
            << "Out of date: Hits was worked out from the needed roll, which is out of date.";
        QTest::newRow("a typed roll")
            << false << QStringList{"Text2=4", "Text4=12", "Command2", "Text1=3", "Text2"} << "...."
            << "";
        QTest::newRow("Clear") << true << QStringList{"Command6", "Text6"} << "xxxx"
                               << "Out of date: Clear emptied Shots after Wounds.";
        const char* failed =
            "Out of date: Saves failed, so Casualties still subtracts the saves worked out before.";
        QTest::newRow("step failed")
            << true << QStringList{"Text7=7", "Command4", "Text9"} << "..xx" << failed;
        QTest::newRow("step failed, then Casualties")
            << true << QStringList{"Text7=7", "Command4", "Command5", "Text9"} << "..xx" << failed;
        QTest::newRow("step failed, then mended")
            << true
            << QStringList{"Text7=7", "Command4", "Text7=5", "Command4", "Command5", "Text9"}
            << "...."
            << "";
        QTest::newRow("without Hits")
            << false
            << QStringList{"Text5=4", "Text7=5", "Command3", "Command4", "Command5", "Text8"}
            << ".xxx"
            << "Out of date: Saves was worked out without Hits.";
    }

    void resultsGoOutOfDate() {
        QFETCH(bool, example);
        QFETCH(QStringList, actions);
        QFETCH(QString, marks);
        QFETCH(QString, line);
        const auto restore =
            qScopeGuard([desktop = QApplication::palette()] { QApplication::setPalette(desktop); });
        if (example) {
            workedExample("12");
        }
        for (const QString& action : actions.first(actions.size() - 1)) {
            if (action == "dark") {
                QApplication::setPalette(darkPalette());
            } else if (action.contains('=')) {
                type(Field(action.mid(4, 1).toInt() - 1), action.section('=', 1));
            } else {
                QTest::mouseClick(form->findChild<QAbstractButton*>(action), Qt::LeftButton);
            }
        }
        for (std::size_t i = 0; i < tarvelin::kResults.size(); ++i) {
            const QLineEdit* field = form->field(tarvelin::kResults[i].field);
            const bool stale = marks[qsizetype(i)] == 'x';
            QCOMPARE(field->toolTip().startsWith("Out of date: "), stale);
            QCOMPARE(field->accessibleDescription(), field->toolTip());
            QCOMPARE(field->font().italic(), stale);
            const QColor faint = QApplication::palette(field).color(QPalette::PlaceholderText);
            QCOMPARE(field->palette().color(QPalette::Text) == faint, stale);
        }
        const QLineEdit* named = form->findChild<QLineEdit*>(actions.back());
        QCOMPARE(named->toolTip().section('\n', 0, 0),
                 line.isEmpty() ? fieldHelp(Field(actions.back().mid(4).toInt() - 1)) : line);
    }
};

int main(int argc, char* argv[]) {
    return driver::runOnTestScreen<TestOutOfDate>(argc, argv, "test_out_of_date");
}
#include "test_out_of_date.moc"
