// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// One undo history for the whole form, on Qt's undo stack: each press, tick,
// run of typing in one field, Work Out All and pin is one step, kept as the
// whole state of the form before and after it. The state is taken and given
// back through the two functions the history is made with; what each step is
// called, and what is said when one is undone, is the window's.
#pragma once

#include <QObject>
#include <QString>
#include <QUndoStack>
#include <functional>
#include <memory>
#include <optional>

#include "calc/volley_sheet.h"
#include "window/result_odds_view.h"

// Everything undo gives back: the sheet, and the results kept for comparison.
struct FormState {
    tarvelin::VolleySheet::State sheet;
    ResultOddsView::Pins pins;
    friend bool operator==(const FormState&, const FormState&) = default;
};

class FormHistory : public QObject {
    Q_OBJECT

public:
    using Take = std::function<FormState()>;
    using Give = std::function<void(const FormState&)>;
    // Held in memory only, and only this many steps back.
    static constexpr int kMostSteps = 1000;

    FormHistory(QObject* parent, Take take, Give give);

    // Runs act as one step called what, kept if it changed the form. A step
    // begun inside another (a widget echoing the sheet's own change) is part
    // of it, and so is anything done while a step is undone or redone.
    // typing: the field typed into; typing in one field is one step until the
    // focus moves or another step comes.
    void record(const QString& what, const std::function<void()>& act,
                std::optional<tarvelin::Field> typing = std::nullopt);
    // The next typing starts a step of its own.
    void closeTyping() { ++typingRun_; }

    [[nodiscard]] QUndoStack& stack() { return stack_; }
    // Whether a step is being recorded, undone or redone.
    [[nodiscard]] bool busy() const { return depth_ > 0; }

signals:
    // After an undo or redo of the step called what: the state it left and
    // the state now.
    void moved(bool undone, const QString& what, const FormState& from, const FormState& to);

private:
    class Step;
    using Kept = std::shared_ptr<const FormState>;
    void apply(const Kept& from, const Kept& to, bool undone, const QString& what);
    // The state as kept: one step's state after is the next one's before, so
    // the two share it while it stays the same.
    [[nodiscard]] Kept keep(FormState state);

    Take take_;
    Give give_;
    QUndoStack stack_;
    int depth_ = 0;
    unsigned typingRun_ = 0;
    Kept last_;  // the form's state after the last step, undo or redo
};
