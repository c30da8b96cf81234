#include "window/form1.h"

#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "window/failure_message.h"

using tarvelin::Box;
using tarvelin::Field;
using tarvelin::indexOf;

using TextSlot = void (Form1::*)(const QString&);
using BoxSlot = void (Form1::*)(bool);
using ClickSlot = void (Form1::*)();

Form1::Form1(std::string separator, QWidget* parent)
    : QWidget(parent), sheet_(*this, std::move(separator)), widgets_(buildFormWidgets(*this)) {
    setObjectName("Form1");
    bind();
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
    }
    // toggled, unlike clicked, also sees the accessibility toggle action.
    const BoxSlot boxSlots[] = {&Form1::Check1_Click, &Form1::Check2_Click, &Form1::Check3_Click,
                                &Form1::Check4_Click, &Form1::Check5_Click, &Form1::Check6_Click};
    for (std::size_t i = 0; i < widgets_.checks.size(); ++i) {
        connect(widgets_.checks[i], &QCheckBox::toggled, this, boxSlots[i]);
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

void Form1::Command1_Click() {
    sheet_.onToHit();
}
void Form1::Command2_Click() {
    sheet_.onHits();
}
void Form1::Command3_Click() {
    sheet_.onWounds();
}
void Form1::Command4_Click() {
    sheet_.onSaves();
}
void Form1::Command5_Click() {
    sheet_.onCasualties();
}
void Form1::Command6_Click() {
    sheet_.onClear();
}

void Form1::Check1_Click(bool ticked) {
    sheet_.setBox(Box::Check1, ticked);
}
void Form1::Check2_Click(bool ticked) {
    sheet_.setBox(Box::Check2, ticked);
}
void Form1::Check3_Click(bool ticked) {
    sheet_.setBox(Box::Check3, ticked);
}
void Form1::Check4_Click(bool ticked) {
    sheet_.setBox(Box::Check4, ticked);
}
void Form1::Check5_Click(bool ticked) {
    sheet_.setBox(Box::Check5, ticked);
}
void Form1::Check6_Click(bool ticked) {
    sheet_.setBox(Box::Check6, ticked);
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
    QLineEdit* culprit = widgets_.texts[indexOf(failure.field)];
    const QString text = failureMessage(failure, culprit->text(), sheet_.separator());
    if (message_ != nullptr) {
        message_->close();
    }
    // open(), not exec(): the action that failed has ended, and a nested
    // event loop here would let the next event run inside it.
    auto* dialog = new QMessageBox(QMessageBox::Warning, "Tarvelin", text, QMessageBox::Ok, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, culprit, [this, culprit] {
        activateWindow();
        culprit->setFocus(Qt::OtherFocusReason);
        culprit->selectAll();
    });
    message_ = dialog;
    dialog->open();
}
