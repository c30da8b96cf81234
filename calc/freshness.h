// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Which of the four results, and whether the needed roll, still follow from
// what the form shows. The sheet tells it each action and what the action
// changed; it answers what is out of date and what made it so. It reads and
// changes nothing of the sheet, and words nothing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <variant>

#include "calc/names.h"

namespace tarvelin {

// One thing the user did: press a button, change a box or edit a field.
struct BoxClick {
    Box box;
    bool ticked;
    friend bool operator==(const BoxClick&, const BoxClick&) = default;
};
using UserAction = std::variant<Command, BoxClick, Field>;

// What made a result, or the needed roll, out of date.
enum class Cause : std::uint8_t {
    Edited,     // the user changed `what`, a field, after the result was worked out
    Ticked,     // the user ticked `what`, a box, after it
    Unticked,   // the user unticked `what`, a box, after it
    ChangedBy,  // pressing `step` (To Hit or Clear) changed `what` after it
    Redone,     // the earlier `step` was worked out again after it
    Failed,     // the earlier `step` failed, so the result rests on its older number
    Without,    // the result was worked out while the earlier `step` never had been
    FromStale,  // the result was worked out from the earlier `step`, itself out of date
};

struct OutOfDate {
    Cause cause = Cause::Edited;
    Command step = Command::Command1;
    std::variant<std::monostate, Field, Box> what;
    friend bool operator==(const OutOfDate&, const OutOfDate&) = default;
};

class Freshness {
public:
    // Around all that the sheet does for one user action. An action begun
    // inside another, a widget echoing the sheet's own change, is part of it.
    // failed: the sheet reported a failure during the action.
    void begin(const UserAction& action);
    void end(bool failed);
    // What the sheet changed, as its observer hears it; outside any action a
    // change is the user's own edit or click.
    void changed(Field field);
    void changed(Box box, bool ticked);

    // Whether an action has begun and not yet ended.
    [[nodiscard]] bool busy() const { return depth_ > 0; }
    // For Text3, Text6, Text8 and Text9: nothing while the result is fresh or
    // was never worked out. For Text2: nothing while the needed roll is the
    // one To Hit last wrote from the rating shown, or one the player typed.
    // For the inputs nothing.
    [[nodiscard]] std::optional<OutOfDate> outOfDate(Field field) const;
    // Whether the needed roll is the one To Hit wrote, moved by boxes only.
    [[nodiscard]] bool rollFromToHit() const { return rollFromToHit_; }
    // Whether a result was worked out, its step's last run did not fail and
    // nothing made it out of date since.
    [[nodiscard]] bool upToDate(Field result) const;

    friend bool operator==(const Freshness&, const Freshness&) = default;

private:
    // Why a result or the roll is out of date; within one action the first
    // cause stays, so `now` says whether the running action gave it.
    struct Mark {
        std::optional<OutOfDate> stale;
        bool now = false;
        void set(const OutOfDate& why);
        friend bool operator==(const Mark&, const Mark&) = default;
    };
    struct Result {
        bool worked = false;      // worked out at least once
        bool lastFailed = false;  // its step's last run failed
        Mark mark;
        friend bool operator==(const Result&, const Result&) = default;
    };

    // Marks the results from `first` on that were worked out.
    void mark(std::size_t first, const OutOfDate& why);
    void finish(Command step, bool failed);
    void workedOut(std::size_t result);
    void touched(Field field, const OutOfDate& why, bool byUser);
    // Ends an action's marks: the next action gives its own first causes.
    void settle();

    std::array<Result, kResults.size()> results_{};
    Mark roll_;
    bool rollFromToHit_ = false;
    unsigned depth_ = 0;
    bool failedWithin_ = false;  // a failure in an action nested in the running one
    std::optional<UserAction> current_;
};

}  // namespace tarvelin
