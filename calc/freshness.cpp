// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "calc/freshness.h"

#include <utility>
#include <vector>

namespace tarvelin {

namespace {

// The results in the order of the chain, Hits first.
std::optional<std::size_t> resultIndex(Field field) {
    switch (field) {
    case Field::Text3:
        return 0;
    case Field::Text6:
        return 1;
    case Field::Text8:
        return 2;
    case Field::Text9:
        return 3;
    case Field::Text1:
    case Field::Text2:
    case Field::Text4:
    case Field::Text5:
    case Field::Text7:
        return std::nullopt;
    }
    return std::nullopt;
}

// The first result that reads the field, directly or through the chain: each
// later one works from the one before. The rating is read only by To Hit,
// whose outcome is the needed roll as shown, and results read nothing typed.
std::optional<std::size_t> firstReader(Field field) {
    switch (field) {
    case Field::Text2:
    case Field::Text4:
        return 0;
    case Field::Text5:
        return 1;
    case Field::Text7:
        return 2;
    case Field::Text1:
    case Field::Text3:
    case Field::Text6:
    case Field::Text8:
    case Field::Text9:
        return std::nullopt;
    }
    return std::nullopt;
}

std::optional<std::size_t> resultOf(Command command) {
    switch (command) {
    case Command::Command2:
        return 0;
    case Command::Command3:
        return 1;
    case Command::Command4:
        return 2;
    case Command::Command5:
        return 3;
    case Command::Command1:
    case Command::Command6:
        return std::nullopt;
    }
    return std::nullopt;
}

Command stepOf(std::size_t result) {
    return kAllCommands[result + 1];
}

}  // namespace

void Freshness::begin(const UserAction& action) {
    if (depth_++ == 0) {
        current_ = action;
        ++action_;
    }
}

void Freshness::end(bool failed) {
    if (depth_ == 0) {
        return;
    }
    --depth_;
    if (depth_ != 0) {
        return;  // the end of an action nested in the user's
    }
    const std::optional<UserAction> action = std::exchange(current_, std::nullopt);
    const auto* const command = action ? std::get_if<Command>(&*action) : nullptr;
    const std::optional<std::size_t> result =
        command != nullptr ? resultOf(*command) : std::nullopt;
    if (!result) {
        return;
    }
    if (failed) {
        results_[*result].lastFailed = true;
        mark(*result + 1, {Cause::Failed, *command, {}});
        return;
    }
    workedOut(*result);
    mark(*result + 1, {Cause::Redone, *command, {}});
}

void Freshness::changed(Field field) {
    if (current_) {
        if (const auto* command = std::get_if<Command>(&*current_)) {
            touched(firstReader(field), {Cause::ChangedBy, *command, field});
        } else if (const auto* click = std::get_if<BoxClick>(&*current_)) {
            // The roll moved because the box did: the box is what the user changed.
            touched(firstReader(field), {click->ticked ? Cause::Ticked : Cause::Unticked,
                                         Command::Command1, click->box});
        } else {
            touched(firstReader(field), {Cause::Edited, Command::Command1, field});
        }
        return;
    }
    ++action_;
    touched(firstReader(field), {Cause::Edited, Command::Command1, field});
}

void Freshness::changed(Box box, bool ticked) {
    const auto* const command = current_ ? std::get_if<Command>(&*current_) : nullptr;
    if (!current_) {
        ++action_;
    }
    touched(0, command != nullptr
                   ? OutOfDate{Cause::ChangedBy, *command, box}
                   : OutOfDate{ticked ? Cause::Ticked : Cause::Unticked, Command::Command1, box});
}

std::optional<OutOfDate> Freshness::outOfDate(Field result) const {
    const std::optional<std::size_t> index = resultIndex(result);
    return index ? results_[*index].stale : std::nullopt;
}

void Freshness::touched(std::optional<std::size_t> first, const OutOfDate& why) {
    if (first) {
        mark(*first, why);
    }
}

void Freshness::mark(std::size_t first, const OutOfDate& why) {
    for (std::size_t r = first; r < results_.size(); ++r) {
        Result& result = results_[r];
        if (result.worked && (!result.stale || result.staleIn != action_)) {
            result.stale = why;
            result.staleIn = action_;
        }
    }
}

void Freshness::workedOut(std::size_t result) {
    Result& worked = results_[result];
    worked.worked = true;
    worked.lastFailed = false;
    worked.stale.reset();
    worked.staleIn = action_;
    // Casualties work from the wounds and the saves, every other step from
    // the one just before it; Hits only from what is typed.
    std::vector<std::size_t> sources;
    if (result == 3) {
        sources = {1, 2};
    } else if (result > 0) {
        sources = {result - 1};
    }
    for (const std::size_t s : sources) {
        const Result& source = results_[s];
        if (!source.worked) {
            std::size_t missing = 0;
            while (results_[missing].worked) {
                ++missing;
            }
            worked.stale = OutOfDate{Cause::Without, stepOf(missing), {}};
        } else if (source.lastFailed) {
            worked.stale = OutOfDate{Cause::Failed, stepOf(s), {}};
        } else if (source.stale) {
            // A missing or failed step further up is the real reason; any
            // other is the source's own business.
            const Cause cause = source.stale->cause;
            worked.stale = cause == Cause::Without || cause == Cause::Failed
                               ? *source.stale
                               : OutOfDate{Cause::FromStale, stepOf(s), {}};
        }
        if (worked.stale) {
            return;
        }
    }
}

}  // namespace tarvelin
