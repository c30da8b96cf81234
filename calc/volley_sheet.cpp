// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "calc/volley_sheet.h"

#include <cmath>
#include <numeric>
#include <utility>
#include <variant>

namespace tarvelin {

namespace {

[[noreturn]] void fail(Field field, Problem problem, double value = 0) {
    throw SheetFailure{field, problem, value};
}

Problem problemOf(TextProblem problem) {
    switch (problem) {
    case TextProblem::Empty:
        return Problem::Empty;
    case TextProblem::NotANumber:
        return Problem::NotANumber;
    case TextProblem::TooLarge:
        return Problem::TooLarge;
    }
    return Problem::NotANumber;
}

// Hits count the shots that hit, when the shots are a whole number that the
// odds can be worked out for.
VolleySheet::ResultOdds countOfShots(double shots, double chance) {
    if (shots >= 0 && shots <= kMaxOddsTrials && shots == std::floor(shots)) {
        return Odds{static_cast<int>(shots), chance};
    }
    return NoOdds::ShotsNotWhole;
}

// Each later step keeps a share of the counts of the step before, shot by
// shot, so the trials stay and the chances multiply.
VolleySheet::ResultOdds thinned(const VolleySheet::ResultOdds& from, double chance) {
    if (const auto* odds = std::get_if<Odds>(&from)) {
        return Odds{odds->trials, odds->chance * chance};
    }
    return from;
}

// Results are only ever written finite; an overflow stops the step instead
// of showing "inf".
double finite(double value, Field result) {
    if (!std::isfinite(value)) {
        fail(result, Problem::ResultOverflow);
    }
    return value;
}

// Nothing but blanks: a field the user has not filled.
bool blank(std::string_view text, std::string_view separator) {
    const auto parsed = ParseNumber(text, separator);
    const auto* const problem = std::get_if<TextProblem>(&parsed);
    return problem != nullptr && *problem == TextProblem::Empty;
}

}  // namespace

std::vector<VolleyPart> Differences(const Volley& a, const Volley& b) {
    std::vector<VolleyPart> parts;
    if (a.shots != b.shots) {
        parts.push_back(VolleyPart::Shots);
    }
    // Two rolls To Hit wrote differ by their ratings or their boxes.
    if (a.rating && b.rating) {
        if (*a.rating != *b.rating) {
            parts.push_back(VolleyPart::Rating);
        }
    } else if (a.rating != b.rating || a.roll != b.roll) {
        parts.push_back(VolleyPart::Roll);
    }
    if (a.boxes != b.boxes) {
        parts.push_back(VolleyPart::Boxes);
    }
    if (a.toWound != b.toWound) {
        parts.push_back(VolleyPart::ToWound);
    }
    if (a.armourSave != b.armourSave) {
        parts.push_back(VolleyPart::ArmourSave);
    }
    return parts;
}

VolleySheet::VolleySheet(SheetObserver& observer, std::string separator)
    : observer_(observer),
      separator_(separator.empty() ? std::string(kDefaultSeparator) : std::move(separator)) {}

template <typename Action>
std::optional<SheetFailure> VolleySheet::run(const UserAction& user, Action action) {
    state_.freshness.begin(user);
    std::optional<SheetFailure> failure;
    try {
        action();
    } catch (const SheetFailure& caught) {
        failure = caught;
    }
    state_.freshness.end(failure.has_value());
    // The rating goes with the roll To Hit made of it, and no further.
    if (!state_.freshness.busy() && !state_.freshness.rollFromToHit()) {
        state_.rollRating.reset();
    }
    if (failure) {
        observer_.failed(*failure);
    }
    return failure;
}

void VolleySheet::setText(Field field, std::string text) {
    // An equal text is no action at all: a window echoing the sheet's own
    // change back meets it and leaves everything as it is.
    if (this->text(field) == text) {
        return;
    }
    run(field, [&] { writeText(field, std::move(text)); });
}

std::optional<SheetFailure> VolleySheet::setBox(Box box, bool ticked) {
    if (this->box(box) == ticked) {
        return std::nullopt;
    }
    return run(BoxClick{box, ticked}, [&] { writeBox(box, ticked); });
}

void VolleySheet::writeText(Field field, std::string text) {
    auto& current = state_.texts[indexOf(field)];
    if (current == text) {
        return;
    }
    current = std::move(text);
    state_.freshness.changed(field);
    observer_.textChanged(field, current);
    if (resultIndex(field)) {
        onResultChange(field);
    }
}

void VolleySheet::writeBox(Box box, bool ticked) {
    if (state_.boxes[indexOf(box)] == ticked) {
        return;
    }
    state_.boxes[indexOf(box)] = ticked;
    state_.freshness.changed(box, ticked);
    observer_.boxChanged(box, ticked);
    onModifierClick(box);
}

double VolleySheet::read(Field field) const {
    const auto parsed = ParseNumber(text(field), separator_);
    if (const auto* problem = std::get_if<TextProblem>(&parsed)) {
        fail(field, problemOf(*problem));
    }
    return std::get<double>(parsed);
}

double VolleySheet::tickedModifiers() const {
    return std::accumulate(kAllBoxes.begin(), kAllBoxes.end(), 0.0, [this](double sum, Box b) {
        return box(b) ? sum + ModifierTable(b) : sum;
    });
}

void VolleySheet::onModifierClick(Box box) {
    // With no roll yet there is nothing to adjust; the next To Hit counts the
    // box in, so the box alone changes.
    const auto parsed = ParseNumber(text(Field::Text2), separator_);
    const auto* roll = std::get_if<double>(&parsed);
    if (roll == nullptr) {
        return;
    }
    const double amount = ModifierTable(box);
    const double adjusted = this->box(box) ? *roll + amount : *roll - amount;
    writeText(Field::Text2, TextFromNumber(finite(adjusted, Field::Text2), separator_));
}

void VolleySheet::onResultChange(Field field) {
    writeText(field, ResultText(result(field).stored, separator_));
}

std::optional<SheetFailure> VolleySheet::onToHit() {
    return run(Command::Command1, [this] {
        state_.aimcraft = read(Field::Text1);
        if (state_.aimcraft > 10 || state_.aimcraft < 1) {
            writeText(Field::Text1, "");
            fail(Field::Text1, Problem::OutOfRange, state_.aimcraft);
        }
        const auto row = ToHitTable(state_.aimcraft);
        if (!row) {
            fail(Field::Text1, Problem::NotOnTable, state_.aimcraft);
        }
        // The ticked boxes are already part of the roll, so that unticking
        // one later takes off exactly what was put on.
        const double modifiers = tickedModifiers();
        writeText(Field::Text2,
                  modifiers == 0
                      ? std::string(row->text)
                      : TextFromNumber(finite(row->roll + modifiers, Field::Text2), separator_));
        state_.rollRating = text(Field::Text1);
    });
}

VolleySheet::Row VolleySheet::lookUp(Field input, Table table, double from, Field result) const {
    const double key = read(input);
    const auto value = table(key, from);
    // A row that matched for `from` matches for one shot too.
    const auto perShot = table(key, 1.0);
    if (!value || !perShot) {
        fail(input, Problem::NotOnTable, key);
    }
    return {finite(*value, result), *perShot};
}

void VolleySheet::store(Field field, double value, const ResultOdds& odds, SharedVolley from) {
    Result& stored = result(field);
    stored.stored = value;
    stored.odds = odds;
    stored.from = std::move(from);
    writeText(field, TextFromNumber(value, separator_));
}

std::optional<SheetFailure> VolleySheet::onHits() {
    return run(Command::Command2, [this] {
        state_.shots = read(Field::Text4);
        const Row row = lookUp(Field::Text2, HitTable, state_.shots, Field::Text3);
        store(Field::Text3, row.value, countOfShots(state_.shots, row.chance),
              SharedVolley(Volley{text(Field::Text4), text(Field::Text2), state_.rollRating,
                                  state_.boxes, std::nullopt, std::nullopt}));
    });
}

std::optional<SheetFailure> VolleySheet::onWounds() {
    return run(Command::Command3, [this] {
        const Result& source = result(Field::Text3);
        const Row row = lookUp(Field::Text5, WoundTable, source.stored, Field::Text6);
        Volley from = *source.from;
        from.toWound = text(Field::Text5);
        ++state_.woundsStored;
        store(Field::Text6, row.value, thinned(source.odds, row.chance),
              SharedVolley(std::move(from)));
    });
}

std::optional<SheetFailure> VolleySheet::onSaves() {
    return run(Command::Command4, [this] {
        const Result& source = result(Field::Text6);
        const Row row = lookUp(Field::Text7, SaveTable, source.stored, Field::Text8);
        Volley from = *source.from;
        from.armourSave = text(Field::Text7);
        state_.saveChance = row.chance;
        state_.savesFromWounds = state_.woundsStored;
        store(Field::Text8, row.value, thinned(source.odds, row.chance),
              SharedVolley(std::move(from)));
    });
}

std::optional<SheetFailure> VolleySheet::onCasualties() {
    return run(Command::Command5, [this] {
        const Result& fromWounds = result(Field::Text6);
        const Result& fromSaves = result(Field::Text8);
        const double lost = finite(Casualties(fromWounds.stored, fromSaves.stored), Field::Text9);
        // A wound not saved is a casualty, so with saves from these very
        // wounds the casualties are the wounds thinned by the chance to fail
        // the save.
        const ResultOdds spread = state_.savesFromWounds == state_.woundsStored
                                      ? thinned(fromWounds.odds, 1 - state_.saveChance)
                                      : ResultOdds(NoOdds::MixedSteps);
        store(Field::Text9, lost, spread, fromSaves.from);
    });
}

VolleySheet::ResultOdds VolleySheet::odds(Field result) const {
    const std::optional<std::size_t> index = resultIndex(result);
    return index ? state_.results[*index].odds : ResultOdds(NoOdds::NotAResult);
}

std::optional<SheetFailure> VolleySheet::onClear() {
    return run(Command::Command6, [this] {
        for (const Field field : {Field::Text1, Field::Text4, Field::Text5, Field::Text7}) {
            writeText(field, "");
        }
        for (const Box b : kAllBoxes) {
            writeBox(b, false);
        }
    });
}

std::optional<SheetFailure> VolleySheet::press(Command step) {
    switch (step) {
    case Command::Command1:
        return onToHit();
    case Command::Command2:
        return onHits();
    case Command::Command3:
        return onWounds();
    case Command::Command4:
        return onSaves();
    case Command::Command5:
        return onCasualties();
    case Command::Command6:
        return onClear();
    }
    return std::nullopt;
}

std::vector<Command> VolleySheet::workOutPlan() const {
    const Freshness& freshness = state_.freshness;
    std::vector<Command> plan;
    // A roll out of date needs To Hit even without a rating: it then says that
    // Aimcraft is missing, rather than Hits working on from the old roll.
    // With no roll at all, To Hit only when there is a rating to work from;
    // otherwise Hits says the roll is missing.
    if (freshness.outOfDate(Field::Text2) ||
        (blank(text(Field::Text2), separator_) && !blank(text(Field::Text1), separator_))) {
        plan.push_back(Command::Command1);
    }
    // A step redone puts every later one out of date, so from the first
    // result that needs its step, all the rest follow.
    std::size_t first = 0;
    while (first < kResults.size() && freshness.upToDate(kResults[first].field)) {
        ++first;
    }
    for (std::size_t r = first; r < kResults.size(); ++r) {
        plan.push_back(kResults[r].step);
    }
    return plan;
}

WorkOutAll VolleySheet::workOutAll() {
    WorkOutAll done;
    for (const Command step : workOutPlan()) {
        done.pressed.push_back(step);
        done.failure = press(step);
        if (done.failure) {
            break;
        }
    }
    return done;
}

void VolleySheet::restore(const State& state) {
    // The sheet takes the state before anyone hears of it, so that a window
    // echoing a text back meets it equal.
    const State before = std::exchange(state_, state);
    for (const Field f : kAllFields) {
        if (before.texts[indexOf(f)] != text(f)) {
            observer_.textChanged(f, text(f));
        }
    }
    for (const Box b : kAllBoxes) {
        if (before.boxes[indexOf(b)] != box(b)) {
            observer_.boxChanged(b, box(b));
        }
    }
}

}  // namespace tarvelin
