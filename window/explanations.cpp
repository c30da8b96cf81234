// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/explanations.h"

#include <QStringList>
#include <cmath>

#include "calc/odds.h"
#include "calc/shooting_tables.h"
#include "window/controls.h"
#include "window/odds_table.h"
#include "window/utf8.h"

using tarvelin::Field;

QString fieldHelp(Field field) {
    return controlOf(field).help;
}

QString commandHelp(tarvelin::Command command) {
    return controlOf(command).help;
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
    QStringList lines{"none: " + percent(tarvelin::ChanceOfNone(binomial),
                                         tarvelin::Possible(binomial, 0), separator)};
    const tarvelin::CountsShown shown = tarvelin::CountsWorthShowing(atLeast);
    if (shown.step > 1) {
        lines << QString("in steps of %1:").arg(shown.step);
    }
    for (const int k : shown.counts) {
        lines << QString("at least %1: ").arg(k) +
                     percent(atLeast[static_cast<std::size_t>(k)], false, separator);
    }
    return lines.join('\n');
}

QString comparedOddsHelp(const ComparedOdds& now, const ComparedOdds& pinned,
                         std::string_view separator) {
    // Each value of the current volley with the pinned one's after it.
    const auto both = [&now, &pinned](const auto& format) {
        return format(now) + " (pinned " + format(pinned) + ")";
    };
    QStringList lines{"average " + both([separator](const ComparedOdds& o) {
                          return averageText(o.odds.trials * o.odds.chance, separator);
                      }),
                      "none: " + both([separator](const ComparedOdds& o) {
                          return percent(tarvelin::ChanceOfNone(o.odds),
                                         tarvelin::Possible(o.odds, 0), separator);
                      })};
    const tarvelin::CountsShown shown = tarvelin::CountsWorthShowing(now.atLeast, pinned.atLeast);
    if (shown.step > 1) {
        lines << QString("in steps of %1:").arg(shown.step);
    }
    for (const int k : shown.counts) {
        lines << QString("at least %1: ").arg(k) + both([k, separator](const ComparedOdds& o) {
                     return percent(o.atLeast[static_cast<std::size_t>(k)],
                                    tarvelin::PossibleAtLeast(o.odds, k), separator);
                 });
    }
    return lines.join('\n');
}

QString oddsTitle(Field result, int shots, double average, std::string_view separator,
                  std::optional<double> pinned) {
    return QString("%1 from %2 %3: average %4")
               .arg(fieldCaption(result), QString::number(shots),
                    QString(shots == 1 ? "shot" : "shots"), averageText(average, separator)) +
           (pinned ? " (pinned " + averageText(*pinned, separator) + ")" : QString());
}

QString announcement(Field field, const QString& shown) {
    // Results end in the separator already ("6."), so nothing is added.
    return fieldCaption(field) + ": " + (shown.isEmpty() ? QString("empty") : shown);
}

QString announcement(Field field, const QString& shown, double pinned, std::string_view separator) {
    const QString mark = utf8(separator);
    const QString value = shown.endsWith(mark) ? shown.chopped(mark.size()) : shown;
    return fieldCaption(field) + ": " + (value.isEmpty() ? QString("empty") : value) + ", pinned " +
           averageText(pinned, separator) + ".";
}

namespace {

// "Aimcraft", "Aimcraft and Shots", "Aimcraft, Shots and To Wound".
QString listed(const QStringList& names) {
    if (names.size() < 2) {
        return names.join("");
    }
    return QStringList(names.first(names.size() - 1)).join(", ") + " and " + names.last();
}

// The inputs that came back, were emptied or took another text.
QString inputsChanged(const tarvelin::VolleySheet::State& from,
                      const tarvelin::VolleySheet::State& to) {
    QStringList back;
    QStringList emptied;
    QStringList other;
    for (const Field field : tarvelin::kAllFields) {
        const auto& before = from.texts[tarvelin::indexOf(field)];
        const auto& after = to.texts[tarvelin::indexOf(field)];
        if (!controlOf(field).input || field == Field::Text2 || before == after) {
            continue;
        }
        if (before.empty()) {
            back << fieldCaption(field);
        } else if (after.empty()) {
            emptied << fieldCaption(field);
        } else {
            other << fieldCaption(field) + " " + QString::fromStdString(after);
        }
    }
    QStringList parts;
    if (!back.isEmpty()) {
        parts << listed(back) + (back.size() == 1 ? " is back" : " are back");
    }
    if (!emptied.isEmpty()) {
        parts << listed(emptied) + " cleared";
    }
    parts << other;
    return parts.join(", ");
}

}  // namespace

QString historyAnnouncement(bool undone, const QString& what,
                            const tarvelin::VolleySheet::State& from,
                            const tarvelin::VolleySheet::State& to) {
    const QString inputs = inputsChanged(from, to);
    QStringList sentences{(undone ? "Undid " : "Redid ") + what +
                          (inputs.isEmpty() ? QString() : ": " + inputs) + "."};
    QStringList ticked;
    QStringList unticked;
    for (const tarvelin::Box box : tarvelin::kAllBoxes) {
        const std::size_t b = tarvelin::indexOf(box);
        if (from.boxes[b] != to.boxes[b]) {
            (to.boxes[b] ? ticked : unticked) << utf8(tarvelin::BoxCaption(box));
        }
    }
    if (!ticked.isEmpty()) {
        sentences << listed(ticked) + " ticked.";
    }
    if (!unticked.isEmpty()) {
        sentences << listed(unticked) + " unticked.";
    }
    // The roll and the results as the fields now show them.
    QList<Field> shown{Field::Text2};
    for (const tarvelin::ResultRow& result : tarvelin::kResults) {
        shown << result.field;
    }
    for (const Field field : shown) {
        const auto& after = to.texts[tarvelin::indexOf(field)];
        if (from.texts[tarvelin::indexOf(field)] != after) {
            const QString line = announcement(field, QString::fromStdString(after));
            sentences << (line.endsWith('.') ? line : line + ".");
        }
    }
    return sentences.join(' ');
}
