// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/form1.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QEvent>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolTip>
#include <algorithm>

#include "window/explanations.h"
#include "window/failure_message.h"
#include "window/odds_tip.h"

using tarvelin::Box;
using tarvelin::Field;
using tarvelin::indexOf;
using tarvelin::VolleySheet;

using TextSlot = void (Form1::*)(const QString&);
using BoxSlot = void (Form1::*)(bool);
using ClickSlot = void (Form1::*)();

namespace {

constexpr std::array<Field, 4> kResults{Field::Text3, Field::Text6, Field::Text8, Field::Text9};

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
    for (std::size_t i = 0; i < widgets_.texts.size(); ++i) {
        connect(widgets_.texts[i], &QLineEdit::textChanged, this, textSlots[i]);
    }
    const ClickSlot clickSlots[] = {&Form1::Command1_Click, &Form1::Command2_Click,
                                    &Form1::Command3_Click, &Form1::Command4_Click,
                                    &Form1::Command5_Click, &Form1::Command6_Click};
    for (std::size_t i = 0; i < widgets_.commands.size(); ++i) {
        connect(widgets_.commands[i], &QPushButton::clicked, this, clickSlots[i]);
        // Enter on a focused button presses it, as Space does.
        widgets_.commands[i]->setAutoDefault(true);
    }
    // toggled, unlike clicked, also sees the accessibility toggle action.
    const BoxSlot boxSlots[] = {&Form1::Check1_Click, &Form1::Check2_Click, &Form1::Check3_Click,
                                &Form1::Check4_Click, &Form1::Check5_Click, &Form1::Check6_Click};
    for (std::size_t i = 0; i < widgets_.checks.size(); ++i) {
        connect(widgets_.checks[i], &QCheckBox::toggled, this, boxSlots[i]);
    }
    // Enter in an input presses the step that reads it; focus stays put.
    const std::pair<Field, std::size_t> enterPresses[] = {{Field::Text1, 0},
                                                          {Field::Text4, 1},
                                                          {Field::Text2, 1},
                                                          {Field::Text5, 2},
                                                          {Field::Text7, 3}};
    for (const auto& [input, command] : enterPresses) {
        connect(widgets_.texts[indexOf(input)], &QLineEdit::returnPressed,
                widgets_.commands[command], &QPushButton::click);
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
    for (std::size_t i = 0; i < widgets_.commands.size(); ++i) {
        describe(widgets_.commands[i], commandHelp(i));
    }
    for (const Box b : tarvelin::kAllBoxes) {
        describe(widgets_.checks[indexOf(b)], boxHelp(b));
    }
    for (const Field f : kResults) {
        widgets_.texts[indexOf(f)]->installEventFilter(this);
    }
    showOdds();
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
    if (tip_ != nullptr) {
        tip_->hide();
    }
    if (message_ != nullptr) {
        message_->disconnect(this);
        message_->close();
    }
    event->accept();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    // Typing and painting pass straight through.
    if (type != QEvent::ToolTip && type != QEvent::FocusIn && type != QEvent::ContextMenu) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* const found =
        std::find_if(kResults.begin(), kResults.end(),
                     [this, watched](Field f) { return widgets_.texts[indexOf(f)] == watched; });
    if (found == kResults.end()) {
        return QWidget::eventFilter(watched, event);
    }
    const auto i = static_cast<std::size_t>(found - kResults.begin());
    auto* const result = static_cast<QWidget*>(watched);
    // A result's odds show on hover, and also when the keyboard brings the
    // focus to it; with a chart when it has odds, as text when not.
    if (type == QEvent::ToolTip && showOddsTip(i, static_cast<QHelpEvent*>(event)->globalPos())) {
        return true;
    }
    if (type == QEvent::FocusIn) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
            reason == Qt::ShortcutFocusReason || reason == Qt::OtherFocusReason) {
            // A tooltip hides at any focus event, so it waits for this one to end.
            QTimer::singleShot(0, result, [this, i, result] {
                const QPoint below = result->mapToGlobal(QPoint(0, result->height()));
                if (result->hasFocus() && !showOddsTip(i, below)) {
                    QToolTip::showText(below, result->toolTip(), result);
                }
            });
        }
    }
    if (type == QEvent::ContextMenu) {
        showResultMenu(i, static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool Form1::showOddsTip(std::size_t i, const QPoint& pos) {
    const ShownOdds& shown = oddsShown_[i];
    if (!shown.chart) {
        return false;
    }
    QLineEdit* result = widgets_.texts[indexOf(kResults[i])];
    if (tip_ == nullptr) {
        tip_ = new OddsTip(this);
    }
    const QString title =
        oddsTitle(kResults[i], std::get<tarvelin::Odds>(shown.odds).trials, result->text());
    tip_->showFor(result, pos,
                  OddsChartPicture(*shown.chart, title, QToolTip::font(), sheet_.separator()),
                  result->toolTip());
    return true;
}

void Form1::showResultMenu(std::size_t i, const QPoint& pos) {
    QLineEdit* result = widgets_.texts[indexOf(kResults[i])];
    QMenu* menu = result->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setToolTipsVisible(true);
    menu->addSeparator();
    QAction* copy = menu->addAction("Copy Odds");
    if (oddsShown_[i].chart) {
        connect(copy, &QAction::triggered, this, [this, i] { copyOdds(i); });
    } else {
        copy->setEnabled(false);
        copy->setToolTip(oddsHelp(oddsShown_[i].odds, {}, sheet_.separator()));
    }
    menu->popup(pos);
}

void Form1::copyOdds(std::size_t i) {
    const ShownOdds& shown = oddsShown_[i];
    if (!shown.chart) {
        return;  // its menu entry is greyed out then
    }
    const QString title = oddsTitle(kResults[i], std::get<tarvelin::Odds>(shown.odds).trials,
                                    widgets_.texts[indexOf(kResults[i])]->text());
    QGuiApplication::clipboard()->setText(oddsTable(title, shown.chances.exactly,
                                                    shown.chances.atLeast, shown.chart->lastCount,
                                                    sheet_.separator()));
}

void Form1::step(void (VolleySheet::*action)(), std::size_t command, std::optional<Field> shown) {
    const unsigned failuresBefore = failures_;
    (sheet_.*action)();
    showOdds();
    if (failures_ != failuresBefore) {
        return;  // the failure message speaks instead
    }
    announcer_->say(widgets_.commands[command],
                    shown ? announcement(*shown, widgets_.texts[indexOf(*shown)]->text())
                          : QString("Aimcraft, Shots, To Wound and Armour Save cleared."));
}

void Form1::showOdds() {
    for (std::size_t i = 0; i < kResults.size(); ++i) {
        const auto odds = sheet_.odds(kResults[i]);
        ShownOdds& shown = oddsShown_[i];
        if (odds == shown.odds) {
            continue;  // worked out once per stored result, never per keystroke
        }
        shown = ShownOdds{odds, {}, std::nullopt};
        if (const auto* binomial = std::get_if<tarvelin::Odds>(&shown.odds)) {
            shown.chances = tarvelin::ChancesOf(binomial->trials, binomial->chance);
            shown.chart = tarvelin::ChartOfOdds(*binomial, shown.chances);
        }
        QLineEdit* result = widgets_.texts[indexOf(kResults[i])];
        const QString text = fieldHelp(kResults[i]) + '\n' +
                             oddsHelp(shown.odds, shown.chances.atLeast, sheet_.separator());
        result->setToolTip(text);
        result->setAccessibleDescription(text);
        if (tip_ != nullptr && tip_->field() == result) {
            tip_->hide();
        }
    }
}

void Form1::tick(Box box, bool ticked) {
    const std::string rollBefore = sheet_.text(Field::Text2);
    sheet_.setBox(box, ticked);
    // A tick that fails leaves the roll as it was, and so do the boxes that
    // Clear unticks, which come back here with the sheet already changed.
    if (sheet_.text(Field::Text2) != rollBefore) {
        announcer_->say(widgets_.checks[indexOf(box)],
                        announcement(Field::Text2, widgets_.texts[indexOf(Field::Text2)]->text()));
    }
}

void Form1::Command1_Click() {
    step(&VolleySheet::onToHit, 0, Field::Text2);
}
void Form1::Command2_Click() {
    step(&VolleySheet::onHits, 1, Field::Text3);
}
void Form1::Command3_Click() {
    step(&VolleySheet::onWounds, 2, Field::Text6);
}
void Form1::Command4_Click() {
    step(&VolleySheet::onSaves, 3, Field::Text8);
}
void Form1::Command5_Click() {
    step(&VolleySheet::onCasualties, 4, Field::Text9);
}
void Form1::Command6_Click() {
    step(&VolleySheet::onClear, 5, std::nullopt);
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
}

void Form1::boxChanged(Box box, bool ticked) {
    widgets_.checks[indexOf(box)]->setChecked(ticked);
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
