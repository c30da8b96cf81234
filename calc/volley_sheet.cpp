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

}  // namespace

VolleySheet::VolleySheet(SheetObserver& observer, std::string separator)
    : observer_(observer),
      separator_(separator.empty() ? std::string(kDefaultSeparator) : std::move(separator)) {}

template <typename Action>
void VolleySheet::run(Action action) {
    try {
        action();
    } catch (const SheetFailure& failure) {
        observer_.failed(failure);
    }
}

void VolleySheet::setText(Field field, std::string text) {
    run([&] { writeText(field, std::move(text)); });
}

void VolleySheet::setBox(Box box, bool ticked) {
    run([&] { writeBox(box, ticked); });
}

void VolleySheet::writeText(Field field, std::string text) {
    auto& current = texts_[indexOf(field)];
    if (current == text) {
        return;
    }
    current = std::move(text);
    observer_.textChanged(field, current);
    switch (field) {
    case Field::Text3:
    case Field::Text6:
    case Field::Text8:
    case Field::Text9:
        onResultChange(field);
        break;
    case Field::Text1:
    case Field::Text2:
    case Field::Text4:
    case Field::Text5:
    case Field::Text7:
        break;
    }
}

void VolleySheet::writeBox(Box box, bool ticked) {
    if (boxes_[indexOf(box)] == ticked) {
        return;
    }
    boxes_[indexOf(box)] = ticked;
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
    double stored = 0;
    switch (field) {
    case Field::Text3:
        stored = hits_;
        break;
    case Field::Text6:
        stored = wounds_;
        break;
    case Field::Text8:
        stored = saves_;
        break;
    case Field::Text9:
        stored = casualties_;
        break;
    case Field::Text1:
    case Field::Text2:
    case Field::Text4:
    case Field::Text5:
    case Field::Text7:
        return;
    }
    writeText(field, ResultText(stored, separator_));
}

void VolleySheet::onToHit() {
    run([this] {
        aimcraft_ = read(Field::Text1);
        if (aimcraft_ > 10 || aimcraft_ < 1) {
            writeText(Field::Text1, "");
            fail(Field::Text1, Problem::OutOfRange, aimcraft_);
        }
        const auto row = ToHitTable(aimcraft_);
        if (!row) {
            fail(Field::Text1, Problem::NotOnTable, aimcraft_);
        }
        // The ticked boxes are already part of the roll, so that unticking
        // one later takes off exactly what was put on.
        const double modifiers = tickedModifiers();
        writeText(Field::Text2,
                  modifiers == 0
                      ? std::string(row->text)
                      : TextFromNumber(finite(row->roll + modifiers, Field::Text2), separator_));
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

void VolleySheet::store(double& stored, double value, Field result) {
    stored = value;
    writeText(result, TextFromNumber(stored, separator_));
}

void VolleySheet::onHits() {
    run([this] {
        shots_ = read(Field::Text4);
        const Row row = lookUp(Field::Text2, HitTable, shots_, Field::Text3);
        hitsOdds_ = countOfShots(shots_, row.chance);
        store(hits_, row.value, Field::Text3);
    });
}

void VolleySheet::onWounds() {
    run([this] {
        const Row row = lookUp(Field::Text5, WoundTable, hits_, Field::Text6);
        woundsOdds_ = thinned(hitsOdds_, row.chance);
        ++woundsStored_;
        store(wounds_, row.value, Field::Text6);
    });
}

void VolleySheet::onSaves() {
    run([this] {
        const Row row = lookUp(Field::Text7, SaveTable, wounds_, Field::Text8);
        savesOdds_ = thinned(woundsOdds_, row.chance);
        saveChance_ = row.chance;
        savesFromWounds_ = woundsStored_;
        store(saves_, row.value, Field::Text8);
    });
}

void VolleySheet::onCasualties() {
    run([this] {
        const double casualties = finite(Casualties(wounds_, saves_), Field::Text9);
        // A wound not saved is a casualty, so with saves from these very
        // wounds the casualties are the wounds thinned by the chance to fail
        // the save.
        casualtiesOdds_ = savesFromWounds_ == woundsStored_ ? thinned(woundsOdds_, 1 - saveChance_)
                                                            : ResultOdds(NoOdds::MixedSteps);
        store(casualties_, casualties, Field::Text9);
    });
}

VolleySheet::ResultOdds VolleySheet::odds(Field result) const {
    switch (result) {
    case Field::Text3:
        return hitsOdds_;
    case Field::Text6:
        return woundsOdds_;
    case Field::Text8:
        return savesOdds_;
    case Field::Text9:
        return casualtiesOdds_;
    case Field::Text1:
    case Field::Text2:
    case Field::Text4:
    case Field::Text5:
    case Field::Text7:
        break;
    }
    return NoOdds::NotAResult;
}

void VolleySheet::onClear() {
    run([this] {
        for (const Field field : {Field::Text1, Field::Text4, Field::Text5, Field::Text7}) {
            writeText(field, "");
        }
        for (const Box b : kAllBoxes) {
            writeBox(b, false);
        }
    });
}

}  // namespace tarvelin
