// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The program's one window. It shows a VolleySheet and nothing else: every
// edit, press and box change is handed to the sheet in one call, as one step
// of the form's undo history, and what the sheet changes comes back through
// SheetObserver into the widgets. Beyond its widgets the window keeps only an
// open failure message and that history; the results' odds and what is out
// of date are shown by ResultOddsView, which the window tells when a step ends.
#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QWidget>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "calc/volley_log.h"
#include "calc/volley_sheet.h"
#include "window/announcer.h"
#include "window/form_layout.h"

class FormHistory;
class QAction;
class ResultOddsView;
class VolleyLogWindow;
struct FormState;

class Form1 : public QWidget, private tarvelin::SheetObserver {
    Q_OBJECT

public:
    // separator: the user's decimal separator, in UTF-8.
    explicit Form1(std::string separator, QWidget* parent = nullptr);
    // Gives the window the Window role for screen readers. Call it before
    // the first widget exists: Qt may make a window's accessible interface as
    // the window is built, and keeps the first one it made.
    static void installAccessibleRole();
    ~Form1() override;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    [[nodiscard]] const tarvelin::VolleySheet& sheet() const { return sheet_; }
    [[nodiscard]] QLineEdit* field(tarvelin::Field field) const;
    [[nodiscard]] QCheckBox* box(tarvelin::Box box) const;
    // The failure message on screen, if any.
    [[nodiscard]] QMessageBox* message() const { return message_; }
    // The controls as laid out, and the pixels per twip chosen for the font.
    [[nodiscard]] const FormWidgets& widgets() const { return widgets_; }
    [[nodiscard]] double scale() const { return widgets_.scale; }
    // The form's history, and its Undo, Redo and Work Out All entries.
    [[nodiscard]] FormHistory& history() const { return *history_; }
    [[nodiscard]] QAction* undoAction() const { return undo_; }
    [[nodiscard]] QAction* redoAction() const { return redo_; }
    [[nodiscard]] QAction* workOutAllAction() const { return workOutAll_; }
    // Every volley worked out in this run, and the window that shows it once opened.
    [[nodiscard]] const tarvelin::VolleyLog& log() const { return log_; }
    [[nodiscard]] VolleyLogWindow* logWindow() const { return logWindow_; }
    [[nodiscard]] QAction* logAction() const { return openLog_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Check1_Click(bool ticked);
    void Check2_Click(bool ticked);
    void Check3_Click(bool ticked);
    void Check4_Click(bool ticked);
    void Check5_Click(bool ticked);
    void Check6_Click(bool ticked);
    void Text1_Change(const QString& text);
    void Text2_Change(const QString& text);
    void Text3_Change(const QString& text);
    void Text4_Change(const QString& text);
    void Text5_Change(const QString& text);
    void Text6_Change(const QString& text);
    void Text7_Change(const QString& text);
    void Text8_Change(const QString& text);
    void Text9_Change(const QString& text);
    void WorkOutAll_Click();

private:
    void textChanged(tarvelin::Field field, const std::string& text) override;
    void boxChanged(tarvelin::Box box, bool ticked) override;
    void failed(const tarvelin::SheetFailure& failure) override;

    void bind();
    void bindHistory();
    void describeControls();
    // Runs one button's action as a step of history, then shows the new odds
    // and, unless the action failed, says its result to a screen reader.
    using Action = std::optional<tarvelin::SheetFailure> (tarvelin::VolleySheet::*)();
    void step(Action action, tarvelin::Command command);
    // Passes a box change on and says the roll it moved, if it moved one.
    void tick(tarvelin::Box box, bool ticked);
    // Passes an edit on; typing in one field is one step until focus moves.
    void typed(tarvelin::Field field, const QString& text);
    // What a screen reader hears after a step pressed.
    [[nodiscard]] QString said(tarvelin::Command command) const;
    [[nodiscard]] FormState formState() const;
    void restore(const FormState& state);
    // The log hears of a step that did not fail; opened, so does its window.
    void logStep(tarvelin::Command command);
    void openLog();
    // Puts a logged volley back as one step of history.
    void useVolley(std::size_t row);
    // An input's own menu, with the form's Undo and Redo for the field's.
    void showInputMenu(QLineEdit& field, const QPoint& pos);

    tarvelin::VolleySheet sheet_;
    FormWidgets widgets_;
    QPointer<QMessageBox> message_;
    Announcer* announcer_;
    FormHistory* history_ = nullptr;
    ResultOddsView* results_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    QAction* workOutAll_ = nullptr;
    tarvelin::VolleyLog log_;
    VolleyLogWindow* logWindow_ = nullptr;  // made when first opened
    QAction* openLog_ = nullptr;
};
