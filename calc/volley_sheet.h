// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The calculator itself: every field, box and carried number, the actions
// behind the buttons, boxes and result fields, and which results are out of
// date, all one value to take and give back. It holds no widgets; whoever
// shows it listens through SheetObserver and hands every edit and press in.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "calc/freshness.h"
#include "calc/names.h"
#include "calc/number_text.h"
#include "calc/odds.h"
#include "calc/shooting_tables.h"

namespace tarvelin {

// What stopped an action, so the window can name the field and say what the
// user should do about it.
enum class Problem {
    Empty,           // the field holds no text
    NotANumber,      // the field's text is not a number
    TooLarge,        // the number is beyond the range of a double
    OutOfRange,      // a rating outside 1 to 10
    NotOnTable,      // a number that no row of the step's table matches
    ResultOverflow,  // the step's arithmetic overflowed
};

struct SheetFailure {
    Field field;  // the field at fault: the input that was read, or the result that overflowed
    Problem problem;
    double value = 0;  // the number read, for OutOfRange and NotOnTable
    friend bool operator==(const SheetFailure&, const SheetFailure&) = default;
};

class SheetObserver {
public:
    virtual ~SheetObserver() = default;
    virtual void textChanged(Field field, const std::string& text) = 0;
    virtual void boxChanged(Box box, bool ticked) = 0;
    // Told once when an action stops; what the action wrote before stays.
    virtual void failed(const SheetFailure& failure) = 0;
};

// What a result was worked out from, as its steps read it: the texts, the
// boxes and, for a roll To Hit wrote, the rating it came from. Data for the
// window to word; all empty while a result was never worked out.
struct Volley {
    std::string shots;                           // Shots, as Hits read it
    std::string roll;                            // the needed roll, as Hits read it
    std::optional<std::string> rating;           // Aimcraft, as To Hit read it for that roll
    std::array<bool, kAllBoxes.size()> boxes{};  // the boxes ticked when Hits ran
    std::optional<std::string> toWound;          // To Wound, as Wounds read it
    std::optional<std::string> armourSave;       // Armour Save, as Saves read it
    friend bool operator==(const Volley&, const Volley&) = default;
};

// What a player sets in a volley, in the order its words name them. The
// rating stands for the roll it gave; a roll without one is named itself.
enum class VolleyPart : std::uint8_t { Shots, Rating, Roll, Boxes, ToWound, ArmourSave };

// The parts in which two volleys differ, in that order: a rating where both
// rolls came from one, else the roll; nothing for two volleys alike.
[[nodiscard]] std::vector<VolleyPart> Differences(const Volley& a, const Volley& b);

// A record that copies of the sheet's state share, so that keeping a state
// costs a pointer rather than the texts. Equal when the records are.
class SharedVolley {
public:
    SharedVolley() : volley_(std::make_shared<const Volley>()) {}
    explicit SharedVolley(Volley volley)
        : volley_(std::make_shared<const Volley>(std::move(volley))) {}
    [[nodiscard]] const Volley& operator*() const { return *volley_; }
    [[nodiscard]] const Volley* operator->() const { return volley_.get(); }
    friend bool operator==(const SharedVolley& a, const SharedVolley& b) {
        return a.volley_ == b.volley_ || *a.volley_ == *b.volley_;
    }

private:
    std::shared_ptr<const Volley> volley_;
};

// What Work Out All pressed, in order, and what stopped it, if anything did.
struct WorkOutAll {
    std::vector<Command> pressed;
    std::optional<SheetFailure> failure;
};

class VolleySheet {
public:
    // How the stored number of a result field is spread, when it counts
    // shots: set with the number, from the number the step used, and kept
    // like it when a step fails or finds no row.
    using ResultOdds = std::variant<Odds, NoOdds>;

    // One result as the sheet keeps it, in the order of kResults.
    struct Result {
        double stored = 0;
        ResultOdds odds = NoOdds::NotYet;
        SharedVolley from;
        friend bool operator==(const Result&, const Result&) = default;
    };

    // Everything the sheet holds, as one value: taken whole and given back
    // whole, for a history of the user's steps.
    struct State {
        std::array<std::string, kAllFields.size()> texts{};
        std::array<bool, kAllBoxes.size()> boxes{};
        double aimcraft = 0;
        double shots = 0;
        std::array<Result, kResults.size()> results{};
        // Casualties have odds only from saves worked out from the wounds
        // stored now; each Wounds counts itself, and Saves notes the count it
        // used.
        unsigned woundsStored = 0;
        unsigned savesFromWounds = 0;
        double saveChance = 0;
        // The rating To Hit read for the roll shown, while the roll is its.
        std::optional<std::string> rollRating;
        Freshness freshness;
        friend bool operator==(const State&, const State&) = default;
    };

    // The separator is the user's decimal separator in UTF-8; an empty one
    // means ".". The observer must outlive the sheet.
    explicit VolleySheet(SheetObserver& observer,
                         std::string separator = std::string(kDefaultSeparator));

    // The one way a field changes, by the user or by an action. An equal text
    // does nothing; a result field snaps back to its stored number's result.
    void setText(Field field, std::string text);
    // The one way a box changes. Its modifier is applied to the needed roll.
    std::optional<SheetFailure> setBox(Box box, bool ticked);

    // Each gives what stopped it, as the observer is told.
    std::optional<SheetFailure> onToHit();
    std::optional<SheetFailure> onHits();
    std::optional<SheetFailure> onWounds();
    std::optional<SheetFailure> onSaves();
    std::optional<SheetFailure> onCasualties();
    std::optional<SheetFailure> onClear();

    // The steps to press, in order, to bring every result up to date: To Hit
    // when the roll is out of date, or missing while there is a rating; then
    // the first step whose result is not up to date and every later one.
    [[nodiscard]] std::vector<Command> workOutPlan() const;
    // Presses the plan's steps one by one, each as if by hand, up to the
    // first that fails.
    WorkOutAll workOutAll();

    [[nodiscard]] const State& state() const { return state_; }
    // Takes the state whole and tells the observer of every field and then
    // every box that differs; no rule runs.
    void restore(const State& state);

    [[nodiscard]] const std::string& text(Field field) const {
        return state_.texts[indexOf(field)];
    }
    [[nodiscard]] bool box(Box box) const { return state_.boxes[indexOf(box)]; }
    [[nodiscard]] const std::string& separator() const { return separator_; }

    [[nodiscard]] double aimcraft() const { return state_.aimcraft; }
    [[nodiscard]] double shots() const { return state_.shots; }
    [[nodiscard]] double hits() const { return result(Field::Text3).stored; }
    [[nodiscard]] double wounds() const { return result(Field::Text6).stored; }
    [[nodiscard]] double saves() const { return result(Field::Text8).stored; }
    [[nodiscard]] double casualties() const { return result(Field::Text9).stored; }

    [[nodiscard]] ResultOdds odds(Field result) const;
    // Beside the odds: why the needed roll (Text2) or a result is out of
    // date; nothing while it is not, and nothing for the inputs.
    [[nodiscard]] std::optional<OutOfDate> outOfDate(Field field) const {
        return state_.freshness.outOfDate(field);
    }
    // What a result was last worked out from; for a result field only.
    [[nodiscard]] const Volley& workedFrom(Field result) const {
        return *this->result(result).from;
    }

private:
    // Runs one action to its end and reports a failure that stopped it. This
    // is the only place where failures are caught.
    template <typename Action>
    std::optional<SheetFailure> run(const UserAction& user, Action action);
    // The button's action, as its press runs it.
    std::optional<SheetFailure> press(Command step);

    // Hits, Wounds and Saves alike: read the input and look it up with the
    // number carried from the step before; gives the result and the row's
    // chance per shot (the row applied to one shot).
    using Table = std::optional<double> (*)(double, double) noexcept;
    struct Row {
        double value;
        double chance;
    };
    [[nodiscard]] Row lookUp(Field input, Table table, double from, Field result) const;
    // Stores a result's number and odds and what it was worked from, and shows it.
    void store(Field field, double value, const ResultOdds& odds, SharedVolley from);

    void writeText(Field field, std::string text);
    void writeBox(Box box, bool ticked);
    void onModifierClick(Box box);
    void onResultChange(Field field);

    [[nodiscard]] double read(Field field) const;
    [[nodiscard]] double tickedModifiers() const;
    [[nodiscard]] const Result& result(Field field) const { return state_.results[placeOf(field)]; }
    [[nodiscard]] Result& result(Field field) { return state_.results[placeOf(field)]; }
    // The place of a result field in kResults; asked only of result fields.
    [[nodiscard]] static std::size_t placeOf(Field field) {
        const std::optional<std::size_t> place = resultIndex(field);
        if (!place) {
            throw std::logic_error("not a result field");
        }
        return *place;
    }

    SheetObserver& observer_;
    std::string separator_;
    State state_;
};

}  // namespace tarvelin
