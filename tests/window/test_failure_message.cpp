// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include <QTest>

#include "window/failure_message.h"

using tarvelin::Field;
using tarvelin::Problem;
using tarvelin::SheetFailure;

namespace {

// One case: the field, its problem and value, what it held, the separator
// and the message expected.
void row(const char* name, Field f, Problem p, double v, const char* text, const char* sep,
         const char* expected) {
    QTest::newRow(name) << int(f) << int(p) << v << QString::fromUtf8(text)
                        << QString::fromUtf8(sep) << QString::fromUtf8(expected);
}

// The cases where the field holds a text that is no number, shown cut to
// its first 24 characters.
void notANumberRows() {
    row("words", Field::Text5, Problem::NotANumber, 0, "four", ".",
        "To Wound holds “four”, which is not a number. Type the roll needed to wound, then "
        "press Wounds.");
    row("wrong separator", Field::Text7, Problem::NotANumber, 0, "2.5", ",",
        "Armour Save holds “2.5”, which is not a number. Type the armour save, then press "
        "Saves. Numbers here use “,” as the decimal separator.");
    row("comma under a dot locale", Field::Text4, Problem::NotANumber, 0, "2,5", ".",
        "Shots holds “2,5”, which is not a number. Type the number of shots, then press Hits. "
        "Numbers here use “.” as the decimal separator.");
    row("24 characters whole", Field::Text4, Problem::NotANumber, 0, "abcdefghijklmnopqrstuvwx",
        ".",
        "Shots holds “abcdefghijklmnopqrstuvwx”, which is not a number. Type the number of "
        "shots, then press Hits.");
    row("25 characters cut", Field::Text4, Problem::NotANumber, 0, "abcdefghijklmnopqrstuvwxy", ".",
        "Shots holds “abcdefghijklmnopqrstuvwx…”, which is not a number. Type the number of "
        "shots, then press Hits.");
    row("long text is cut", Field::Text4, Problem::NotANumber, 0, "12345678901234567890123456789x",
        ".",
        "Shots holds “123456789012345678901234…”, which is not a number. Type the number of "
        "shots, then press Hits.");
    QTest::newRow("control characters")
        << int(Field::Text4) << int(Problem::NotANumber) << 0.0 << (QString("4") + QChar(0) + "\t5")
        << QString(".")
        << QString::fromUtf8(
               "Shots holds “4\uFFFD\uFFFD5”, which is not a number. Type the "
               "number of shots, then press Hits.");
}

}  // namespace

class TestFailureMessage : public QObject {
    Q_OBJECT

private slots:
    void message_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("problem");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("separator");
        QTest::addColumn<QString>("expected");
        row("empty shots", Field::Text4, Problem::Empty, 0, "", ".",
            "Shots is empty. Type the number of shots, then press Hits.");
        row("empty roll", Field::Text2, Problem::Empty, 0, "", ".",
            "Needed roll is empty. Press To Hit to work it out, or type the roll needed to hit, "
            "then press Hits.");
        notANumberRows();
        row("too large", Field::Text4, Problem::TooLarge, 0, "1e999", ".",
            "Shots holds a number too large to work with. Type the number of shots, then press "
            "Hits.");
        row("rating 11", Field::Text1, Problem::OutOfRange, 11, "", ".",
            "The Aimcraft rating must be from 1 to 10; 11 is outside that range, so the field was "
            "emptied. Type the shooters' Aimcraft rating, from 1 to 10, then press To Hit.");
        row("rating 5,5", Field::Text1, Problem::NotOnTable, 5.5, "5,5", ",",
            "An Aimcraft rating of 5,5 is not on the rating table, which has the whole ratings 1 "
            "to 10. The needed roll was left unchanged.");
        row("roll 2.5", Field::Text2, Problem::NotOnTable, 2.5, "2.5", ".",
            "A needed roll of 2.5 is not on the hit table, which takes whole rolls (any roll below "
            "2 or from 9 up counts too). Hits was left unchanged.");
        row("to-wound 7", Field::Text5, Problem::NotOnTable, 7, "7", ".",
            "A to-wound roll of 7 is not on the wound table, which takes whole rolls up to 6. "
            "Wounds was left unchanged.");
        row("save 7", Field::Text7, Problem::NotOnTable, 7, "7", ".",
            "A save of 7 is not on the save table, which takes whole saves up to 6. Saves was left "
            "unchanged.");
        row("overflow", Field::Text9, Problem::ResultOverflow, 0, "", ".",
            "The result for Casualties is too large to show, so Casualties was left unchanged. "
            "Check the numbers that led to it.");
    }

    void message() {
        QFETCH(int, field);
        QFETCH(int, problem);
        QFETCH(double, value);
        QFETCH(QString, text);
        QFETCH(QString, separator);
        QFETCH(QString, expected);
        const SheetFailure failure{Field(field), Problem(problem), value};
        QCOMPARE(failureMessage(failure, text, separator.toStdString()), expected);
    }
};

QTEST_MAIN(TestFailureMessage)
#include "test_failure_message.moc"
