// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The calculator itself: every field and box of the window, the numbers that
// carry from one step to the next, and the actions behind the buttons, the
// boxes and the result fields. It holds no widgets; whoever shows it listens
// through SheetObserver and hands every user edit and press back in.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

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
};

class SheetObserver {
public:
    virtual ~SheetObserver() = default;
    virtual void textChanged(Field field, const std::string& text) = 0;
    virtual void boxChanged(Box box, bool ticked) = 0;
    // Told once when an action stops; what the action wrote before stays.
    virtual void failed(const SheetFailure& failure) = 0;
};

class VolleySheet {
public:
    // The separator is the user's decimal separator in UTF-8; an empty one
    // means ".". The observer must outlive the sheet.
    explicit VolleySheet(SheetObserver& observer,
                         std::string separator = std::string(kDefaultSeparator));

    // The one way a field changes, by the user or by an action. An equal text
    // does nothing; a result field snaps back to its stored number's result.
    void setText(Field field, std::string text);
    // The one way a box changes. Its modifier is applied to the needed roll.
    void setBox(Box box, bool ticked);

    void onToHit();
    void onHits();
    void onWounds();
    void onSaves();
    void onCasualties();
    void onClear();

    [[nodiscard]] const std::string& text(Field field) const { return texts_[indexOf(field)]; }
    [[nodiscard]] bool box(Box box) const { return boxes_[indexOf(box)]; }
    [[nodiscard]] const std::string& separator() const { return separator_; }

    [[nodiscard]] double aimcraft() const { return aimcraft_; }
    [[nodiscard]] double shots() const { return shots_; }
    [[nodiscard]] double hits() const { return hits_; }
    [[nodiscard]] double wounds() const { return wounds_; }
    [[nodiscard]] double saves() const { return saves_; }
    [[nodiscard]] double casualties() const { return casualties_; }

    // How the stored number of a result field is spread, when it counts
    // shots: set with the number, from the number the step used, and kept
    // like it when a step fails or finds no row.
    using ResultOdds = std::variant<Odds, NoOdds>;
    [[nodiscard]] ResultOdds odds(Field result) const;

private:
    // Runs one action to its end and reports a failure that stopped it. This
    // is the only place where failures are caught.
    template <typename Action>
    void run(Action action);

    // Hits, Wounds and Saves alike: read the input and look it up with the
    // number carried from the step before; gives the result and the row's
    // chance per shot (the row applied to one shot).
    using Table = std::optional<double> (*)(double, double) noexcept;
    struct Row {
        double value;
        double chance;
    };
    [[nodiscard]] Row lookUp(Field input, Table table, double from, Field result) const;
    void store(double& stored, double value, Field result);

    void writeText(Field field, std::string text);
    void writeBox(Box box, bool ticked);
    void onModifierClick(Box box);
    void onResultChange(Field field);

    [[nodiscard]] double read(Field field) const;
    [[nodiscard]] double tickedModifiers() const;

    SheetObserver& observer_;
    std::string separator_;
    std::array<std::string, kAllFields.size()> texts_{};
    std::array<bool, kAllBoxes.size()> boxes_{};
    double aimcraft_ = 0;
    double shots_ = 0;
    double hits_ = 0;
    double wounds_ = 0;
    double saves_ = 0;
    double casualties_ = 0;

    ResultOdds hitsOdds_ = NoOdds::NotYet;
    ResultOdds woundsOdds_ = NoOdds::NotYet;
    ResultOdds savesOdds_ = NoOdds::NotYet;
    ResultOdds casualtiesOdds_ = NoOdds::NotYet;
    // Casualties have odds only from saves worked out from the wounds stored
    // now; each Wounds counts itself, and Saves notes the count it used.
    unsigned woundsStored_ = 0;
    unsigned savesFromWounds_ = 0;
    double saveChance_ = 0;
};

}  // namespace tarvelin
