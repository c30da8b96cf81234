// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// What each control says about itself, on hover and to a screen reader: what
// goes into an input and which values it takes, what a button does, what a
// box adds, what a result shows and how likely each count of it is. The
// numbers come from the core; this module only words them.
#pragma once

#include <QString>
#include <cstddef>
#include <optional>
#include <string_view>

#include "calc/odds.h"
#include "calc/volley_sheet.h"

[[nodiscard]] QString fieldHelp(tarvelin::Field field);
[[nodiscard]] QString commandHelp(tarvelin::Command command);
[[nodiscard]] QString boxHelp(tarvelin::Box box);

// The odds of a result: the chance of none, then "at least K: P %" for the
// counts worth listing, from atLeast, the odds' chances of at least; or, without
// odds, why there are none.
[[nodiscard]] QString oddsHelp(const tarvelin::VolleySheet::ResultOdds& odds,
                               const tarvelin::CountChances& atLeast, std::string_view separator);

// The lines of a result's odds beside those of the result pinned to compare
// it with: "average 2.5 (pinned 2)", the chance of none, then "at least 2:
// 70.1 % (pinned 61.9 %)" for the counts worth showing of either volley.
struct ComparedOdds {
    tarvelin::Odds odds;
    const tarvelin::CountChances& atLeast;
};
[[nodiscard]] QString comparedOddsHelp(const ComparedOdds& now, const ComparedOdds& pinned,
                                       std::string_view separator);

// One line on a result's odds: "Casualties from 12 shots: average 2", with
// the average rounded as the field rounds it, and " (pinned 2)" after it
// with a pinned average.
[[nodiscard]] QString oddsTitle(tarvelin::Field result, int shots, double average,
                                std::string_view separator,
                                std::optional<double> pinned = std::nullopt);

// What a screen reader says after a step: "Hits: 6." for the field's caption
// and text, "Needed roll: 4" after To Hit.
[[nodiscard]] QString announcement(tarvelin::Field field, const QString& shown);
// The same for a result with a pinned one: "Casualties: 4, pinned 2.", the
// field's text without its trailing separator and the pinned average.
[[nodiscard]] QString announcement(tarvelin::Field field, const QString& shown, double pinned,
                                   std::string_view separator);

// What a screen reader hears after an undo or redo of the step called what:
// "Undid Clear: Aimcraft, Shots, To Wound and Armour Save are back.", then
// the boxes, the needed roll and the results that changed with it.
[[nodiscard]] QString historyAnnouncement(bool undone, const QString& what,
                                          const tarvelin::VolleySheet::State& from,
                                          const tarvelin::VolleySheet::State& to);
