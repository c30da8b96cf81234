// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/form1.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QUndoStack>
#include <algorithm>

#include "window/controls.h"
#include "window/explanations.h"
#include "window/failure_message.h"
#include "window/history.h"
#include "window/result_odds_view.h"
#include "window/utf8.h"
#include "window/volley_log_window.h"

using tarvelin::Box;
using tarvelin::Command;
using tarvelin::Field;
using tarvelin::indexOf;
using tarvelin::VolleySheet;

using TextSlot = void (Form1::*)(const QString&);
using BoxSlot = void (Form1::*)(bool);
using ClickSlot = void (Form1::*)();

namespace {

// Ctrl+Shift+Z and the platform's own redo keys; Ctrl+Z and its undo keys.
bool isRedoKey(const QKeyEvent& key) {
    return key.matches(QKeySequence::Redo) ||
           key.keyCombination() == QKeyCombination(Qt::CTRL | Qt::SHIFT, Qt::Key_Z);
}
bool isUndoKey(const QKeyEvent& key) {
    return !isRedoKey(key) && (key.matches(QKeySequence::Undo) ||
                               key.keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Z));
}

// The platform's keys for a standard action, and `also` where they lack it.
QList<QKeySequence> keysFor(QKeySequence::StandardKey standard, const QKeySequence& also) {
    QList<QKeySequence> keys = QKeySequence::keyBindings(standard);
    if (!keys.contains(also)) {
        keys << also;
    }
    return keys;
}

QString typingName(Field field) {
    return "Typing in " +
           (field == Field::Text2 ? QString("the needed roll") : fieldCaption(field));
}

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
    history_ = new FormHistory(
        this, [this] { return formState(); }, [this](const FormState& state) { restore(state); });
    bind();
    describeControls();
    ResultOddsView::ResultFields results{};
    for (std::size_t i = 0; i < results.size(); ++i) {
        results[i] = field(tarvelin::kResults[i].field);
    }
    results_ = new ResultOddsView(*this, sheet_, results, *field(Field::Text2), *history_);
    bindHistory();
    connect(results_, &ResultOddsView::pinChanged, announcer_, &Announcer::say);
    openLog_ = new QAction("Volley Log", this);
    openLog_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    openLog_->setShortcutContext(Qt::WindowShortcut);
    openLog_->setToolTip(
        "Opens the log of every volley worked out, to compare, copy and save them.");
    addAction(openLog_);
    connect(openLog_, &QAction::triggered, this, &Form1::openLog);
    results_->setLogAction(openLog_);
}

void Form1::logStep(Command command) {
    const tarvelin::LogChange change = log_.worked(sheet_.state(), command);
    if (logWindow_ != nullptr) {
        logWindow_->logChanged(change);
    }
}

void Form1::openLog() {
    if (logWindow_ == nullptr) {
        logWindow_ = new VolleyLogWindow(
            log_, sheet_.separator(), [this](std::size_t row) { useVolley(row); }, this);
    }
    logWindow_->open();
}

void Form1::useVolley(std::size_t row) {
    if (row >= log_.rows().size()) {
        return;
    }
    const tarvelin::LoggedVolley& volley = log_.rows()[row];
    history_->record("Use " + QString::fromStdString(volley.name),
                     [&] { sheet_.restore(volley.state); });
    log_.broughtBack(row);
    results_->refresh();
}

void Form1::installAccessibleRole() {
    QAccessible::installFactory(accessibleWindow);
}

Form1::~Form1() {
    // The children go after this class's members, and their focus moves as
    // they go; nothing of this class may hear of it by then.
    disconnect(qApp, nullptr, this, nullptr);
    // The history is a child too, and its stack says so as it empties.
    history_->stack().disconnect(this);
    history_->disconnect(this);
    // The log window shows the log, a member, which goes before the children do.
    delete logWindow_;
}

void Form1::bind() {
    // textChanged, unlike textEdited, also sees undo, redo and edits made
    // through the accessibility interface. The sheet ignores an equal text,
    // so its own writes coming back here are harmless.
    const TextSlot textSlots[] = {&Form1::Text1_Change, &Form1::Text2_Change, &Form1::Text3_Change,
                                  &Form1::Text4_Change, &Form1::Text5_Change, &Form1::Text6_Change,
                                  &Form1::Text7_Change, &Form1::Text8_Change, &Form1::Text9_Change};
    for (const Field f : tarvelin::kAllFields) {
        QLineEdit* const edit = widgets_.texts[indexOf(f)];
        connect(edit, &QLineEdit::textChanged, this, textSlots[indexOf(f)]);
        // The form keeps the one undo history; a field's own would disagree with it.
        edit->installEventFilter(this);
        if (controlOf(f).input) {
            edit->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(edit, &QLineEdit::customContextMenuRequested, this,
                    [this, edit](const QPoint& pos) { showInputMenu(*edit, pos); });
        }
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

void Form1::bindHistory() {
    QUndoStack& stack = history_->stack();
    undo_ = new QAction("Undo", this);
    redo_ = new QAction("Redo", this);
    workOutAll_ = new QAction("Work Out All", this);
    undo_->setShortcuts(keysFor(QKeySequence::Undo, QKeySequence(Qt::CTRL | Qt::Key_Z)));
    redo_->setShortcuts(
        keysFor(QKeySequence::Redo, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
    workOutAll_->setShortcuts(keysFor(QKeySequence::Refresh, QKeySequence(Qt::Key_F5)));
    workOutAll_->setToolTip(
        "Works out every result that is out of date or not yet worked out, pressing the steps in "
        "order.");
    for (QAction* action : {undo_, redo_, workOutAll_}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    connect(undo_, &QAction::triggered, &stack, &QUndoStack::undo);
    connect(redo_, &QAction::triggered, &stack, &QUndoStack::redo);
    connect(workOutAll_, &QAction::triggered, this, &Form1::WorkOutAll_Click);
    const auto name = [this, &stack] {
        undo_->setEnabled(stack.canUndo());
        undo_->setText(stack.canUndo() ? "Undo " + stack.undoText() : "Undo");
        undo_->setToolTip(stack.canUndo() ? "Takes back " + stack.undoText() + "."
                                          : "Nothing has been done yet that could be undone.");
        redo_->setEnabled(stack.canRedo());
        redo_->setText(stack.canRedo() ? "Redo " + stack.redoText() : "Redo");
        redo_->setToolTip(stack.canRedo() ? "Does " + stack.redoText() + " again."
                                          : "Nothing has been undone that could be redone.");
    };
    connect(&stack, &QUndoStack::indexChanged, this, name);
    name();
    results_->setFormActions({undo_, redo_}, workOutAll_);
    connect(history_, &FormHistory::moved, this,
            [this](bool undone, const QString& what, const FormState& from, const FormState& to) {
                announcer_->say(this, historyAnnouncement(undone, what, from.sheet, to.sheet));
            });
    // Typing in a field is one step until the focus leaves it.
    connect(qApp, &QApplication::focusChanged, this, [this] { history_->closeTyping(); });
}

FormState Form1::formState() const {
    return {sheet_.state(), results_ != nullptr ? results_->pins() : ResultOddsView::Pins{}};
}

void Form1::restore(const FormState& state) {
    sheet_.restore(state.sheet);
    results_->restorePins(state.pins);
    results_->refresh();
}

void Form1::showInputMenu(QLineEdit& field, const QPoint& pos) {
    QMenu* menu = field.createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setToolTipsVisible(true);
    for (QAction* own : menu->actions()) {
        if (own->objectName() == "edit-undo" || own->objectName() == "edit-redo") {
            menu->removeAction(own);
        }
    }
    menu->insertActions(menu->actions().value(0), {undo_, redo_});
    menu->popup(field.mapToGlobal(pos));
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

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    // A field claims its undo and redo keys before any shortcut sees them;
    // here they go to the form's history instead, and a key with nothing to
    // undo or redo does nothing rather than reach the field's own.
    if (event->type() == QEvent::KeyPress) {
        const auto& key = *static_cast<QKeyEvent*>(event);
        QAction* const chosen = isRedoKey(key) ? redo_ : isUndoKey(key) ? undo_ : nullptr;
        if (chosen != nullptr) {
            if (chosen->isEnabled()) {
                chosen->trigger();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent* event) {
    // Closing always ends the program, a failure message or tooltip open or not.
    results_->hideTip();
    if (logWindow_ != nullptr) {
        logWindow_->close();
    }
    if (message_ != nullptr) {
        message_->disconnect(this);
        message_->close();
    }
    event->accept();
}

void Form1::step(Action action, Command command) {
    std::optional<tarvelin::SheetFailure> failure;
    history_->record(commandCaption(command), [&] { failure = (sheet_.*action)(); });
    if (!failure) {
        logStep(command);
    }
    results_->refresh();
    if (!failure) {  // the failure message speaks instead
        announcer_->say(widgets_.commands[indexOf(command)], said(command));
    }
}

QString Form1::said(Command command) const {
    if (command == Command::Command6) {
        return "Aimcraft, Shots, To Wound and Armour Save cleared.";
    }
    const auto* const row = std::find_if(
        tarvelin::kResults.begin(), tarvelin::kResults.end(),
        [command](const tarvelin::ResultRow& result) { return result.step == command; });
    const Field shown = row != tarvelin::kResults.end() ? row->field : Field::Text2;
    const QString text = widgets_.texts[indexOf(shown)]->text();
    const std::optional<double> pinned = results_->pinnedAverage(shown);
    return pinned ? announcement(shown, text, *pinned, sheet_.separator())
                  : announcement(shown, text);
}

void Form1::tick(Box box, bool ticked) {
    const std::string rollBefore = sheet_.text(Field::Text2);
    history_->record(QString(ticked ? "Tick " : "Untick ") + utf8(tarvelin::BoxCaption(box)),
                     [&] { sheet_.setBox(box, ticked); });
    // The boxes that Clear unticks, or undo puts back, come back here while
    // the step that moved them runs; it speaks for them.
    if (history_->busy()) {
        return;
    }
    results_->refresh();
    // A tick that fails leaves the roll as it was.
    if (sheet_.text(Field::Text2) != rollBefore) {
        announcer_->say(widgets_.checks[indexOf(box)],
                        announcement(Field::Text2, widgets_.texts[indexOf(Field::Text2)]->text()));
    }
}

void Form1::typed(Field field, const QString& text) {
    const auto pass = [&] { sheet_.setText(field, text.toStdString()); };
    history_->record(typingName(field), pass, field);
    if (!history_->busy()) {
        results_->refresh();
    }
}

void Form1::WorkOutAll_Click() {
    tarvelin::WorkOutAll done;
    history_->record("Work Out All", [&] { done = sheet_.workOutAll(); });
    // Each step as if pressed by hand, up to the one that failed.
    for (std::size_t i = 0; i < done.pressed.size(); ++i) {
        if (!done.failure || i + 1 < done.pressed.size()) {
            logStep(done.pressed[i]);
        }
    }
    results_->refresh();
    if (done.failure) {
        return;  // the failure message speaks for the step that stopped it
    }
    QStringList lines;
    for (const Command pressed : done.pressed) {
        lines << said(pressed);
    }
    announcer_->say(this,
                    lines.isEmpty() ? QString("Every result is up to date.") : lines.join(", "));
}

void Form1::Command1_Click() {
    step(&VolleySheet::onToHit, Command::Command1);
}
void Form1::Command2_Click() {
    step(&VolleySheet::onHits, Command::Command2);
}
void Form1::Command3_Click() {
    step(&VolleySheet::onWounds, Command::Command3);
}
void Form1::Command4_Click() {
    step(&VolleySheet::onSaves, Command::Command4);
}
void Form1::Command5_Click() {
    step(&VolleySheet::onCasualties, Command::Command5);
}
void Form1::Command6_Click() {
    step(&VolleySheet::onClear, Command::Command6);
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
    typed(Field::Text1, text);
}
void Form1::Text2_Change(const QString& text) {
    typed(Field::Text2, text);
}
void Form1::Text3_Change(const QString& text) {
    typed(Field::Text3, text);
}
void Form1::Text4_Change(const QString& text) {
    typed(Field::Text4, text);
}
void Form1::Text5_Change(const QString& text) {
    typed(Field::Text5, text);
}
void Form1::Text6_Change(const QString& text) {
    typed(Field::Text6, text);
}
void Form1::Text7_Change(const QString& text) {
    typed(Field::Text7, text);
}
void Form1::Text8_Change(const QString& text) {
    typed(Field::Text8, text);
}
void Form1::Text9_Change(const QString& text) {
    typed(Field::Text9, text);
}

void Form1::textChanged(Field field, const std::string& text) {
    QLineEdit* edit = widgets_.texts[indexOf(field)];
    const QString shown = QString::fromStdString(text);
    // Setting an equal text would still move the cursor and wipe the undo
    // history of the field the user is typing in.
    if (edit->text() != shown) {
        edit->setText(shown);
    }
}

void Form1::boxChanged(Box box, bool ticked) {
    widgets_.checks[indexOf(box)]->setChecked(ticked);
}

void Form1::failed(const tarvelin::SheetFailure& failure) {
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
