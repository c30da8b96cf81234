// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "calc/volley_sheet.h"

namespace tarvelin {
namespace {

class Quiet : public SheetObserver {
public:
    void textChanged(Field /*field*/, const std::string& /*text*/) override {}
    void boxChanged(Box /*box*/, bool /*ticked*/) override {}
    void failed(const SheetFailure& /*failure*/) override {}
};

using Steps = std::vector<std::string>;

// The worked example: the four inputs, To Hit, Moved, and the four steps.
const Steps kExample{"T1=4", "T4=12", "T5=4", "T7=5", "C1", "B1+", "C2", "C3", "C4", "C5"};

// Plays "T1=4" (typing), "B3+" or "B3-" (a box) and "C2" (a button).
void play(VolleySheet& sheet, const Steps& steps) {
    using Action = std::optional<SheetFailure> (VolleySheet::*)();
    const Action buttons[] = {&VolleySheet::onToHit,      &VolleySheet::onHits,
                              &VolleySheet::onWounds,     &VolleySheet::onSaves,
                              &VolleySheet::onCasualties, &VolleySheet::onClear};
    for (const std::string& step : steps) {
        const auto n = static_cast<std::size_t>(step[1] - '1');
        if (step[0] == 'T') {
            sheet.setText(kAllFields[n], step.substr(3));
        } else if (step[0] == 'B') {
            sheet.setBox(kAllBoxes[n], step[2] == '+');
        } else {
            (sheet.*buttons[n])();
        }
    }
}

// "Edited C1 T1", "Ticked C1 B3", "Redone C2"; empty while fresh.
std::string describe(const std::optional<OutOfDate>& why) {
    if (!why) {
        return "";
    }
    const char* const causes[] = {"Edited", "Ticked", "Unticked", "ChangedBy",
                                  "Redone", "Failed", "Without",  "FromStale"};
    std::string text = std::string(causes[static_cast<std::size_t>(why->cause)]) + " C" +
                       std::to_string(indexOf(why->step) + 1);
    if (const auto* field = std::get_if<Field>(&why->what)) {
        text += " T" + std::to_string(indexOf(*field) + 1);
    } else if (const auto* box = std::get_if<Box>(&why->what)) {
        text += " B" + std::to_string(indexOf(*box) + 1);
    }
    return text;
}

// "12 4 4 B1 4 5": shots, roll, rating, boxes, to wound, save; "-" for none.
std::string describe(const Volley& from) {
    std::string boxes;
    for (const Box b : kAllBoxes) {
        boxes += from.boxes[indexOf(b)] ? "B" + std::to_string(indexOf(b) + 1) : "";
    }
    const auto text = [](const std::optional<std::string>& s) {
        return s && !s->empty() ? *s : "-";
    };
    return text(from.shots) + " " + text(from.roll) + " " + text(from.rating) + " " + text(boxes) +
           " " + text(from.toWound) + " " + text(from.armourSave);
}

std::string describe(const std::vector<Command>& steps) {
    std::string text;
    for (const Command c : steps) {
        text += (text.empty() ? "C" : " C") + std::to_string(indexOf(c) + 1);
    }
    return text;
}

// The roll, then the four results or the one cause they all share: "- | Ticked C1 B3".
std::string marks(const VolleySheet& sheet) {
    std::string results;
    for (const ResultRow& r : kResults) {
        const std::string mark = describe(sheet.outOfDate(r.field));
        results += (results.empty() ? "" : ", ") + (mark.empty() ? "-" : mark);
    }
    const std::string first = results.substr(0, results.find(','));
    if (results == first + ", " + first + ", " + first + ", " + first) {
        results = first;
    }
    const std::string roll = describe(sheet.outOfDate(Field::Text2));
    return (roll.empty() ? "-" : roll) + " | " + results;
}

// The worked example first, when asked for.
void play(VolleySheet& sheet, bool example, const Steps& steps) {
    if (example) {
        play(sheet, kExample);
    }
    play(sheet, steps);
}

TEST(Freshness, FollowsWhatEachResultAndTheRollWereWorkedFrom) {
    const struct {
        bool example;
        Steps steps;
        const char* marks;
        const char* plan;
        std::array<const char*, 2> from;  // Hits' and Casualties'; "" unchecked
    } rows[] = {
        {true, {}, "- | -", "", {"12 4 4 B1 - -", "12 4 4 B1 4 5"}},
        // The tick after To Hit kept the roll To Hit's, so the rating reaches it.
        {true, {"T1=3"}, "Edited C1 T1 | Edited C1 T1", "C1 C2 C3 C4 C5", {"12 4 4 B1 - -", ""}},
        {true,
         {"T1=3", "C2"},
         "Edited C1 T1 | FromStale C1, Redone C2, Redone C2, Redone C2",
         "C1 C2 C3 C4 C5",
         {"12 4 4 B1 - -", ""}},
        // A rating typed out of range and emptied by To Hit: the user's edit stays the cause.
        {true, {"T1=11", "C1"}, "Edited C1 T1 | Edited C1 T1", "C1 C2 C3 C4 C5", {"", ""}},
        // Clear empties Aimcraft first, but Shots is the nearer cause while there is one.
        {true, {"C6"}, "ChangedBy C6 T1 | ChangedBy C6 T4", "C1 C2 C3 C4 C5", {"", ""}},
        {false,
         {"T1=4", "C1", "T4=12", "C2", "T4=", "C6"},
         "ChangedBy C6 T1 | ChangedBy C6 T1, -, -, -",
         "C1 C2 C3 C4 C5",
         {"12 3 4 - - -", ""}},
        // A roll the player typed is theirs: Aimcraft reaches nothing.
        {false, {"T2=4", "T4=12", "C2", "T1=5"}, "- | -", "C3 C4 C5", {"12 4 - - - -", ""}},
        {true, {"B3+"}, "- | Ticked C1 B3", "C2 C3 C4 C5", {"", ""}},
        {true, {"T7=7", "C4"}, "- | -, -, Edited C1 T7, Failed C4", "C4 C5", {"", "12 4 4 B1 4 5"}},
        {false,
         {"T5=4", "T7=5", "C3", "C4", "C5"},
         "- | -, Without C2, Without C2, Without C2",
         "C2 C3 C4 C5",
         {"- - - - - -", "- - - - 4 5"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.steps));
        Quiet quiet;
        VolleySheet sheet(quiet);
        play(sheet, row.example, row.steps);
        EXPECT_EQ(marks(sheet), row.marks);
        EXPECT_EQ(describe(sheet.outOfDate(Field::Text1)), "");
        EXPECT_EQ(describe(sheet.workOutPlan()), row.plan);
        const Field from[] = {Field::Text3, Field::Text9};
        for (std::size_t i = 0; i < 2; ++i) {
            if (*row.from[i] != '\0') {
                EXPECT_EQ(describe(sheet.workedFrom(from[i])), row.from[i]);
            }
        }
    }
}

TEST(WorkOutAll, PressesThePlanUpToTheFirstFailure) {
    const struct {
        bool example;
        Steps steps;
        const char* pressed;
        std::optional<SheetFailure> failure;
        const char* shown;  // the roll and the four results
    } rows[] = {
        {true, {"B3+"}, "C2 C3 C4 C5", {}, "5 4. 2. 0.7 1.3"},
        {true, {"T1=3"}, "C1 C2 C3 C4 C5", {}, "5 4. 2. 0.7 1.3"},
        {false, {"T1=4", "T4=12", "T5=4", "T7=5"}, "C1 C2 C3 C4 C5", {}, "3 8. 4. 1.3 2.7"},
        {false,
         {"T1=4", "T4=12"},
         "C1 C2 C3",
         SheetFailure{Field::Text5, Problem::Empty},
         "3 8.   "},
        {true,
         {"T1=11"},
         "C1",
         SheetFailure{Field::Text1, Problem::OutOfRange, 11},
         "4 6. 3. 1. 2."},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::PrintToString(row.steps));
        Quiet quiet;
        VolleySheet sheet(quiet);
        play(sheet, row.example, row.steps);
        const WorkOutAll done = sheet.workOutAll();
        EXPECT_EQ(describe(done.pressed), row.pressed);
        EXPECT_EQ(done.failure, row.failure);
        std::string shown = sheet.text(Field::Text2);
        for (const ResultRow& r : kResults) {
            shown += " " + sheet.text(r.field);
        }
        EXPECT_EQ(shown, row.shown);
        // Done to the end, nothing is left to do.
        if (!row.failure) {
            EXPECT_EQ(marks(sheet), "- | -");
            EXPECT_EQ(describe(sheet.workOutPlan()), "");
        }
    }
}

}  // namespace
}  // namespace tarvelin
