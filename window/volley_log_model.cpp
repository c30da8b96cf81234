// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/volley_log_model.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>
#include <cmath>

#include "calc/number_text.h"
#include "window/controls.h"
#include "window/odds_table.h"

namespace {

// The result of a column of the four, in the order of kResults.
std::optional<std::size_t> resultOf(LogColumn column) {
    switch (column) {
    case LogColumn::Hits:
        return 0;
    case LogColumn::Wounds:
        return 1;
    case LogColumn::Saves:
        return 2;
    case LogColumn::Casualties:
        return 3;
    case LogColumn::Name:
    case LogColumn::Volley:
    case LogColumn::AtLeastOne:
        return std::nullopt;
    }
    return std::nullopt;
}

// At least one of n shots that each succeed with chance p: 1 - (1 - p)^n,
// worked out so that a tiny chance does not vanish into the difference.
double atLeastOne(const tarvelin::Odds& odds) {
    return -std::expm1(odds.trials * std::log1p(-odds.chance));
}

// A cell without tabs or line breaks, which would split it in a paste.
QString oneLine(QString text) {
    return text.replace('\t', ' ').replace('\n', ' ').replace('\r', ' ');
}

}  // namespace

VolleyLogModel::VolleyLogModel(tarvelin::VolleyLog& log, std::string separator, QObject* parent)
    : QAbstractTableModel(parent), log_(log), separator_(std::move(separator)) {}

int VolleyLogModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(log_.rows().size());
}

int VolleyLogModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kLogColumns;
}

QString VolleyLogModel::heading(LogColumn column, bool plain) {
    switch (column) {
    case LogColumn::Name:
        return "Name";
    case LogColumn::Volley:
        return "Volley";
    case LogColumn::Hits:
    case LogColumn::Wounds:
    case LogColumn::Saves:
    case LogColumn::Casualties:
        return fieldCaption(tarvelin::kResults[resultOf(column).value_or(0)].field);
    case LogColumn::AtLeastOne:
        return plain ? "At least 1 casualty %" : "At least 1 casualty";
    }
    return {};
}

QString VolleyLogModel::cell(std::size_t row, LogColumn column, bool plain) const {
    const tarvelin::LoggedVolley& volley = log_.rows().at(row);
    if (column == LogColumn::Name) {
        return QString::fromStdString(volley.name);
    }
    if (column == LogColumn::Volley) {
        return volleyWords(volley.volley(), separator_);
    }
    if (const auto result = resultOf(column)) {
        const auto logged = volley.result(*result);
        if (!logged) {
            return {};
        }
        return plain ? averageText(logged->average, separator_)
                     : QString::fromStdString(tarvelin::ResultText(logged->average, separator_));
    }
    const auto casualties = volley.result(3);
    if (!casualties || !casualties->odds) {
        return {};
    }
    const tarvelin::Odds& odds = *casualties->odds;
    const double chance = atLeastOne(odds);
    return plain ? tableNumber(chance, separator_)
                 : QString::fromStdString(tarvelin::PercentText(
                       chance, tarvelin::PossibleAtLeast(odds, 1), separator_)) +
                       " %";
}

QVariant VolleyLogModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) {
        return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    const auto column = LogColumn(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return cell(row, column, false);
    case Qt::EditRole:
        return column == LogColumn::Name ? cell(row, column, false) : QVariant();
    case Qt::TextAlignmentRole:
        return column == LogColumn::Name || column == LogColumn::Volley
                   ? QVariant()
                   : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    case kSortRole: {
        const tarvelin::LoggedVolley& volley = log_.rows()[row];
        if (const auto result = resultOf(column)) {
            const auto logged = volley.result(*result);
            return logged ? QVariant(logged->average) : QVariant(-1.0);
        }
        if (column == LogColumn::AtLeastOne) {
            const auto casualties = volley.result(3);
            return casualties && casualties->odds ? QVariant(atLeastOne(*casualties->odds))
                                                  : QVariant(-1.0);
        }
        return cell(row, column, false);
    }
    default:
        return {};
    }
}

QVariant VolleyLogModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || section < 0) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        return section + 1;
    }
    return section < kLogColumns ? QVariant(heading(LogColumn(section), false)) : QVariant();
}

Qt::ItemFlags VolleyLogModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags base = QAbstractTableModel::flags(index);
    return index.isValid() && LogColumn(index.column()) == LogColumn::Name
               ? base | Qt::ItemIsEditable
               : base;
}

bool VolleyLogModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const QString name = value.toString().simplified();
    if (role != Qt::EditRole || !index.isValid() || LogColumn(index.column()) != LogColumn::Name ||
        name.isEmpty()) {
        return false;  // a name wiped out keeps the one it had
    }
    log_.rename(static_cast<std::size_t>(index.row()), name.toStdString());
    emit dataChanged(index, index);
    return true;
}

void VolleyLogModel::changed(tarvelin::LogChange change) {
    const int last = rowCount() - 1;
    switch (change) {
    case tarvelin::LogChange::None:
        break;
    case tarvelin::LogChange::Added:
        // The log has the row already; a view hears of it as just come.
        beginInsertRows({}, last, last);
        endInsertRows();
        break;
    case tarvelin::LogChange::Filled: {
        const int row = static_cast<int>(log_.current().value_or(0));
        emit dataChanged(index(row, 0), index(row, kLogColumns - 1));
        break;
    }
    }
}

void VolleyLogModel::remove(const std::vector<std::size_t>& rows) {
    beginResetModel();
    log_.remove(rows);
    endResetModel();
}

void VolleyLogModel::clear() {
    beginResetModel();
    log_.clear();
    endResetModel();
}

QString logRowsText(const VolleyLogModel& model, const std::vector<std::size_t>& rows) {
    QStringList header;
    for (int c = 0; c < kLogColumns; ++c) {
        header << VolleyLogModel::heading(LogColumn(c), true);
    }
    QString text = header.join('\t') + '\n';
    for (const std::size_t row : rows) {
        QStringList cells;
        for (int c = 0; c < kLogColumns; ++c) {
            cells << oneLine(model.cell(row, LogColumn(c), true));
        }
        text += cells.join('\t') + '\n';
    }
    return text;
}

QByteArray logCsv(const VolleyLogModel& model) {
    const QChar delimiter = model.separator() == "," ? ';' : ',';
    const auto quoted = [delimiter](const QString& cell) {
        if (!cell.contains(delimiter) && !cell.contains('"') && !cell.contains('\n') &&
            !cell.contains('\r')) {
            return cell;
        }
        return '"' + QString(cell).replace("\"", "\"\"") + '"';
    };
    const auto line = [&](const QStringList& cells) {
        QStringList out;
        for (const QString& c : cells) {
            out << quoted(c);
        }
        return out.join(delimiter) + "\r\n";
    };
    QStringList header;
    for (int c = 0; c < kLogColumns; ++c) {
        header << VolleyLogModel::heading(LogColumn(c), true);
    }
    // The byte order mark tells spreadsheets that guess the encoding that it is UTF-8.
    QString text = QChar(0xFEFF) + line(header);
    for (std::size_t row = 0; row < model.log().rows().size(); ++row) {
        QStringList cells;
        for (int c = 0; c < kLogColumns; ++c) {
            cells << model.cell(row, LogColumn(c), true);
        }
        text += line(cells);
    }
    return text.toUtf8();
}

std::optional<QString> saveLogCsv(const VolleyLogModel& model, const QString& path) {
    QSaveFile file(path);
    const auto failure = [&file, &path] {
        return "The volley log could not be saved as \"" + QFileInfo(path).fileName() + "\" in \"" +
               QFileInfo(path).absolutePath() + "\": " + file.errorString() +
               ". The log is kept; choose another place or name.";
    };
    if (!file.open(QIODevice::WriteOnly)) {
        return failure();
    }
    const QByteArray bytes = logCsv(model);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        return failure();
    }
    return std::nullopt;
}
