// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The three conversions against the bare standard calls they are built on,
// on the same values, the worked example through a whole sheet, restoring a
// state against a press of Hits, and Work Out All against pressing by hand.
#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <string>
#include <utility>
#include <variant>

#include "calc/odds_chart.h"
#include "calc/volley_sheet.h"

namespace {

const std::array<std::string, 8> kTexts{
    "4", "12", "2.5", "-1", "0.833333333333333", "1e1", "36", "3.33333333333333"};
const std::array<double, 8> kValues{6, 10.0 / 3, 2.5, -1, 1 / 1.2, 7.96, 1234567, 0.5};

void NumberFromText(benchmark::State& state) {
    for (auto _ : state) {
        for (const auto& text : kTexts) {
            benchmark::DoNotOptimize(tarvelin::NumberFromText(text));
        }
    }
}
BENCHMARK(NumberFromText);

void BareFromChars(benchmark::State& state) {
    for (auto _ : state) {
        for (const auto& text : kTexts) {
            double value = 0;
            std::from_chars(text.data(), text.data() + text.size(), value);
            benchmark::DoNotOptimize(value);
        }
    }
}
BENCHMARK(BareFromChars);

void TextFromNumber(benchmark::State& state) {
    for (auto _ : state) {
        for (const double value : kValues) {
            benchmark::DoNotOptimize(tarvelin::TextFromNumber(value));
        }
    }
}
BENCHMARK(TextFromNumber);

// The bare call that does the same job: 15 significant digits, shortest form.
void BareToCharsGeneral15(benchmark::State& state) {
    for (auto _ : state) {
        for (const double value : kValues) {
            std::array<char, 32> buf{};
            benchmark::DoNotOptimize(std::to_chars(buf.data(), buf.data() + buf.size(), value,
                                                   std::chars_format::general, 15));
            benchmark::DoNotOptimize(buf);
        }
    }
}
BENCHMARK(BareToCharsGeneral15);

void ResultText(benchmark::State& state) {
    for (auto _ : state) {
        for (const double value : kValues) {
            benchmark::DoNotOptimize(tarvelin::ResultText(value));
        }
    }
}
BENCHMARK(ResultText);

void BareToCharsFixed1(benchmark::State& state) {
    for (auto _ : state) {
        for (const double value : kValues) {
            std::array<char, 32> buf{};
            benchmark::DoNotOptimize(std::to_chars(buf.data(), buf.data() + buf.size(), value,
                                                   std::chars_format::fixed, 1));
            benchmark::DoNotOptimize(buf);
        }
    }
}
BENCHMARK(BareToCharsFixed1);

class NullObserver : public tarvelin::SheetObserver {
public:
    void textChanged(tarvelin::Field /*field*/, const std::string& /*text*/) override {}
    void boxChanged(tarvelin::Box /*box*/, bool /*ticked*/) override {}
    void failed(const tarvelin::SheetFailure& /*failure*/) override {}
};

// Four inputs, To Hit, a box, the four steps and Clear.
void workedExample(tarvelin::VolleySheet& sheet) {
    using tarvelin::Field;
    sheet.setText(Field::Text1, "4");
    sheet.setText(Field::Text4, "12");
    sheet.setText(Field::Text5, "4");
    sheet.setText(Field::Text7, "5");
    sheet.onToHit();
    sheet.setBox(tarvelin::Box::Check1, true);
    sheet.onHits();
    sheet.onWounds();
    sheet.onSaves();
    sheet.onCasualties();
    sheet.onClear();
}

void WorkedExample(benchmark::State& state) {
    NullObserver observer;
    for (auto _ : state) {
        tarvelin::VolleySheet sheet(observer);
        workedExample(sheet);
        benchmark::DoNotOptimize(sheet.casualties());
    }
}
BENCHMARK(WorkedExample);

// What the window does with a result's odds once it is stored: the tails and
// the chance of each count that is not negligible, the chart's model, the
// counts worth listing and their percentages.
std::size_t workOutOdds(const tarvelin::VolleySheet& sheet, tarvelin::Field result) {
    const auto odds = sheet.odds(result);
    const auto* binomial = std::get_if<tarvelin::Odds>(&odds);
    if (binomial == nullptr) {
        return 0;
    }
    const auto chances = tarvelin::ChancesOf(binomial->trials, binomial->chance);
    benchmark::DoNotOptimize(tarvelin::ChartOfOdds(*binomial, chances));
    std::size_t characters = 0;
    for (const int k : tarvelin::CountsWorthShowing(chances.atLeast).counts) {
        characters +=
            tarvelin::PercentText(chances.atLeast[static_cast<std::size_t>(k)], ".").size();
    }
    return characters;
}

// The worked example as above, and the odds of its four results.
void WorkedExampleWithOdds(benchmark::State& state) {
    using tarvelin::Field;
    NullObserver observer;
    for (auto _ : state) {
        tarvelin::VolleySheet sheet(observer);
        workedExample(sheet);
        for (const tarvelin::ResultRow& result : tarvelin::kResults) {
            benchmark::DoNotOptimize(workOutOdds(sheet, result.field));
        }
    }
}
BENCHMARK(WorkedExampleWithOdds);

// Hits from 100,000 shots, the most the odds are worked out for, and its odds.
void HitsWithOddsOf100000Shots(benchmark::State& state) {
    using tarvelin::Field;
    NullObserver observer;
    tarvelin::VolleySheet sheet(observer);
    sheet.setText(Field::Text2, "4");
    sheet.setText(Field::Text4, "100000");
    for (auto _ : state) {
        sheet.onHits();
        benchmark::DoNotOptimize(workOutOdds(sheet, Field::Text3));
    }
}
BENCHMARK(HitsWithOddsOf100000Shots);

// Giving back a state, as an undo does: the worked example's and the empty
// sheet's in turn, so that every field changes each time.
void RestoreWorkedExample(benchmark::State& state) {
    NullObserver observer;
    tarvelin::VolleySheet sheet(observer);
    const tarvelin::VolleySheet::State empty = sheet.state();
    workedExample(sheet);
    const tarvelin::VolleySheet::State example = sheet.state();
    bool back = false;
    for (auto _ : state) {
        sheet.restore((back = !back) ? empty : example);
        benchmark::DoNotOptimize(sheet.casualties());
    }
}
BENCHMARK(RestoreWorkedExample);

// Its baseline: one press of Hits on the worked example's inputs.
void PressHits(benchmark::State& state) {
    NullObserver observer;
    tarvelin::VolleySheet sheet(observer);
    sheet.setText(tarvelin::Field::Text2, "4");
    sheet.setText(tarvelin::Field::Text4, "12");
    for (auto _ : state) {
        sheet.onHits();
        benchmark::DoNotOptimize(sheet.hits());
    }
}
BENCHMARK(PressHits);

// A tick puts the worked example out of date; then Work Out All, or the four
// steps pressed by hand.
template <bool all>
void AfterATick(benchmark::State& state) {
    NullObserver observer;
    tarvelin::VolleySheet sheet(observer);
    workedExample(sheet);
    for (const auto& [field, text] : {std::pair{tarvelin::Field::Text1, "4"},
                                      {tarvelin::Field::Text4, "12"},
                                      {tarvelin::Field::Text5, "4"},
                                      {tarvelin::Field::Text7, "5"}}) {
        sheet.setText(field, text);
    }
    bool ticked = false;
    for (auto _ : state) {
        sheet.setBox(tarvelin::Box::Check3, ticked = !ticked);
        if constexpr (all) {
            benchmark::DoNotOptimize(sheet.workOutAll());
        } else {
            sheet.onHits();
            sheet.onWounds();
            sheet.onSaves();
            sheet.onCasualties();
        }
        benchmark::DoNotOptimize(sheet.casualties());
    }
}
BENCHMARK(AfterATick<true>)->Name("WorkOutAllAfterATick");
BENCHMARK(AfterATick<false>)->Name("FourStepsAfterATick");

}  // namespace

BENCHMARK_MAIN();
