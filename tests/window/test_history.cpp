// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QUndoStack>
#include <memory>

#include "form_driver.h"
#include "window/announcer.h"
#include "window/form1.h"
#include "window/history.h"

using tarvelin::Field;
using tarvelin::indexOf;

namespace {

// All that the form shows and holds: the sheet whole, and each control's text,
// tooltip and look, which carry the odds, the marks and the pins.
struct Shown {
    tarvelin::VolleySheet::State sheet;
    QStringList fields;
    QList<bool> boxes;
    friend bool operator==(const Shown&, const Shown&) = default;
};

Shown shown(const Form1& form) {
    Shown now{form.sheet().state(), {}, {}};
    for (const Field field : tarvelin::kAllFields) {
        const QLineEdit* edit = form.field(field);
        // Not the accessible description: where announcements go through it,
        // the focused field carries what was just said.
        now.fields << edit->text() + '|' + edit->toolTip() +
                          (edit->font().italic() ? "|italic" : "");
    }
    for (const tarvelin::Box box : tarvelin::kAllBoxes) {
        now.boxes << form.box(box)->isChecked();
    }
    return now;
}

// "F5" presses Work Out All; "pin" keeps the casualties to compare with.
void act(Form1& form, const QString& action) {
    if (action == "F5") {
        driver::key(form, Qt::Key_F5);
    } else if (action == "pin") {
        driver::menuEntry(form, Field::Text9, "Compare with This")->trigger();
        driver::closeMenu();
        // The closed menu hands the activation back through the event loop.
        QCoreApplication::processEvents();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
    } else {
        driver::act(form, action);
    }
}

}  // namespace

class TestHistory : public QObject {
    Q_OBJECT

    std::unique_ptr<Form1> form;
    QStringList heard;

private slots:
    void init() {
        form = std::make_unique<Form1>(".");
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        heard.clear();
        connect(form->findChild<Announcer*>(), &Announcer::said, this,
                [this](QWidget*, const QString& text) { heard << text; });
    }
    void cleanup() { form.reset(); }

    // One step of each kind after the worked example, undone with the focus
    // in a field and redone: the form is each time exactly as it was.
    void eachStepIsUndoneAndRedoneWhole_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("step");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("said");
        QTest::newRow("Clear") << QStringList{} << QStringList{"Command6"} << "Clear"
                               << "Undid Clear: Aimcraft, Shots, To Wound and Armour Save are "
                                  "back. Moved ticked. Needed roll: 4.";
        QTest::newRow("a tick") << QStringList{} << QStringList{"Check3"} << "Tick Soft Cover"
                                << "Undid Tick Soft Cover. Soft Cover unticked. Needed roll: 4.";
        QTest::newRow("typing, merged in one field")
            << QStringList{} << QStringList{"Text4=240"} << "Typing in Shots"
            << "Undid Typing in Shots: Shots 12.";
        QTest::newRow("a step that failed")
            << QStringList{"Text1=11"} << QStringList{"Command1"} << "To Hit"
            << "Undid To Hit: Aimcraft is back.";
        QTest::newRow("a step pressed by mistake")
            << QStringList{"Text4=24"} << QStringList{"Command2"} << "Hits"
            << "Undid Hits. Hits: 6.";
        QTest::newRow("Work Out All")
            << QStringList{"Check3"} << QStringList{"F5"} << "Work Out All"
            << "Undid Work Out All. Hits: 6. Wounds: 3. Saves: 1. "
               "Casualties: 2.";
        QTest::newRow("a pin") << QStringList{} << QStringList{"pin"} << "Compare with This"
                               << "Undid Compare with This.";
    }

    void eachStepIsUndoneAndRedoneWhole() {
        QFETCH(QStringList, before);
        QFETCH(QStringList, step);
        QFETCH(QString, what);
        QFETCH(QString, said);
        driver::workedExample(*form);
        for (const QString& action : before) {
            act(*form, action);
        }
        form->field(Field::Text5)->setFocus();
        const Shown was = shown(*form);
        const int steps = form->history().stack().count();
        for (const QString& action : step) {
            act(*form, action);
        }
        if (QMessageBox* message = form->message()) {
            message->close();
        }
        const Shown done = shown(*form);
        QVERIFY(done != was);
        QCOMPARE(form->history().stack().count(), steps + 1);
        QCOMPARE(form->undoAction()->text(), "Undo " + what);
        QVERIFY(form->undoAction()->isEnabled());

        QLineEdit* focused = form->field(Field::Text4);
        focused->setFocus();
        driver::key(*form, Qt::Key_Z, Qt::ControlModifier);

        QCOMPARE(form->history().stack().index(), steps);
        QCOMPARE(shown(*form), was);
        QCOMPARE(QApplication::focusWidget(), focused);
        QTRY_VERIFY(heard.contains(said));
        driver::key(*form, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(shown(*form), done);
    }

    // Work Out All presses what a player would, in order, from the first
    // step that needs it, and stops where a step fails.
    void workOutAllBringsEveryResultUpToDate_data() {
        QTest::addColumn<bool>("example");
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QStringList>("texts");  // the roll, then the four results
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("said");
        QTest::newRow("a box ticked") << true << QStringList{"Check3"}
                                      << QStringList{"5", "4.", "2.", "0.7", "1.3"} << "....."
                                      << "Hits: 4., Wounds: 2., Saves: 0.7, Casualties: 1.3";
        QTest::newRow("a new rating")
            << true << QStringList{"Text1=3"} << QStringList{"5", "4.", "2.", "0.7", "1.3"}
            << "....."
            << "Needed roll: 5, Hits: 4., Wounds: 2., Saves: 0.7, Casualties: 1.3";
        QTest::newRow("a new save") << true << QStringList{"Text7=4"}
                                    << QStringList{"4", "6.", "3.", "1.5", "1.5"} << "....."
                                    << "Saves: 1.5, Casualties: 1.5";
        QTest::newRow("nothing to do")
            << true << QStringList{} << QStringList{"4", "6.", "3.", "1.", "2."} << "....."
            << "Every result is up to date.";
        QTest::newRow("from nothing")
            << false << QStringList{"Text1=4", "Text4=12", "Text5=4", "Text7=5"}
            << QStringList{"3", "8.", "4.", "1.3", "2.7"} << "....."
            << "Needed roll: 3, Hits: 8., Wounds: 4., Saves: 1.3, Casualties: 2.7";
        QTest::newRow("stopped by a save of 7")
            << true << QStringList{"Text7=7"} << QStringList{"4", "6.", "3.", "1.", "2."} << "...xx"
            << "";
    }

    void workOutAllBringsEveryResultUpToDate() {
        QFETCH(bool, example);
        QFETCH(QStringList, actions);
        QFETCH(QStringList, texts);
        QFETCH(QString, marks);
        QFETCH(QString, said);
        if (example) {
            driver::workedExample(*form);
        }
        for (const QString& action : actions) {
            act(*form, action);
        }
        QCoreApplication::processEvents();  // what the actions said before
        heard.clear();
        driver::menuEntry(*form, Field::Text3, "Work Out All")->trigger();
        driver::closeMenu();
        for (qsizetype i = 0; i < texts.size(); ++i) {
            const QLineEdit* field =
                form->field(i == 0 ? Field::Text2 : tarvelin::kResults[std::size_t(i) - 1].field);
            QCOMPARE(field->text(), texts[i]);
            QCOMPARE(field->toolTip().startsWith("Out of date: "), marks[i] == 'x');
        }
        QCOMPARE(form->message() != nullptr, said.isEmpty());
        if (!said.isEmpty()) {
            QTRY_COMPARE(heard, QStringList{said});
        }
    }

    // A result's menu offers what works on a result, the form's history
    // first; an input's own menu has the form's Undo in place of its own.
    void menusOfferTheFormsHistory() {
        driver::workedExample(*form);
        driver::menuEntry(*form, Field::Text9, "Copy");
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        QStringList entries;
        for (const QAction* entry : menu->actions()) {
            entries << entry->text();
        }
        QCOMPARE(entries, (QStringList{"Undo Casualties", "Redo", "", "Copy", "Select All", "",
                                       "Work Out All", "", "Volley Log", "Compare with This",
                                       "Stop Comparing", "", "Copy Odds as Text", "Copy Odds"}));
        QVERIFY(!menu->actions()[1]->isEnabled());
        QCOMPARE(menu->actions()[1]->toolTip(),
                 QString("Nothing has been undone that could be redone."));
        driver::closeMenu();
        QAction* undo = driver::menuEntry(*form, Field::Text4, "Undo Casualties");
        QVERIFY(undo != nullptr);
        const QList<QAction*> own = QApplication::activePopupWidget()->actions();
        QVERIFY(std::none_of(own.begin(), own.end(), [](const QAction* a) {
            return a->objectName() == "edit-undo" || a->objectName() == "edit-redo";
        }));
        undo->trigger();
        driver::closeMenu();
        QCOMPARE(form->field(Field::Text9)->text(), QString());
    }
};

QTEST_MAIN(TestHistory)
#include "test_history.moc"
