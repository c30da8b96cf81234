// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/odds_table.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <vector>

#include "calc/number_text.h"
#include "calc/shooting_tables.h"
#include "window/failure_message.h"
#include "window/utf8.h"

QString averageText(double average, std::string_view separator) {
    std::string number = tarvelin::ResultText(average, separator);
    if (number.ends_with(separator)) {
        number.resize(number.size() - separator.size());
    }
    return QString::fromStdString(number);
}

QString tableNumber(double chance, std::string_view separator) {
    if (chance <= 0) {
        return "0";
    }
    if (chance >= 1) {
        return "100";
    }
    const double percent = chance * 100;
    std::array<char, 48> buf{};
    const auto write = [&buf](double value, std::chars_format format, int digits) {
        const char* end =
            std::to_chars(buf.data(), buf.data() + buf.size(), value, format, digits).ptr;
        return std::string(buf.data(), static_cast<std::size_t>(end - buf.data()));
    };
    const auto withSeparator = [separator](const std::string& text) {
        return QString::fromStdString(tarvelin::WithSeparator(text, separator));
    };
    if (percent < 1e-6) {
        // Two significant digits, in the form spreadsheets read as a number.
        std::string text = write(percent, std::chars_format::scientific, 1);
        std::replace(text.begin(), text.end(), 'e', 'E');
        return withSeparator(text);
    }
    if (percent < 0.05) {
        // Two significant digits: 0.0049, 0.012.
        const int decimals = 1 - static_cast<int>(std::floor(std::log10(percent)));
        return withSeparator(write(percent, std::chars_format::fixed, decimals));
    }
    // One decimal, or as many more as it takes not to round up to 100.
    for (int decimals = 1; decimals <= 12; ++decimals) {
        const std::string text = write(percent, std::chars_format::fixed, decimals);
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        if (back < 100) {
            return withSeparator(text);
        }
    }
    return withSeparator(write(percent, std::chars_format::general, 17));
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

QString volleyWords(const tarvelin::Volley& volley, std::string_view separator) {
    QStringList roll{"needed roll " + QString::fromStdString(volley.roll)};
    for (const tarvelin::Box box : tarvelin::kAllBoxes) {
        if (volley.boxes[tarvelin::indexOf(box)]) {
            roll << utf8(tarvelin::BoxCaption(box));
        }
    }
    const auto count = tarvelin::ParseNumber(volley.shots, separator);
    const double* const one = std::get_if<double>(&count);
    const QString shots =
        QString::fromStdString(volley.shots) + (one != nullptr && *one == 1 ? " shot" : " shots");
    QStringList words{shots + ", " +
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

QString oddsTable(const TableVolley& now, const TableVolley* pinned, std::string_view separator,
                  TableLayout layout) {
    const tarvelin::OddsChart& chart = now.chart;
    QString heading =
        now.heading + '\n' + (pinned != nullptr ? "Pinned: " + pinned->heading + '\n' : QString());
    std::vector<QStringList> rows{{"count", "exactly %", "at least %"}};
    if (pinned != nullptr) {
        rows.front() << "pinned exactly %"
                     << "pinned at least %";
    }
    // The counts the chart shows, from the multiple of a round step at or
    // below its first, so that a long tail never makes a long table.
    const int step = tarvelin::RoundStep(chart.firstCount, chart.lastCount, kMostTableRows);
    for (int k = chart.firstCount / step * step; k <= chart.lastCount; k += step) {
        const auto at = static_cast<std::size_t>(k);
        rows.push_back({QString::number(k)});
        for (const TableVolley* volley : {&now, pinned}) {
            if (volley != nullptr) {
                rows.back() << tableNumber(volley->chances.exactly[at], separator)
                            << tableNumber(volley->chances.atLeast[at], separator);
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
