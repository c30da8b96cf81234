// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Plays bytes as a sequence of user events on a sheet: typing texts into any
// field, ticking boxes and pressing the six buttons. After every event it
// checks what a user relies on:
//  - every change the sheet made was announced, in order, and nothing else;
//  - a result field that has changed shows ResultText of its stored number;
//  - hits, wounds and saves change only through their own action, and only
//    when it did not fail;
//  - ticking and at once unticking a box, with a whole roll, restores it;
//  - Clear leaves the four inputs empty and every box unticked;
//  - where a result has odds, they are a count of whole shots whose mean,
//    trials times chance, is the stored number;
//  - Work Out All presses its plan in order, up to the first failure;
//  - a state taken and given back later is the sheet's state exactly.
// Like the window, the observer echoes every change back into the sheet.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "calc/volley_sheet.h"

namespace {

using tarvelin::Box;
using tarvelin::Field;
using tarvelin::indexOf;

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

// Keeps its own copy of every field and box, built only from what the sheet
// announced; it must always equal the sheet.
class Shadow : public tarvelin::SheetObserver {
public:
    std::array<std::string, 9> texts{};
    std::array<bool, 6> boxes{};
    std::array<bool, 9> touched{};
    int failures = 0;
    tarvelin::VolleySheet* sheet = nullptr;

    void textChanged(Field field, const std::string& text) override {
        check(texts[indexOf(field)] != text, "announced a text that did not change");
        texts[indexOf(field)] = text;
        touched[indexOf(field)] = true;
        if (sheet != nullptr) {
            sheet->setText(field, text);
        }
    }
    void boxChanged(Box box, bool ticked) override {
        check(boxes[indexOf(box)] != ticked, "announced a box that did not change");
        boxes[indexOf(box)] = ticked;
        if (sheet != nullptr) {
            sheet->setBox(box, ticked);
        }
    }
    void failed(const tarvelin::SheetFailure&) override { ++failures; }
};

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    [[nodiscard]] bool done() const { return pos_ >= size_; }
    std::uint8_t byte() { return done() ? 0 : data_[pos_++]; }
    std::string bytes(std::size_t n) {
        std::string out;
        while (n-- > 0 && !done()) {
            out += static_cast<char>(byte());
        }
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

const char* const kTexts[] = {
    "4",      "12",   "0",  "-1",  "7",   "2.5",   "2,5",      "1",       "6",   "9",   "10",
    "11",     "5.5",  "-4", "3",   "8",   "1e308", "-1.7e308", "1e309",   "0.1", " 4 ", "4.",
    ".",      "4..5", "1e", "nan", "inf", "0x1",   "four",     "4 shots", "",    "   ", "-0",
    "1e-400", "+2",   "36", "1.2", "\t5", "5\n",   "\xff\xfe", "5",
};

std::string textFrom(Input& in) {
    const std::uint8_t kind = in.byte() % 4;
    switch (kind) {
    case 0:
    case 1:
        return kTexts[in.byte() % std::size(kTexts)];
    case 2:
        return in.bytes(in.byte() % 16);
    default:
        return std::string(1000 + in.byte() * 100, static_cast<char>('0' + in.byte() % 10));
    }
}

bool isResult(Field f) {
    return tarvelin::resultIndex(f).has_value();
}

double storedFor(const tarvelin::VolleySheet& sheet, Field f) {
    return sheet.state().results[tarvelin::resultIndex(f).value()].stored;
}

void checkMirror(const tarvelin::VolleySheet& sheet, const Shadow& shadow) {
    for (const Field f : tarvelin::kAllFields) {
        check(sheet.text(f) == shadow.texts[indexOf(f)], "a field changed unannounced");
        if (isResult(f) && shadow.touched[indexOf(f)]) {
            check(sheet.text(f) == tarvelin::ResultText(storedFor(sheet, f), sheet.separator()),
                  "a result field disagrees with its number");
        }
    }
    for (const Box b : tarvelin::kAllBoxes) {
        check(sheet.box(b) == shadow.boxes[indexOf(b)], "a box changed unannounced");
    }
}

void checkOdds(const tarvelin::VolleySheet& sheet) {
    for (const tarvelin::ResultRow& result : tarvelin::kResults) {
        const Field f = result.field;
        const auto odds = sheet.odds(f);
        if (const auto* o = std::get_if<tarvelin::Odds>(&odds)) {
            check(o->trials >= 0 && o->trials <= tarvelin::kMaxOddsTrials,
                  "odds for a count of shots out of range");
            check(o->chance >= 0 && o->chance <= 1, "odds with a chance outside 0 to 1");
            const double stored = storedFor(sheet, f);
            check(std::fabs(o->trials * o->chance - stored) <= 1e-12 * std::fabs(stored),
                  "the odds' mean is not the stored number");
        }
    }
}

enum class Step { None, Hits, Wounds, Saves, Many };

// A state taken, with which result fields had changed by then.
using Taken = std::pair<tarvelin::VolleySheet::State, std::array<bool, 9>>;

void checkWorkOutAll(tarvelin::VolleySheet& sheet, const Shadow& shadow) {
    const std::vector<tarvelin::Command> plan = sheet.workOutPlan();
    const int failuresBefore = shadow.failures;
    const tarvelin::WorkOutAll done = sheet.workOutAll();
    check(done.failure.has_value() == (shadow.failures != failuresBefore),
          "Work Out All hid or made up a failure");
    check(done.pressed.size() <= plan.size() &&
              std::equal(done.pressed.begin(), done.pressed.end(), plan.begin()),
          "Work Out All pressed what it did not plan");
    check(done.failure.has_value() || done.pressed.size() == plan.size(),
          "Work Out All stopped without a failure");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in(data, size);
    Shadow shadow;
    tarvelin::VolleySheet sheet(shadow, (in.byte() & 1) != 0 ? "," : ".");
    shadow.sheet = &sheet;
    std::vector<Taken> taken;

    while (!in.done()) {
        const double hits = sheet.hits();
        const double wounds = sheet.wounds();
        const double saves = sheet.saves();
        const int failuresBefore = shadow.failures;
        Step step = Step::None;

        switch (in.byte() % 13) {
        case 0:
            sheet.setText(tarvelin::kAllFields[in.byte() % 9], textFrom(in));
            break;
        case 1:
            sheet.setBox(tarvelin::kAllBoxes[in.byte() % 6], (in.byte() & 1) != 0);
            break;
        case 2:
            sheet.onToHit();
            break;
        case 3:
            sheet.onHits();
            step = Step::Hits;
            break;
        case 4:
            sheet.onWounds();
            step = Step::Wounds;
            break;
        case 5:
            sheet.onSaves();
            step = Step::Saves;
            break;
        case 6:
            sheet.onCasualties();
            break;
        case 7:
            sheet.onClear();
            for (const Field f : {Field::Text1, Field::Text4, Field::Text5, Field::Text7}) {
                check(sheet.text(f).empty(), "Clear left an input filled");
            }
            for (const Box b : tarvelin::kAllBoxes) {
                check(!sheet.box(b), "Clear left a box ticked");
            }
            break;
        case 8: {
            // A box there and back again, with a whole roll, leaves the roll.
            const Box b = tarvelin::kAllBoxes[in.byte() % 6];
            const std::string roll = sheet.text(Field::Text2);
            const auto parsed = tarvelin::ParseNumber(roll, sheet.separator());
            const bool whole = std::holds_alternative<double>(parsed) &&
                               std::get<double>(parsed) == std::trunc(std::get<double>(parsed)) &&
                               std::fabs(std::get<double>(parsed)) < 1e15;
            const bool was = sheet.box(b);
            sheet.setBox(b, !was);
            sheet.setBox(b, was);
            if (whole) {
                check(tarvelin::NumberFromText(sheet.text(Field::Text2), sheet.separator()) ==
                          std::get<double>(parsed),
                      "a box there and back moved the roll");
            }
            break;
        }
        case 9:
            checkWorkOutAll(sheet, shadow);
            step = Step::Many;
            break;
        case 10:
            taken.emplace_back(sheet.state(), shadow.touched);
            break;
        case 11:
            if (!taken.empty()) {
                const Taken& back = taken[in.byte() % taken.size()];
                sheet.restore(back.first);
                check(sheet.state() == back.first, "a state given back is not the state taken");
                shadow.touched = back.second;
                step = Step::Many;
            }
            break;
        default:
            sheet.setText(Field::Text2, textFrom(in));
            break;
        }

        check(shadow.failures - failuresBefore <= 1, "one event reported more than one failure");
        const bool failed = shadow.failures != failuresBefore;
        if (step != Step::Many) {
            check(step == Step::Hits ? !(failed && sheet.hits() != hits) : sheet.hits() == hits,
                  "hits changed outside a successful Hits");
            check(step == Step::Wounds ? !(failed && sheet.wounds() != wounds)
                                       : sheet.wounds() == wounds,
                  "wounds changed outside a successful Wounds");
            check(
                step == Step::Saves ? !(failed && sheet.saves() != saves) : sheet.saves() == saves,
                "saves changed outside a successful Saves");
        }
        for (const Field f : {Field::Text1, Field::Text4, Field::Text5, Field::Text7}) {
            check(!sheet.outOfDate(f), "an input is out of date");
        }
        checkMirror(sheet, shadow);
        checkOdds(sheet);
    }
    return 0;
}
