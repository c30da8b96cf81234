// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/volley_log_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

#include "window/announcer.h"
#include "window/controls.h"
#include "window/log_chart.h"
#include "window/odds_table.h"
#include "window/utf8.h"
#include "window/volley_log_model.h"

namespace {

// Points along a chart of compared volleys: enough for smooth lines.
constexpr std::size_t kChartBars = 60;

QString lowerCaption(std::size_t result) {
    return fieldCaption(tarvelin::kResults[result].field).toLower();
}

QString allTogether(std::size_t volleys) {
    return QString("All %1 together").arg(volleys);
}

// The sum of the averages, and the chance of at least that many, rounded.
QString togetherLine(const tarvelin::Total& total, std::size_t volleys, std::size_t result,
                     std::string_view separator) {
    const int k = std::max(1, static_cast<int>(std::lround(total.average)));
    const double chance = total.chances.atLeast[static_cast<std::size_t>(k)];
    return allTogether(volleys) + ": average " + averageText(total.average, separator) + " " +
           lowerCaption(result) + "; at least " + QString::number(k) + ": " +
           percent(chance, chance > 0, separator);
}

}  // namespace

VolleyLogWindow::VolleyLogWindow(tarvelin::VolleyLog& log, std::string separator, Use use,
                                 QWidget* parent)
    : QWidget(parent, Qt::Window),
      log_(log),
      separator_(std::move(separator)),
      use_(std::move(use)),
      announcer_(new Announcer(this)) {
    setObjectName("VolleyLog");
    setWindowTitle("Volley Log - Tarvelin");
    build();
    const int u = fontMetrics().height();
    resize(56 * u, 40 * u);
}

void VolleyLogWindow::build() {
    model_ = new VolleyLogModel(log_, separator_, this);
    sorted_ = new QSortFilterProxyModel(this);
    sorted_->setSourceModel(model_);
    sorted_->setSortRole(VolleyLogModel::kSortRole);
    table_ = new QTableView(this);
    table_->setObjectName("LogTable");
    table_->setAccessibleName("Volleys");
    table_->setModel(sorted_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::DoubleClicked);
    table_->setTabKeyNavigation(false);
    // Newest last until a header is clicked.
    table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    table_->setSortingEnabled(true);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Fitted to the first rows only: a long log opens as fast as a short one.
    table_->horizontalHeader()->setResizeContentsPrecision(50);
    table_->horizontalHeader()->setSectionResizeMode(int(LogColumn::Volley), QHeaderView::Stretch);
    table_->installEventFilter(this);
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        compare();
        selectionSaid();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_, 2);
    layout->addLayout(buildActions());
    buildComparison(*layout);
    compare();
}

QHBoxLayout* VolleyLogWindow::buildActions() {
    auto* useButton = new QPushButton("Use This Volley", this);
    useButton->setToolTip(
        "Puts the selected volley's inputs, boxes and results back into the form.");
    auto* save = new QPushButton("Save as CSV...", this);
    save->setToolTip("Writes the whole log to a file that spreadsheets open as columns.");
    auto* clear = new QPushButton("Clear Log", this);
    clear->setToolTip("Takes every volley out of the log.");
    connect(useButton, &QPushButton::clicked, this, &VolleyLogWindow::useSelected);
    connect(save, &QPushButton::clicked, this, &VolleyLogWindow::saveWithDialog);
    connect(clear, &QPushButton::clicked, this, &VolleyLogWindow::clearLog);
    auto* actions = new QHBoxLayout;
    for (QPushButton* button : {useButton, save, clear}) {
        button->setAccessibleDescription(button->toolTip());
        actions->addWidget(button);
    }
    actions->addStretch();
    return actions;
}

void VolleyLogWindow::buildComparison(QVBoxLayout& layout) {
    result_ = new QComboBox(this);
    for (const tarvelin::ResultRow& row : tarvelin::kResults) {
        result_->addItem(fieldCaption(row.field));
    }
    result_->setCurrentIndex(3);
    auto* compareLabel = new QLabel("&Compare:", this);
    compareLabel->setBuddy(result_);
    connect(result_, &QComboBox::currentIndexChanged, this, &VolleyLogWindow::compare);
    auto* copyTable = new QPushButton("Copy Comparison", this);
    copyTable->setToolTip("Copies the table of \"at least\" of the selected volleys.");
    connect(copyTable, &QPushButton::clicked, this, &VolleyLogWindow::copyComparison);
    auto* choice = new QHBoxLayout;
    choice->addWidget(compareLabel);
    choice->addWidget(result_);
    choice->addWidget(copyTable);
    choice->addStretch();

    together_ = new QLabel(this);
    together_->setWordWrap(true);
    together_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    chart_ = new LogChart(this);
    comparison_ = new QTableWidget(this);
    comparison_->setAccessibleName("At least each count");
    comparison_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    comparison_->setTabKeyNavigation(false);
    auto* compared = new QHBoxLayout;
    compared->addWidget(chart_, 3);
    compared->addWidget(comparison_, 2);

    layout.addLayout(choice);
    layout.addWidget(together_);
    layout.addLayout(compared, 3);
}

void VolleyLogWindow::logChanged(tarvelin::LogChange change) {
    model_->changed(change);
    compare();
}

void VolleyLogWindow::open() {
    show();
    raise();
    activateWindow();
    table_->setFocus(Qt::OtherFocusReason);
    if (!table_->currentIndex().isValid() && sorted_->rowCount() > 0) {
        table_->setCurrentIndex(sorted_->index(sorted_->rowCount() - 1, 0));
    }
    // A window just shown gets the focus later, and a screen reader speaks
    // of the new focus first: the count waits for it.
    if (isActiveWindow() && table_->hasFocus()) {
        sayOpened();
    } else {
        openedUnsaid_ = true;
    }
}

void VolleyLogWindow::sayOpened() {
    openedUnsaid_ = false;
    const auto rows = log_.rows().size();
    announcer_->say(table_, QString("Volley Log, %1 %2.")
                                .arg(rows)
                                .arg(rows == 1 ? QString("volley") : QString("volleys")));
}

std::vector<std::size_t> VolleyLogWindow::selectedRows() const {
    QModelIndexList picked = table_->selectionModel()->selectedRows();
    std::sort(picked.begin(), picked.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    std::vector<std::size_t> rows;
    for (const QModelIndex& index : picked) {
        rows.push_back(static_cast<std::size_t>(sorted_->mapToSource(index).row()));
    }
    return rows;
}

void VolleyLogWindow::useSelected() {
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid()) {
        return;
    }
    const auto row = static_cast<std::size_t>(sorted_->mapToSource(current).row());
    use_(row);
    const tarvelin::LoggedVolley& volley = log_.rows()[row];
    QString said = QString::fromStdString(volley.name) + " put back into the form";
    if (const auto casualties = volley.result(3)) {
        said += ": casualties " + averageText(casualties->average, separator_);
    }
    announcer_->say(table_, said + '.');
}

void VolleyLogWindow::copySelected() const {
    const std::vector<std::size_t> rows = selectedRows();
    if (!rows.empty()) {
        QGuiApplication::clipboard()->setText(logRowsText(*model_, rows));
    }
}

void VolleyLogWindow::copyComparison() const {
    if (!copied_.isEmpty()) {
        QGuiApplication::clipboard()->setText(copied_);
    }
}

void VolleyLogWindow::deleteSelected() {
    const std::vector<std::size_t> rows = selectedRows();
    if (rows.empty()) {
        return;
    }
    model_->remove(rows);
    compare();
    announcer_->say(table_, QString("%1 deleted from the log.")
                                .arg(rows.size() == 1 ? QString("1 volley")
                                                      : QString("%1 volleys").arg(rows.size())));
}

void VolleyLogWindow::clearLog() {
    model_->clear();
    compare();
    announcer_->say(table_, "Volley log cleared.");
}

std::optional<QString> VolleyLogWindow::saveAs(const QString& path) {
    std::optional<QString> failure = saveLogCsv(*model_, path);
    if (failure) {
        auto* message = new QMessageBox(QMessageBox::Warning, "Volley Log - Tarvelin", *failure,
                                        QMessageBox::Ok, this);
        message->setAttribute(Qt::WA_DeleteOnClose);
        message->setWindowModality(Qt::NonModal);
        message->show();
    }
    return failure;
}

void VolleyLogWindow::saveWithDialog() {
    const QString path = QFileDialog::getSaveFileName(this, "Save Volley Log as CSV",
                                                      "volley log.csv", "CSV files (*.csv)");
    if (!path.isEmpty()) {
        (void)saveAs(path);
    }
}

bool VolleyLogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::FocusIn && openedUnsaid_) {
        sayOpened();
    }
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const auto& key = *static_cast<QKeyEvent*>(event);
        if (key.matches(QKeySequence::Copy)) {
            copySelected();
            return true;
        }
        if (key.key() == Qt::Key_Delete && key.modifiers() == Qt::NoModifier) {
            deleteSelected();
            return true;
        }
        // An open name editor has the keys itself, Enter included.
        if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
            useSelected();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString VolleyLogWindow::comparisonText() const {
    return copied_;
}

void VolleyLogWindow::compare() {
    const auto result = static_cast<std::size_t>(std::max(0, result_->currentIndex()));
    std::vector<QString> names;
    std::vector<tarvelin::Odds> odds;
    for (const std::size_t row : selectedRows()) {
        const auto logged = log_.rows()[row].result(result);
        if (logged && logged->odds) {
            names.push_back(QString::fromStdString(log_.rows()[row].name));
            odds.push_back(*logged->odds);
        }
    }
    std::vector<tarvelin::Chances> chances;
    std::vector<tarvelin::Series> series;
    chances.reserve(odds.size());
    for (const tarvelin::Odds& one : odds) {
        chances.push_back(tarvelin::ChancesOf(one.trials, one.chance));
        series.push_back({one.trials * one.chance, &chances.back()});
    }
    std::optional<tarvelin::Total> total;
    if (odds.size() >= 2) {
        total = tarvelin::TotalOf(odds);
        series.push_back({total->average, &total->chances});
    }
    const tarvelin::SeriesCharts charts = tarvelin::ChartsOfSeries(series, kChartBars);
    std::vector<LogChart::Line> lines;
    lines.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        lines.push_back({names[i], charts.charts[i]});
    }
    std::optional<LogChart::Line> totalLine;
    QString togetherText;
    std::vector<const tarvelin::Chances*> columns;
    columns.reserve(chances.size() + 1);
    for (const tarvelin::Chances& one : chances) {
        columns.push_back(&one);
    }
    if (total) {
        const QString all = allTogether(names.size());
        totalLine = LogChart::Line{all, charts.charts.back()};
        togetherText = togetherLine(*total, names.size(), result, separator_);
        names.push_back(all);
        columns.push_back(&total->chances);
    }
    const QString title =
        names.empty() ? QString()
                      : fieldCaption(tarvelin::kResults[result].field) +
                            ": chance of exactly (marks) and of at least (steps) each count";
    chart_->setLines(title, std::move(lines), std::move(totalLine));
    together_->setText(togetherText);
    together_->setVisible(!togetherText.isEmpty());
    fillComparison(names, charts.listed, columns, total.has_value());
    if (!togetherText.isEmpty()) {
        copied_ += togetherText + '\n';
    }
}

void VolleyLogWindow::fillComparison(const std::vector<QString>& names,
                                     const std::vector<int>& listed,
                                     const std::vector<const tarvelin::Chances*>& chances,
                                     bool withTotal) {
    comparison_->clear();
    comparison_->setColumnCount(static_cast<int>(names.size()));
    comparison_->setRowCount(names.empty() ? 0 : static_cast<int>(listed.size()));
    copied_.clear();
    if (names.empty()) {
        chart_->setAccessibleDescription(QString());
        return;
    }
    const auto result = static_cast<std::size_t>(std::max(0, result_->currentIndex()));
    QStringList header{"at least"};
    for (std::size_t c = 0; c < names.size(); ++c) {
        comparison_->setHorizontalHeaderItem(static_cast<int>(c), new QTableWidgetItem(names[c]));
        header << names[c] + " %";
    }
    copied_ = fieldCaption(tarvelin::kResults[result].field) + ", chance of at least each count\n" +
              header.join('\t') + '\n';
    // With a total, the last column is it: it always leads, so only the
    // volleys compete for the highest.
    const std::size_t volleys = withTotal ? names.size() - 1 : names.size();
    for (std::size_t r = 0; r < listed.size(); ++r) {
        const auto k = static_cast<std::size_t>(listed[r]);
        comparison_->setVerticalHeaderItem(static_cast<int>(r),
                                           new QTableWidgetItem("at least " + QString::number(k)));
        double highest = 0;
        for (std::size_t c = 0; c < volleys; ++c) {
            highest = std::max(highest, chances[c]->atLeast[k]);
        }
        QStringList cells{QString::number(k)};
        for (std::size_t c = 0; c < names.size(); ++c) {
            const double chance = chances[c]->atLeast[k];
            const bool top = volleys > 1 && c < volleys && chance == highest;
            auto* item =
                new QTableWidgetItem(percent(chance, chance > 0, separator_) + (top ? " *" : ""));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            item->setData(Qt::AccessibleTextRole,
                          percent(chance, chance > 0, separator_) + (top ? " (highest)" : ""));
            if (top) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            comparison_->setItem(static_cast<int>(r), static_cast<int>(c), item);
            cells << tableNumber(chance, separator_);
        }
        copied_ += cells.join('\t') + '\n';
    }
    chart_->setAccessibleName(fieldCaption(tarvelin::kResults[result].field) + " compared");
    chart_->setAccessibleDescription(copied_);
}

void VolleyLogWindow::selectionSaid() {
    const std::vector<std::size_t> rows = selectedRows();
    if (rows.size() < 2) {
        return;  // one row the table itself reads as the cursor reaches it
    }
    QStringList names;
    for (const std::size_t row : rows) {
        names << QString::fromStdString(log_.rows()[row].name);
    }
    QString said = names.join(", ") + " selected.";
    if (!together_->text().isEmpty()) {
        said += ' ' + together_->text() + '.';
    }
    announcer_->say(table_, said);
}
