// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// One result's odds as text to paste: a heading that names the volley, a
// header row, and a row for each count the chart shows, or on a large volley
// for each range of counts, with plain numbers a spreadsheet reads. The
// chances and rows come from calc/; what the volley was and when to copy is
// the caller's.
#pragma once

#include <QString>
#include <optional>
#include <string_view>

#include "calc/names.h"
#include "calc/odds_chart.h"
#include "calc/volley_sheet.h"

// At most this many rows follow the header, whatever the volley.
inline constexpr std::size_t kMostTableRows = 200;

enum class TableLayout {
    Tabs,     // cells apart by tabs, for a spreadsheet
    Columns,  // cells padded into columns, for a message or a forum post
};

// An average as the field rounds it, without the field's trailing
// separator: "6", "2.5" (AverageText).
[[nodiscard]] QString averageText(double average, std::string_view separator);

// A chance as a plain percentage a spreadsheet reads (TableNumber).
[[nodiscard]] QString tableNumber(double chance, std::string_view separator, int decimals = 1);

// What a result was worked out from, in words: "12 shots, Aimcraft 4 (needed
// roll 4, Moved), To Wound 4, Armour Save 5"; the rating only where To Hit
// wrote the roll.
[[nodiscard]] QString volleyWords(const tarvelin::Volley& volley, std::string_view separator);

// Two volleys named by what differs between them, each as its parts:
// {"Armour Save 6", "Armour Save 4"}, {"24 shots, Moved", "12 shots, no box
// ticked"}; by the whole volley when more than two parts differ; nothing
// when they are alike.
struct VolleyNames {
    QString now;
    QString pinned;
    bool whole = false;  // named by the whole volley, too long for the chart's key
};
[[nodiscard]] std::optional<VolleyNames> comparedNames(const tarvelin::Volley& now,
                                                       const tarvelin::Volley& pinned,
                                                       std::string_view separator);
// "Casualties: Armour Save 6 (2.5) against Armour Save 4 (1.5)".
[[nodiscard]] QString comparisonTitle(tarvelin::Field result, const VolleyNames& names, double now,
                                      double pinned, std::string_view separator);

// What a result was and what it was worked out from: "Casualties of 12
// shots, Aimcraft 4 (needed roll 4, Moved), To Wound 4, Armour Save 5:
// average 2". volley: "12 shots, Aimcraft 4 (needed roll 4, Moved)", ...;
// result: Text3, Text6, Text8 or Text9.
[[nodiscard]] QString volleyHeading(tarvelin::Field result, const QString& volley, double average,
                                    std::string_view separator);

// volley: as for volleyHeading.
[[nodiscard]] QString oddsTable(tarvelin::Field result, const QString& volley,
                                const tarvelin::OddsChart& chart, const tarvelin::Chances& chances,
                                std::string_view separator, TableLayout layout);

// One volley of a table: its volleyHeading, its chart and the chances it drew.
struct TableVolley {
    QString heading;
    const tarvelin::OddsChart& chart;
    const tarvelin::Chances& chances;
};
// A result beside the one pinned to compare it with: both headings, the
// pinned one after "Pinned: ", and the pinned columns after the current ones,
// over the counts of `now`'s chart, which CompareCharts made those of both.
// Rows of ranges (RowsOfChart) have a "from" and a "to" in place of the
// count, and when they leave counts out, a line under the headings says how
// many volleys they hold: "counts 16200 to 17099, 99.984 % of all volleys".
[[nodiscard]] QString oddsTable(const TableVolley& now, const TableVolley* pinned,
                                std::string_view separator, TableLayout layout);
