// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The volley log as a table for a view: a row per volley with its name, its
// inputs in words, the four averages and the chance of at least one
// casualty, each sortable by its number; and the same cells as plain text
// to paste or save as CSV. The rows themselves are calc/volley_log.h's.
#pragma once

#include <QAbstractTableModel>
#include <QByteArray>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "calc/volley_log.h"

enum class LogColumn { Name, Volley, Hits, Wounds, Saves, Casualties, AtLeastOne };
inline constexpr int kLogColumns = 7;

class VolleyLogModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // Sorts by the number behind a cell rather than by its words.
    static constexpr int kSortRole = Qt::UserRole;

    // separator: the user's decimal separator, in UTF-8.
    VolleyLogModel(tarvelin::VolleyLog& log, std::string separator, QObject* parent);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    // After the log was fed a step, with what the step did to it.
    void changed(tarvelin::LogChange change);
    // Takes rows out of the log, or all of them.
    void remove(const std::vector<std::size_t>& rows);
    void clear();

    [[nodiscard]] const tarvelin::VolleyLog& log() const { return log_; }
    [[nodiscard]] const std::string& separator() const { return separator_; }
    // A cell's words: as shown ("2.", "85.9 %"), or plain, as a spreadsheet
    // reads them ("2", "85.9"). Empty where the row lacks the result.
    [[nodiscard]] QString cell(std::size_t row, LogColumn column, bool plain) const;
    // The column's heading; plain, with the unit its plain numbers are in.
    [[nodiscard]] static QString heading(LogColumn column, bool plain);

private:
    tarvelin::VolleyLog& log_;
    std::string separator_;
};

// The rows given, in that order, under a header row: cells apart by tabs and
// plain, to paste into a spreadsheet.
[[nodiscard]] QString logRowsText(const VolleyLogModel& model,
                                  const std::vector<std::size_t>& rows);
// The whole log as CSV in UTF-8: cells quoted where they must be, apart by
// ";" where the decimal separator is "," and by "," elsewhere, so that a
// spreadsheet in the user's locale opens it as columns.
[[nodiscard]] QByteArray logCsv(const VolleyLogModel& model);
// Writes the whole log to path as CSV, whole or not at all; a message that
// names the file and says why when it could not.
[[nodiscard]] std::optional<QString> saveLogCsv(const VolleyLogModel& model, const QString& path);
