// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The Volley Log window: the log's table, to sort, rename, copy, delete,
// clear and save as CSV; the selected volleys' chosen result compared in a
// chart and a table of "at least", with all of them together; and a volley
// put back into the form. The log is the form's and outlives this window;
// putting a volley back is the form's too, through the function it gives.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "calc/volley_log.h"

class Announcer;
class LogChart;
class QComboBox;
class QHBoxLayout;
class QVBoxLayout;
class QLabel;
class QSortFilterProxyModel;
class QTableView;
class QTableWidget;
class VolleyLogModel;

class VolleyLogWindow : public QWidget {
    Q_OBJECT

public:
    // Puts row `row` of the log back into the form.
    using Use = std::function<void(std::size_t row)>;

    // separator: the user's decimal separator, in UTF-8.
    VolleyLogWindow(tarvelin::VolleyLog& log, std::string separator, Use use, QWidget* parent);

    // After the form fed the log a step.
    void logChanged(tarvelin::LogChange change);
    // Shows the window, brings it to the front with the table focused, and says so.
    void open();

    // The selected rows of the log, in the order the table shows them.
    [[nodiscard]] std::vector<std::size_t> selectedRows() const;
    void useSelected();
    void copySelected() const;
    void copyComparison() const;
    void deleteSelected();
    void clearLog();
    // Writes the whole log to path; the message shown when it could not.
    std::optional<QString> saveAs(const QString& path);

    // The comparison's text: a heading, a header row, the "at least" rows and
    // the line of all of them together, as copied.
    [[nodiscard]] QString comparisonText() const;

    [[nodiscard]] QTableView* table() const { return table_; }
    [[nodiscard]] VolleyLogModel* model() const { return model_; }
    [[nodiscard]] LogChart* chart() const { return chart_; }
    [[nodiscard]] QTableWidget* comparison() const { return comparison_; }
    [[nodiscard]] QComboBox* resultChoice() const { return result_; }
    [[nodiscard]] QLabel* together() const { return together_; }
    [[nodiscard]] Announcer& announcer() const { return *announcer_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    [[nodiscard]] QHBoxLayout* buildActions();
    void buildComparison(QVBoxLayout& layout);
    // Works out and shows the comparison of the selected rows.
    void compare();
    void fillComparison(const std::vector<QString>& names, const std::vector<int>& listed,
                        const std::vector<const tarvelin::Chances*>& chances, bool withTotal);
    void saveWithDialog();
    void selectionSaid();
    void sayOpened();

    tarvelin::VolleyLog& log_;
    std::string separator_;
    Use use_;
    VolleyLogModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* table_ = nullptr;
    QComboBox* result_ = nullptr;
    LogChart* chart_ = nullptr;
    QTableWidget* comparison_ = nullptr;
    QLabel* together_ = nullptr;
    Announcer* announcer_ = nullptr;
    QString copied_;             // the comparison as Copy Comparison puts it
    bool openedUnsaid_ = false;  // opened, and the focus not yet in the table
};
