// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Which of the four results still follow from what the form shows. Whoever
// drives the sheet tells it what the user did and what the sheet changed
// meanwhile; it answers, for each result, whether it is out of date and what
// made it so. It reads and changes nothing of the sheet, and words nothing.
#pragma once

#include <array>
#include <optional>
#include <variant>

#include "calc/names.h"

namespace tarvelin {

// One thing the user did: press a button, change a box or edit a field.
struct BoxClick {
    Box box;
    bool ticked;
};
using UserAction = std::variant<Command, BoxClick, Field>;

// What made a result out of date.
enum class Cause {
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
    // was never worked out; for any other field nothing.
    [[nodiscard]] std::optional<OutOfDate> outOfDate(Field result) const;

private:
    struct Result {
        bool worked = false;      // worked out at least once
        bool lastFailed = false;  // its step's last run failed
        std::optional<OutOfDate> stale;
        unsigned staleIn = 0;  // the action that made it stale
    };

    // Marks the results from `first` on that were worked out, unless this
    // action already gave them a cause.
    void mark(std::size_t first, const OutOfDate& why);
    void workedOut(std::size_t result);
    void touched(std::optional<std::size_t> first, const OutOfDate& why);

    std::array<Result, 4> results_{};  // Hits, Wounds, Saves, Casualties
    unsigned depth_ = 0;
    unsigned action_ = 0;  // counts the actions: within one, the first cause stays
    std::optional<UserAction> current_;
};

}  // namespace tarvelin
