// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/history.h"

#include <QUndoCommand>
#include <utility>

namespace {

// Counts a step in and out, whichever way it ends.
class Depth {
public:
    explicit Depth(int& depth) : depth_(depth) { ++depth_; }
    ~Depth() { --depth_; }
    Depth(const Depth&) = delete;
    Depth& operator=(const Depth&) = delete;

private:
    int& depth_;
};

}  // namespace

class FormHistory::Step : public QUndoCommand {
public:
    Step(FormHistory& history, const QString& what, Kept before, Kept after,
         std::optional<tarvelin::Field> typing, unsigned run)
        : QUndoCommand(what),
          history_(history),
          before_(std::move(before)),
          after_(std::move(after)),
          typing_(typing),
          run_(run) {}

    void undo() override { history_.apply(after_, before_, true, text()); }
    void redo() override {
        // The stack redoes a step as it is pushed; it has just been done.
        if (std::exchange(done_, false)) {
            return;
        }
        history_.apply(before_, after_, false, text());
    }
    [[nodiscard]] int id() const override { return typing_ ? 1 : -1; }
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const Step*>(other);  // the only kind with an id
        if (next->typing_ != typing_ || next->run_ != run_) {
            return false;
        }
        after_ = next->after_;
        // Typed and taken back again: nothing is left to undo.
        setObsolete(*after_ == *before_);
        return true;
    }

private:
    FormHistory& history_;
    Kept before_;
    Kept after_;
    std::optional<tarvelin::Field> typing_;
    unsigned run_;
    bool done_ = true;
};

FormHistory::FormHistory(QObject* parent, Take take, Give give)
    : QObject(parent), take_(std::move(take)), give_(std::move(give)) {
    stack_.setUndoLimit(kMostSteps);
}

FormHistory::Kept FormHistory::keep(FormState state) {
    if (last_ && *last_ == state) {
        return last_;
    }
    return std::make_shared<const FormState>(std::move(state));
}

void FormHistory::record(const QString& what, const std::function<void()>& act,
                         std::optional<tarvelin::Field> typing) {
    if (depth_ > 0) {
        act();
        return;
    }
    if (!typing) {
        closeTyping();
    }
    FormState before = take_();
    {
        const Depth inside(depth_);
        act();
    }
    FormState after = take_();
    if (before == after) {
        return;
    }
    Kept kept = keep(std::move(before));
    last_ = std::make_shared<const FormState>(std::move(after));
    stack_.push(new Step(*this, what, std::move(kept), last_, typing, typingRun_));
}

void FormHistory::apply(const Kept& from, const Kept& to, bool undone, const QString& what) {
    closeTyping();
    {
        const Depth inside(depth_);
        give_(*to);
    }
    last_ = to;
    emit moved(undone, what, *from, *to);
}
