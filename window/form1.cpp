// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/form1.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>

#include "window/controls.h"
#include "window/explanations.h"
#include "window/failure_message.h"
#include "window/result_odds.h"

using tarvelin::Box;
using tarvelin::Command;
using tarvelin::Field;
using tarvelin::indexOf;
using tarvelin::VolleySheet;

using TextSlot = void (Form1::*)(const QString&);
using BoxSlot = void (Form1::*)(bool);
using ClickSlot = void (Form1::*)();

namespace {

// A plain top-level QWidget is announced as a "filler"; this one is the
// program's window.
QAccessibleInterface* accessibleWindow(const QString& className, QObject* object) {
    if (className == QLatin1String("Form1") && object->isWidgetType()) {
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

Form1::Form1(std::string separator, QWidget* parent)
    : QWidget(parent),
      sheet_(*this, std::move(separator)),
      widgets_(buildFormWidgets(*this)),
      announcer_(new Announcer(this)) {
    setObjectName("Form1");
    bind();
    describeControls();
    results_ = new ResultOddsView(
        *this, sheet_,
        {field(Field::Text3), field(Field::Text6), field(Field::Text8), field(Field::Text9)});
    connect(results_, &ResultOddsView::pinChanged, announcer_, &Announcer::say);
}

void Form1::installAccessibleRole() {
    QAccessible::installFactory(accessibleWindow);
}

Form1::~Form1() {
    // The children go after this class's members, and their focus moves as
    // they go; nothing of this class may hear of it by then.
    disconnect(qApp, nullptr, this, nullptr);
}

void Form1::bind() {
    // textChanged, unlike textEdited, also sees undo, redo and edits made
    // through the accessibility interface. The sheet ignores an equal text,
    // so its own writes coming back here are harmless.
    const TextSlot textSlots[] = {&Form1::Text1_Change, &Form1::Text2_Change, &Form1::Text3_Change,
                                  &Form1::Text4_Change, &Form1::Text5_Change, &Form1::Text6_Change,
                                  &Form1::Text7_Change, &Form1::Text8_Change, &Form1::Text9_Change};
    for (const Field f : tarvelin::kAllFields) {
        connect(widgets_.texts[indexOf(f)], &QLineEdit::textChanged, this, textSlots[indexOf(f)]);
    }
    const ClickSlot clickSlots[] = {&Form1::Command1_Click, &Form1::Command2_Click,
                                    &Form1::Command3_Click, &Form1::Command4_Click,
                                    &Form1::Command5_Click, &Form1::Command6_Click};
    for (const Command c : tarvelin::kAllCommands) {
        QPushButton* const button = widgets_.commands[indexOf(c)];
        connect(button, &QPushButton::clicked, this, clickSlots[indexOf(c)]);
        // Enter on a focused button presses it, as Space does.
        button->setAutoDefault(true);
    }
    // toggled, unlike clicked, also sees the accessibility toggle action.
    const BoxSlot boxSlots[] = {&Form1::Check1_Click, &Form1::Check2_Click, &Form1::Check3_Click,
                                &Form1::Check4_Click, &Form1::Check5_Click, &Form1::Check6_Click};
    for (const Box b : tarvelin::kAllBoxes) {
        connect(widgets_.checks[indexOf(b)], &QCheckBox::toggled, this, boxSlots[indexOf(b)]);
    }
    // Enter in an input presses the step that reads it; focus stays put.
    for (const Field f : tarvelin::kAllFields) {
        const FieldControl& control = controlOf(f);
        if (control.input) {
            connect(widgets_.texts[indexOf(f)], &QLineEdit::returnPressed,
                    widgets_.commands[indexOf(control.command)], &QPushButton::click);
        }
    }
    // The platform's own close and quit keys, and Ctrl+W and Ctrl+Q wherever
    // its key scheme lacks them.
    auto* closing = new QShortcut(this);
    QList<QKeySequence> keys = QKeySequence::keyBindings(QKeySequence::Close) +
                               QKeySequence::keyBindings(QKeySequence::Quit);
    for (const QKeySequence& key :
         {QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_Q)}) {
        if (!keys.contains(key)) {
            keys << key;
        }
    }
    closing->setKeys(keys);
    connect(closing, &QShortcut::activated, this, &QWidget::close);
}

void Form1::describeControls() {
    const auto describe = [](QWidget* widget, const QString& text) {
        widget->setToolTip(text);
        widget->setAccessibleDescription(text);
    };
    for (const Field f : tarvelin::kAllFields) {
        describe(widgets_.texts[indexOf(f)], fieldHelp(f));
    }
    for (const Command c : tarvelin::kAllCommands) {
        describe(widgets_.commands[indexOf(c)], commandHelp(c));
    }
    for (const Box b : tarvelin::kAllBoxes) {
        describe(widgets_.checks[indexOf(b)], boxHelp(b));
    }
}

QLineEdit* Form1::field(Field field) const {
    return widgets_.texts[indexOf(field)];
}
QCheckBox* Form1::box(Box box) const {
    return widgets_.checks[indexOf(box)];
}

void Form1::paintEvent(QPaintEvent* /*event*/) {
    paintFrame(*this, widgets_);
}

bool Form1::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    // The desktop's text size changed: the form grows or shrinks with it.
    // Only geometry changes, so whatever is typed stays.
    if (event->type() == QEvent::ApplicationFontChange) {
        fitForm(*this, widgets_);
        update();
    }
    return handled;
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing always ends the program, a failure message or tooltip open or not.
    results_->hideTip();
    if (message_ != nullptr) {
        message_->disconnect(this);
        message_->close();
    }
    event->accept();
}

void Form1::step(std::optional<tarvelin::SheetFailure> (VolleySheet::*action)(), Command command,
                 std::optional<Field> shown) {
    const unsigned failuresBefore = failures_;
    results_->begin(command);
    (sheet_.*action)();
    // The sheet reports a failure back through failed(), which counts it.
    // cppcheck-suppress knownConditionTrueFalse
    const bool stopped = failures_ != failuresBefore;
    results_->end(stopped);
    // cppcheck-suppress knownConditionTrueFalse
    if (stopped) {
        return;  // the failure message speaks instead
    }
    QWidget* const source = widgets_.commands[indexOf(command)];
    if (!shown) {
        announcer_->say(source, "Aimcraft, Shots, To Wound and Armour Save cleared.");
        return;
    }
    const QString text = widgets_.texts[indexOf(*shown)]->text();
    const std::optional<double> pinned = results_->pinnedAverage(*shown);
    announcer_->say(source, pinned ? announcement(*shown, text, *pinned, sheet_.separator())
                                   : announcement(*shown, text));
}

void Form1::tick(Box box, bool ticked) {
    const std::string rollBefore = sheet_.text(Field::Text2);
    const unsigned failuresBefore = failures_;
    results_->begin(tarvelin::BoxClick{box, ticked});
    sheet_.setBox(box, ticked);
    // failed() counts a failure of the tick's rule while setBox runs.
    // cppcheck-suppress knownConditionTrueFalse
    results_->end(failures_ != failuresBefore);
    // A tick that fails leaves the roll as it was, and so do the boxes that
    // Clear unticks, which come back here with the sheet already changed.
    if (sheet_.text(Field::Text2) != rollBefore) {
        announcer_->say(widgets_.checks[indexOf(box)],
                        announcement(Field::Text2, widgets_.texts[indexOf(Field::Text2)]->text()));
    }
}

void Form1::Command1_Click() {
    step(&VolleySheet::onToHit, Command::Command1, Field::Text2);
}
void Form1::Command2_Click() {
    step(&VolleySheet::onHits, Command::Command2, Field::Text3);
}
void Form1::Command3_Click() {
    step(&VolleySheet::onWounds, Command::Command3, Field::Text6);
}
void Form1::Command4_Click() {
    step(&VolleySheet::onSaves, Command::Command4, Field::Text8);
}
void Form1::Command5_Click() {
    step(&VolleySheet::onCasualties, Command::Command5, Field::Text9);
}
void Form1::Command6_Click() {
    step(&VolleySheet::onClear, Command::Command6, std::nullopt);
}

void Form1::Check1_Click(bool ticked) {
    tick(Box::Check1, ticked);
}
void Form1::Check2_Click(bool ticked) {
    tick(Box::Check2, ticked);
}
void Form1::Check3_Click(bool ticked) {
    tick(Box::Check3, ticked);
}
void Form1::Check4_Click(bool ticked) {
    tick(Box::Check4, ticked);
}
void Form1::Check5_Click(bool ticked) {
    tick(Box::Check5, ticked);
}
void Form1::Check6_Click(bool ticked) {
    tick(Box::Check6, ticked);
}

void Form1::Text1_Change(const QString& text) {
    sheet_.setText(Field::Text1, text.toStdString());
}
void Form1::Text2_Change(const QString& text) {
    sheet_.setText(Field::Text2, text.toStdString());
}
void Form1::Text3_Change(const QString& text) {
    sheet_.setText(Field::Text3, text.toStdString());
}
void Form1::Text4_Change(const QString& text) {
    sheet_.setText(Field::Text4, text.toStdString());
}
void Form1::Text5_Change(const QString& text) {
    sheet_.setText(Field::Text5, text.toStdString());
}
void Form1::Text6_Change(const QString& text) {
    sheet_.setText(Field::Text6, text.toStdString());
}
void Form1::Text7_Change(const QString& text) {
    sheet_.setText(Field::Text7, text.toStdString());
}
void Form1::Text8_Change(const QString& text) {
    sheet_.setText(Field::Text8, text.toStdString());
}
void Form1::Text9_Change(const QString& text) {
    sheet_.setText(Field::Text9, text.toStdString());
}

void Form1::textChanged(Field field, const std::string& text) {
    QLineEdit* edit = widgets_.texts[indexOf(field)];
    const QString shown = QString::fromStdString(text);
    // Setting an equal text would still move the cursor and wipe the undo
    // history of the field the user is typing in.
    if (edit->text() != shown) {
        edit->setText(shown);
    }
    results_->changed(field);
}

void Form1::boxChanged(Box box, bool ticked) {
    widgets_.checks[indexOf(box)]->setChecked(ticked);
    results_->changed(box, ticked);
}

void Form1::failed(const tarvelin::SheetFailure& failure) {
    ++failures_;
    QLineEdit* culprit = widgets_.texts[indexOf(failure.field)];
    const QString text = failureMessage(failure, culprit->text(), sheet_.separator());
    // A new failure replaces the message on screen rather than stacking.
    if (message_ != nullptr) {
        message_->disconnect(this);
        message_->close();
    }
    auto* dialog = new QMessageBox(QMessageBox::Warning, "Tarvelin", text, QMessageBox::Ok, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, this, [this, culprit] {
        activateWindow();
        culprit->setFocus(Qt::OtherFocusReason);
        culprit->selectAll();
    });
    dialog->setWindowModality(Qt::NonModal);
    message_ = dialog;
    // Shown without modality, and not run in a loop of its own: the action
    // that failed has ended, and a window blocked by a modal message would
    // drop the desktop's request to close it.
    dialog->show();
}
