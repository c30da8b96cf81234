// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "calc/volley_log.h"

namespace tarvelin {
namespace {

class Quiet : public SheetObserver {
    void textChanged(Field /*field*/, const std::string& /*text*/) override {}
    void boxChanged(Box /*box*/, bool /*ticked*/) override {}
    void failed(const SheetFailure& /*failure*/) override {}
};

// A sheet whose steps feed a log as the window's do: after each step that
// did not fail. "Text4=24" types, "Check1" ticks or unticks, "Command2"
// presses, "back0" puts row 0 back.
struct Logged {
    Quiet quiet;
    VolleySheet sheet{quiet};
    VolleyLog log;

    void act(const std::string& action) {
        if (action.starts_with("Text")) {
            sheet.setText(Field(std::stoi(action.substr(4)) - 1),
                          action.substr(action.find('=') + 1));
        } else if (action.starts_with("Check")) {
            const Box box = Box(std::stoi(action.substr(5)) - 1);
            sheet.setBox(box, !sheet.box(box));
        } else if (action.starts_with("back")) {
            const auto row = std::stoul(action.substr(4));
            sheet.restore(log.rows()[row].state);
            log.broughtBack(row);
        } else {
            const Command step = Command(std::stoi(action.substr(7)) - 1);
            const std::optional<SheetFailure> failure = press(step);
            if (!failure) {
                log.worked(sheet.state(), step);
            }
        }
    }
    std::optional<SheetFailure> press(Command step) {
        using Action = std::optional<SheetFailure> (VolleySheet::*)();
        constexpr Action actions[] = {&VolleySheet::onToHit,      &VolleySheet::onHits,
                                      &VolleySheet::onWounds,     &VolleySheet::onSaves,
                                      &VolleySheet::onCasualties, &VolleySheet::onClear};
        return (sheet.*actions[indexOf(step)])();
    }
    // Each row as the averages it holds, "-" for a result it lacks: "6 3 1 2".
    [[nodiscard]] std::vector<std::string> rows() const {
        std::vector<std::string> out;
        for (const LoggedVolley& row : log.rows()) {
            std::string line;
            for (std::size_t i = 0; i < kResults.size(); ++i) {
                const auto result = row.result(i);
                line += (i > 0 ? " " : "") +
                        (result ? ResultText(result->average, ".") : std::string("-"));
            }
            out.push_back(line);
        }
        return out;
    }
};

const std::vector<std::string> kWorkedExample{"Text1=4",  "Text4=12", "Text5=4",  "Text7=5",
                                              "Command1", "Check1",   "Command2", "Command3",
                                              "Command4", "Command5"};

struct SequenceRow {
    const char* what;
    std::vector<std::string> then;  // after the worked example
    std::vector<std::string> rows;
};

TEST(VolleyLog, StepsStartOrFillRows) {
    const SequenceRow table[] = {
        {"steps in order fill one row", {}, {"6. 3. 1. 2."}},
        {"pressed again to the same", {"Command2", "Command5"}, {"6. 3. 1. 2."}},
        {"shots changed", {"Text4=24", "Command2", "Command3"}, {"6. 3. 1. 2.", "12. 6. - -"}},
        {"only the save changed keeps hits and wounds",
         {"Text7=3", "Command4", "Command5"},
         {"6. 3. 1. 2.", "6. 3. 2. 1."}},
        {"a box ticked", {"Check2", "Command2"}, {"6. 3. 1. 2.", "4. - - -"}},
        {"a failed step adds nothing", {"Text5=", "Command3"}, {"6. 3. 1. 2."}},
        {"after Clear the old results are not kept again",
         {"Command6", "Command5"},
         {"6. 3. 1. 2."}},
        {"a volley brought back is continued, not repeated",
         {"Text7=3", "Command4", "back0", "Command5", "Text7=6", "Command4"},
         {"6. 3. 1. 2.", "6. 3. 2. -", "6. 3. 0.5 -"}},
        {"Work Out All's steps in one row",
         {"Text4=24", "Command2", "Command3", "Command4", "Command5"},
         {"6. 3. 1. 2.", "12. 6. 2. 4."}},
    };
    for (const SequenceRow& row : table) {
        Logged logged;
        for (const std::string& action : kWorkedExample) {
            logged.act(action);
        }
        for (const std::string& action : row.then) {
            logged.act(action);
        }
        EXPECT_EQ(logged.rows(), row.rows) << row.what;
    }
}

TEST(VolleyLog, RowKeepsTheSheetsNumbersAndOddsAndComesBackWhole) {
    Logged logged;
    for (const std::string& action : kWorkedExample) {
        logged.act(action);
    }
    const VolleySheet::State example = logged.sheet.state();
    for (const char* action : {"Text4=24", "Command2", "Command3", "Command4", "Command5"}) {
        logged.act(action);
    }
    const LoggedVolley& first = logged.log.rows().front();
    for (std::size_t i = 0; i < kResults.size(); ++i) {
        const auto odds = std::get<Odds>(example.results[i].odds);
        EXPECT_EQ(first.result(i), (LoggedResult{example.results[i].stored, odds}));
    }
    EXPECT_EQ(first.volley().armourSave, "5");
    EXPECT_EQ(first.name, "Volley 1");
    logged.act("back0");
    EXPECT_EQ(logged.sheet.state(), example);

    logged.log.remove({0, 0});
    EXPECT_EQ(logged.log.current(), std::nullopt);
    EXPECT_EQ(logged.log.rows().front().name, "Volley 2");
    logged.act("Text4=36");
    logged.act("Command2");
    EXPECT_EQ(logged.log.rows().back().name, "Volley 3");
}

// The total's chances worked out apart: every outcome of every shot, in long
// double, summed by the count of successes.
std::vector<long double> allOutcomes(const std::vector<Odds>& counts) {
    std::vector<std::pair<int, double>> shots;
    for (const Odds& odds : counts) {
        shots.insert(shots.end(), static_cast<std::size_t>(odds.trials), {1, odds.chance});
    }
    std::vector<long double> byCount(shots.size() + 1, 0);
    for (unsigned long outcome = 0; outcome < (1UL << shots.size()); ++outcome) {
        long double chance = 1;
        std::size_t hits = 0;
        for (std::size_t s = 0; s < shots.size(); ++s) {
            const bool hit = ((outcome >> s) & 1U) != 0;
            hits += hit ? 1 : 0;
            chance *= hit ? shots[s].second : 1 - static_cast<long double>(shots[s].second);
        }
        byCount[hits] += chance;
    }
    return byCount;
}

TEST(VolleyLog, TotalIsTheExactConvolution) {
    const std::vector<std::vector<Odds>> table{
        {{3, 0.5}, {4, 0.25}},
        {{3, 0.5}, {4, 0.25}, {5, 2.0 / 3}},
        {{6, 1.0 / 6}, {0, 0.5}, {2, 1}},
        {{7, 0.01}, {6, 0.02}, {5, 0.97}},
    };
    for (const std::vector<Odds>& counts : table) {
        const Total total = TotalOf(counts);
        const std::vector<long double> exact = allOutcomes(counts);
        ASSERT_EQ(total.chances.exactly.size(), exact.size());
        // Terms below 1e-20 of the likeliest are left out, and no more.
        const long double most = *std::max_element(exact.begin(), exact.end());
        long double atLeast = 0;
        for (std::size_t k = exact.size(); k > 0; --k) {
            atLeast += exact[k - 1];
            const auto near = [most](double got, long double want) {
                return std::fabs(static_cast<long double>(got) - want) <=
                       1e-15L * want + 1e-19L * most;
            };
            EXPECT_TRUE(near(total.chances.exactly[k - 1], exact[k - 1])) << k - 1;
            EXPECT_TRUE(near(total.chances.atLeast[k - 1], atLeast)) << k - 1;
        }
    }
    // Two volleys at the same rolls are one volley of all their shots.
    const Odds twelve{12, 1.0 / 6};
    const Odds twentyFour{24, 1.0 / 6};
    const Total both = TotalOf(std::vector<Odds>{twelve, twentyFour});
    const Chances one = ChancesOf(36, 1.0 / 6);
    EXPECT_DOUBLE_EQ(both.average, 6);
    for (std::size_t k = 0; k <= 36; ++k) {
        EXPECT_NEAR(both.chances.atLeast[k], one.atLeast[k], 1e-14 * one.atLeast[k] + 1e-19);
    }
}

}  // namespace
}  // namespace tarvelin
