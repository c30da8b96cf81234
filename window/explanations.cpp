// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/explanations.h"

#include <QStringList>
#include <array>
#include <cmath>

#include "calc/odds.h"
#include "calc/shooting_tables.h"
#include "window/failure_message.h"
#include "window/odds_table.h"

using tarvelin::Field;

QString fieldHelp(Field field) {
    switch (field) {
    case Field::Text1:
        return "The shooters' Aimcraft rating, a whole number from 1 to 10. Enter presses To Hit.";
    case Field::Text2:
        return "The roll needed to hit: To Hit works it out and the boxes move it, or type it. "
               "A roll below 2 always hits, 9 or more never. Enter presses Hits.";
    case Field::Text4:
        return "How many shots the unit fires. Enter presses Hits.";
    case Field::Text5:
        return "The roll needed to wound, a whole number up to 6: 1 wounds with every hit, "
               "0 and below with none. Enter presses Wounds.";
    case Field::Text7:
        return "The armour save, a whole number up to 6: 1 and below save every wound. "
               "Enter presses Saves.";
    case Field::Text3:
        return "The average number of hits, with one decimal.";
    case Field::Text6:
        return "The average number of wounds, with one decimal.";
    case Field::Text8:
        return "The average number of saved wounds, with one decimal.";
    case Field::Text9:
        return "The average number of casualties, with one decimal.";
    }
    return {};
}

QString commandHelp(std::size_t command) {
    static const std::array<const char*, 6> kHelp{
        "Works out the roll needed to hit from Aimcraft and the ticked boxes.",
        "Works out the average hits from Shots and the needed roll.",
        "Works out the average wounds from the hits and To Wound.",
        "Works out the average saved wounds from the wounds and Armour Save.",
        "Works out the average casualties: the wounds not saved.",
        "Empties Aimcraft, Shots, To Wound and Armour Save and unticks the boxes; the "
        "results stay.",
    };
    return command < kHelp.size() ? QString(kHelp[command]) : QString();
}

QString boxHelp(tarvelin::Box box) {
    const double amount = tarvelin::ModifierTable(box);
    // A minus sign, not a hyphen, so that a screen reader says "minus".
    const QString sign = amount < 0 ? QString(QChar(0x2212)) : QString("+");
    return sign + QString::number(std::fabs(amount)) + " to the needed roll while ticked.";
}

QString oddsHelp(const tarvelin::VolleySheet::ResultOdds& odds,
                 const tarvelin::CountChances& atLeast, std::string_view separator) {
    if (const auto* reason = std::get_if<tarvelin::NoOdds>(&odds)) {
        switch (*reason) {
        case tarvelin::NoOdds::NotAResult:
            return {};
        case tarvelin::NoOdds::NotYet:
            return "Odds appear once Hits has worked from a whole number of shots.";
        case tarvelin::NoOdds::ShotsNotWhole:
            return "Odds need a whole number of shots from 0 to 100,000.";
        case tarvelin::NoOdds::MixedSteps:
            return "No odds: Saves was not worked out from these wounds.";
        }
        return {};
    }
    const auto& binomial = std::get<tarvelin::Odds>(odds);
    const auto percent = [separator](double chance, bool possible = false) {
        return QString::fromStdString(tarvelin::PercentText(chance, possible, separator)) + " %";
    };
    // Straight from the chance of a miss, so that a tiny chance of none does
    // not vanish into 1 - (1 - tiny); where even that underflows, it is still
    // not impossible.
    const double none = std::pow(1 - binomial.chance, binomial.trials);
    QStringList lines{"none: " + percent(none, tarvelin::Possible(binomial, 0))};
    const tarvelin::CountsShown shown = tarvelin::CountsWorthShowing(atLeast);
    if (shown.step > 1) {
        lines << QString("in steps of %1:").arg(shown.step);
    }
    for (const int k : shown.counts) {
        lines << QString("at least %1: ").arg(k) + percent(atLeast[static_cast<std::size_t>(k)]);
    }
    return lines.join('\n');
}

QString oddsTitle(Field result, int shots, double average, std::string_view separator) {
    return QString("%1 from %2 %3: average %4")
        .arg(fieldCaption(result), QString::number(shots), QString(shots == 1 ? "shot" : "shots"),
             averageText(average, separator));
}

QString announcement(Field field, const QString& shown) {
    // Results end in the separator already ("6."), so nothing is added.
    return fieldCaption(field) + ": " + (shown.isEmpty() ? QString("empty") : shown);
}
