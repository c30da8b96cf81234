// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "calc/freshness.h"

#include <utility>

namespace tarvelin {

namespace {

// The result that reads the needed roll, and through it the rating and the boxes.
constexpr std::size_t kRollReader = firstReader(Field::Text2).value();

}  // namespace

void Freshness::Mark::set(const OutOfDate& why) {
    if (!stale || !now) {
        stale = why;
        now = true;
    }
}

void Freshness::begin(const UserAction& action) {
    if (depth_++ == 0) {
        current_ = action;
    }
}

void Freshness::end(bool failed) {
    if (depth_ == 0) {
        return;
    }
    failedWithin_ = failedWithin_ || failed;
    --depth_;
    if (depth_ != 0) {
        return;  // the end of an action nested in the user's
    }
    const bool stopped = std::exchange(failedWithin_, false);
    const std::optional<UserAction> action = std::exchange(current_, std::nullopt);
    if (const auto* const command = action ? std::get_if<Command>(&*action) : nullptr) {
        finish(*command, stopped);
    }
    settle();
}

void Freshness::finish(Command step, bool failed) {
    if (step == Command::Command1) {
        // A failed To Hit wrote no roll, so the roll stays as it was.
        if (!failed) {
            rollFromToHit_ = true;
            roll_.stale.reset();
        }
        return;
    }
    const std::optional<std::size_t> result = resultIndex(step);
    if (!result) {
        return;
    }
    if (failed) {
        results_[*result].lastFailed = true;
        mark(*result + 1, {Cause::Failed, step, {}});
        return;
    }
    workedOut(*result);
    mark(*result + 1, {Cause::Redone, step, {}});
}

void Freshness::changed(Field field) {
    const bool alone = !current_;
    if (alone || std::holds_alternative<Field>(*current_)) {
        touched(field, {Cause::Edited, Command::Command1, field}, true);
    } else if (const auto* command = std::get_if<Command>(&*current_)) {
        touched(field, {Cause::ChangedBy, *command, field}, false);
    } else {
        // The roll moved because the box did: the box is what the user changed.
        const auto& click = std::get<BoxClick>(*current_);
        touched(field,
                {click.ticked ? Cause::Ticked : Cause::Unticked, Command::Command1, click.box},
                false);
    }
    if (alone) {
        settle();
    }
}

void Freshness::changed(Box box, bool ticked) {
    const auto* const command = current_ ? std::get_if<Command>(&*current_) : nullptr;
    // A box moves the roll, or will once To Hit writes one.
    mark(kRollReader, command != nullptr ? OutOfDate{Cause::ChangedBy, *command, box}
                                         : OutOfDate{ticked ? Cause::Ticked : Cause::Unticked,
                                                     Command::Command1, box});
    if (!current_) {
        settle();
    }
}

void Freshness::touched(Field field, const OutOfDate& why, bool byUser) {
    if (field == Field::Text2 && byUser) {
        // A roll the player typed is the player's own, whatever the rating.
        rollFromToHit_ = false;
        roll_.stale.reset();
    }
    // To Hit's own emptying of a bad rating leaves the roll it made alone.
    const bool byToHit = why.cause == Cause::ChangedBy && why.step == Command::Command1;
    if (field == Field::Text1 && rollFromToHit_ && !byToHit) {
        roll_.set(why);
    }
    if (const std::optional<std::size_t> first = firstReader(field)) {
        mark(*first, why);
    }
}

std::optional<OutOfDate> Freshness::outOfDate(Field field) const {
    if (field == Field::Text2) {
        return roll_.stale;
    }
    const std::optional<std::size_t> index = resultIndex(field);
    return index ? results_[*index].mark.stale : std::nullopt;
}

bool Freshness::upToDate(Field result) const {
    const std::optional<std::size_t> index = resultIndex(result);
    if (!index) {
        return false;
    }
    const Result& r = results_[*index];
    return r.worked && !r.lastFailed && !r.mark.stale;
}

void Freshness::mark(std::size_t first, const OutOfDate& why) {
    for (std::size_t r = first; r < results_.size(); ++r) {
        if (results_[r].worked) {
            results_[r].mark.set(why);
        }
    }
}

void Freshness::settle() {
    // The rating reaches the results only through the roll, so whatever else
    // the action changed that they read is the nearer cause.
    if (roll_.now && roll_.stale) {
        mark(kRollReader, *roll_.stale);
    }
    roll_.now = false;
    for (Result& result : results_) {
        result.mark.now = false;
    }
}

void Freshness::workedOut(std::size_t result) {
    Result& worked = results_[result];
    worked.worked = true;
    worked.lastFailed = false;
    worked.mark = {std::nullopt, true};
    if (result == kRollReader && roll_.stale) {
        worked.mark.stale = OutOfDate{Cause::FromStale, Command::Command1, {}};
        return;
    }
    for (const std::optional<Field>& from : kResults[result].from) {
        const std::optional<std::size_t> s = from ? resultIndex(*from) : std::nullopt;
        if (!s) {
            continue;
        }
        const Result& source = results_[*s];
        if (!source.worked) {
            std::size_t missing = 0;
            while (results_[missing].worked) {
                ++missing;
            }
            worked.mark.stale = OutOfDate{Cause::Without, kResults[missing].step, {}};
        } else if (source.lastFailed) {
            worked.mark.stale = OutOfDate{Cause::Failed, kResults[*s].step, {}};
        } else if (source.mark.stale) {
            // A missing or failed step further up is the real reason; any
            // other is the source's own business.
            const Cause cause = source.mark.stale->cause;
            worked.mark.stale = cause == Cause::Without || cause == Cause::Failed
                                    ? *source.mark.stale
                                    : OutOfDate{Cause::FromStale, kResults[*s].step, {}};
        }
        if (worked.mark.stale) {
            return;
        }
    }
}

}  // namespace tarvelin
