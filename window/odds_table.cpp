// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/odds_table.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "calc/number_text.h"
#include "calc/odds.h"
#include "calc/shooting_tables.h"
#include "window/controls.h"
#include "window/utf8.h"

QString averageText(double average, std::string_view separator) {
    return utf8(tarvelin::AverageText(average, separator));
}

QString tableNumber(double chance, std::string_view separator, int decimals) {
    return utf8(tarvelin::TableNumber(chance, separator, decimals));
}

namespace {

// Pads each cell to its column's width: counts and chances to the right, so
// that their digits line up.
QString inColumns(const std::vector<QStringList>& rows) {
    std::vector<qsizetype> widths;
    for (const QStringList& row : rows) {
        widths.resize(std::max<std::size_t>(widths.size(), static_cast<std::size_t>(row.size())));
        for (qsizetype c = 0; c < row.size(); ++c) {
            auto& width = widths[static_cast<std::size_t>(c)];
            width = std::max(width, row[c].size());
        }
    }
    QString text;
    for (const QStringList& row : rows) {
        QStringList cells;
        for (qsizetype c = 0; c < row.size(); ++c) {
            cells << row[c].rightJustified(widths[static_cast<std::size_t>(c)]);
        }
        text += cells.join("  ") + '\n';
    }
    return text;
}

}  // namespace

namespace {

QString shotsWords(const tarvelin::Volley& volley, std::string_view separator) {
    const auto count = tarvelin::ParseNumber(volley.shots, separator);
    const double* const one = std::get_if<double>(&count);
    return QString::fromStdString(volley.shots) +
           (one != nullptr && *one == 1 ? " shot" : " shots");
}

QStringList tickedBoxes(const tarvelin::Volley& volley) {
    QStringList ticked;
    for (const tarvelin::Box box : tarvelin::kAllBoxes) {
        if (volley.boxes[tarvelin::indexOf(box)]) {
            ticked << utf8(tarvelin::BoxCaption(box));
        }
    }
    return ticked;
}

QString partWords(const tarvelin::Volley& volley, tarvelin::VolleyPart part,
                  std::string_view separator) {
    const auto text = [](const std::optional<std::string>& typed) {
        return QString::fromStdString(typed.value_or(""));
    };
    switch (part) {
    case tarvelin::VolleyPart::Shots:
        return shotsWords(volley, separator);
    case tarvelin::VolleyPart::Rating:
        return "Aimcraft " + text(volley.rating);
    case tarvelin::VolleyPart::Roll:
        return "needed roll " + QString::fromStdString(volley.roll);
    case tarvelin::VolleyPart::Boxes: {
        const QStringList ticked = tickedBoxes(volley);
        return ticked.isEmpty() ? QString("no box ticked") : ticked.join(", ");
    }
    case tarvelin::VolleyPart::ToWound:
        return "To Wound " + text(volley.toWound);
    case tarvelin::VolleyPart::ArmourSave:
        return "Armour Save " + text(volley.armourSave);
    }
    return {};
}

}  // namespace

QString volleyWords(const tarvelin::Volley& volley, std::string_view separator) {
    const QStringList roll =
        QStringList{"needed roll " + QString::fromStdString(volley.roll)} + tickedBoxes(volley);
    QStringList words{shotsWords(volley, separator) + ", " +
                      (volley.rating ? "Aimcraft " + QString::fromStdString(*volley.rating) + " (" +
                                           roll.join(", ") + ")"
                                     : roll.join(", "))};
    if (volley.toWound) {
        words << "To Wound " + QString::fromStdString(*volley.toWound);
    }
    if (volley.armourSave) {
        words << "Armour Save " + QString::fromStdString(*volley.armourSave);
    }
    return words.join(", ");
}

std::optional<VolleyNames> comparedNames(const tarvelin::Volley& now,
                                         const tarvelin::Volley& pinned,
                                         std::string_view separator) {
    const std::vector<tarvelin::VolleyPart> parts = tarvelin::Differences(now, pinned);
    if (parts.empty()) {
        return std::nullopt;
    }
    // Past two parts the names grow as long as the volleys themselves.
    if (parts.size() > 2) {
        return VolleyNames{volleyWords(now, separator), volleyWords(pinned, separator), true};
    }
    VolleyNames names;
    for (const tarvelin::VolleyPart part : parts) {
        const QString comma = names.now.isEmpty() ? QString() : QString(", ");
        names.now += comma + partWords(now, part, separator);
        names.pinned += comma + partWords(pinned, part, separator);
    }
    return names;
}

QString comparisonTitle(tarvelin::Field result, const VolleyNames& names, double now, double pinned,
                        std::string_view separator) {
    return fieldCaption(result) + ": " + names.now + " (" + averageText(now, separator) +
           ") against " + names.pinned + " (" + averageText(pinned, separator) + ")";
}

QString volleyHeading(tarvelin::Field result, const QString& volley, double average,
                      std::string_view separator) {
    return fieldCaption(result) + " of " + volley + ": average " + averageText(average, separator);
}

QString oddsTable(tarvelin::Field result, const QString& volley, const tarvelin::OddsChart& chart,
                  const tarvelin::Chances& chances, std::string_view separator,
                  TableLayout layout) {
    return oddsTable({volleyHeading(result, volley, chart.average, separator), chart, chances},
                     nullptr, separator, layout);
}

namespace {

// Rows of ranges write their chances to three decimals: each is then off by
// at most 0.0005, so that even 200 of them add up to within 0.1 of the share
// the heading gives.
constexpr int kRangeDecimals = 3;

// The line under the headings on rows that leave counts out: which counts
// they hold and how many volleys, of each volley, end among them.
QString coveredLine(const tarvelin::OddsRows& rows, const tarvelin::OddsRows* pinned,
                    std::string_view separator) {
    const auto share = [separator](const tarvelin::OddsRows& of) {
        return tableNumber(of.share, separator, kRangeDecimals) + " %";
    };
    return QString("counts %1 to %2, ")
               .arg(QString::number(rows.rows.front().count),
                    QString::number(rows.rows.back().last)) +
           share(rows) + " of all volleys" +
           (pinned != nullptr ? " (pinned " + share(*pinned) + ")" : QString()) + '\n';
}

}  // namespace

QString oddsTable(const TableVolley& now, const TableVolley* pinned, std::string_view separator,
                  TableLayout layout) {
    // Both volleys in the rows of this chart, whose bars are those of both.
    const tarvelin::OddsRows table = tarvelin::RowsOfChart(now.chart, now.chances, kMostTableRows);
    std::optional<tarvelin::OddsRows> kept;
    if (pinned != nullptr) {
        kept = tarvelin::RowsOfChart(now.chart, pinned->chances, kMostTableRows);
    }
    const bool ranges = table.step > 1;
    QString heading =
        now.heading + '\n' + (pinned != nullptr ? "Pinned: " + pinned->heading + '\n' : QString());
    if (ranges && (!table.whole || (kept && !kept->whole))) {
        heading += coveredLine(table, kept ? &*kept : nullptr, separator);
    }
    std::vector<QStringList> rows{ranges ? QStringList{"from", "to"} : QStringList{"count"}};
    rows.front() << "exactly %"
                 << "at least %";
    if (pinned != nullptr) {
        rows.front() << "pinned exactly %"
                     << "pinned at least %";
    }
    const int decimals = ranges ? kRangeDecimals : 1;
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        const tarvelin::ChartBar& range = table.rows[i];
        rows.push_back({QString::number(range.count)});
        if (ranges) {
            rows.back() << QString::number(range.last);
        }
        const std::array<const tarvelin::OddsRows*, 2> volleys{&table, kept ? &*kept : nullptr};
        for (const tarvelin::OddsRows* volley : volleys) {
            if (volley != nullptr) {
                rows.back() << tableNumber(volley->rows[i].chance, separator, decimals)
                            << tableNumber(volley->rows[i].atLeast, separator, decimals);
            }
        }
    }
    switch (layout) {
    case TableLayout::Tabs: {
        QString text = heading;
        for (const QStringList& row : rows) {
            text += row.join('\t') + '\n';
        }
        return text;
    }
    case TableLayout::Columns:
        return heading + inColumns(rows);
    }
    return heading;
}
