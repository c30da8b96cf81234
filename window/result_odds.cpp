// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/result_odds.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStringList>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <utility>

#include "calc/number_text.h"
#include "calc/shooting_tables.h"
#include "window/explanations.h"
#include "window/failure_message.h"
#include "window/odds_tip.h"
#include "window/out_of_date.h"

using tarvelin::Field;

namespace {

constexpr std::array<Field, 4> kResults{Field::Text3, Field::Text6, Field::Text8, Field::Text9};

}  // namespace

ResultOddsView::ResultOddsView(QWidget& window, const tarvelin::VolleySheet& sheet,
                               const ResultFields& fields)
    : QObject(&window), window_(window), sheet_(sheet), fields_(fields) {
    for (QLineEdit* field : fields_) {
        field->installEventFilter(this);
    }
    refresh();
}

void ResultOddsView::begin(const tarvelin::UserAction& action) {
    if (!freshness_.busy()) {
        const auto* command = std::get_if<tarvelin::Command>(&action);
        running_ = command != nullptr ? std::optional(*command) : std::nullopt;
    }
    freshness_.begin(action);
}

void ResultOddsView::end(bool failed) {
    freshness_.end(failed);
    if (!freshness_.busy() && running_ && !failed) {
        noteVolley(*running_);
    }
    refresh();
}

void ResultOddsView::noteVolley(tarvelin::Command step) {
    const auto text = [this](Field field) { return QString::fromStdString(sheet_.text(field)); };
    const auto after = [](const QString& before, const QString& more) {
        return before.isEmpty() ? more : before + ", " + more;
    };
    switch (step) {
    case tarvelin::Command::Command2: {
        QStringList roll{"needed roll " + text(Field::Text2)};
        for (const tarvelin::Box box : tarvelin::kAllBoxes) {
            if (sheet_.box(box)) {
                roll << QString::fromUtf8(tarvelin::BoxCaption(box).data(),
                                          static_cast<qsizetype>(tarvelin::BoxCaption(box).size()));
            }
        }
        // The rating only while the field still shows the one To Hit read.
        const auto parsed = tarvelin::ParseNumber(sheet_.text(Field::Text1), sheet_.separator());
        const double* rating = std::get_if<double>(&parsed);
        const bool read = rating != nullptr && *rating == sheet_.aimcraft();
        const QString shots = text(Field::Text4) + (sheet_.shots() == 1 ? " shot" : " shots");
        volleys_[0] = shots + ", " +
                      (read ? "Aimcraft " + text(Field::Text1) + " (" + roll.join(", ") + ")"
                            : roll.join(", "));
        break;
    }
    case tarvelin::Command::Command3:
        volleys_[1] = after(volleys_[0], "To Wound " + text(Field::Text5));
        break;
    case tarvelin::Command::Command4:
        volleys_[2] = after(volleys_[1], "Armour Save " + text(Field::Text7));
        break;
    case tarvelin::Command::Command5:
        volleys_[3] = volleys_[2];
        break;
    case tarvelin::Command::Command1:
    case tarvelin::Command::Command6:
        break;
    }
}

void ResultOddsView::changed(Field field) {
    freshness_.changed(field);
    if (!freshness_.busy()) {
        refresh();
    }
}

void ResultOddsView::changed(tarvelin::Box box, bool ticked) {
    freshness_.changed(box, ticked);
    if (!freshness_.busy()) {
        refresh();
    }
}

void ResultOddsView::hideTip() {
    if (tip_ != nullptr) {
        tip_->hide();
    }
}

std::optional<double> ResultOddsView::pinnedAverage(Field result) const {
    const auto* found = std::find(kResults.begin(), kResults.end(), result);
    if (found == kResults.end()) {
        return std::nullopt;
    }
    const auto& kept = pins_[static_cast<std::size_t>(found - kResults.begin())];
    return kept ? std::optional(kept->odds.trials * kept->odds.chance) : std::nullopt;
}

bool ResultOddsView::eventFilter(QObject* watched, QEvent* event) {
    const auto* const found = std::find(fields_.begin(), fields_.end(), watched);
    if (found == fields_.end()) {
        return QObject::eventFilter(watched, event);
    }
    const auto i = static_cast<std::size_t>(found - fields_.begin());
    switch (event->type()) {
    case QEvent::ApplicationPaletteChange:
        showFreshness(i);  // the faint colour of the new palette
        break;
    case QEvent::KeyPress:
        return openMenuByKey(*fields_[i], *static_cast<QKeyEvent*>(event));
    case QEvent::ToolTip:
        // A result's odds show on hover, and also when the keyboard brings
        // the focus to it; with a chart when it has odds, as text when not.
        if (showTip(i, static_cast<QHelpEvent*>(event)->globalPos())) {
            return true;
        }
        break;
    case QEvent::FocusIn: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
            reason == Qt::ShortcutFocusReason || reason == Qt::OtherFocusReason) {
            showTipOnFocus(i);
        }
        break;
    }
    case QEvent::FocusOut:
        // A description held back while the field had the focus (see describe).
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason &&
            fields_[i]->accessibleDescription() != fields_[i]->toolTip()) {
            fields_[i]->setAccessibleDescription(fields_[i]->toolTip());
        }
        break;
    case QEvent::ContextMenu:
        // One menu at a time, should the platform also turn a key into one.
        if (QApplication::activePopupWidget() == nullptr) {
            showMenu(i, static_cast<QContextMenuEvent*>(event)->globalPos());
        }
        return true;
    default:
        break;  // typing and painting pass straight through
    }
    return QObject::eventFilter(watched, event);
}

bool ResultOddsView::openMenuByKey(QLineEdit& field, const QKeyEvent& key) {
    // The desktop's other key for a context menu beside the Menu key, which
    // Qt turns into a menu only on Windows. It goes the way the Menu key
    // goes, so the menu is the same and opens where the keyboard works.
    if (key.key() != Qt::Key_F10 || key.modifiers() != Qt::ShiftModifier) {
        return false;
    }
    const QPoint at = field.inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, field.mapToGlobal(at));
    QApplication::sendEvent(&field, &menu);
    return true;
}

void ResultOddsView::showTipOnFocus(std::size_t i) {
    QLineEdit* result = fields_[i];
    // A tooltip hides at any focus event, so it waits for this one to end.
    QTimer::singleShot(0, result, [this, i, result] {
        if (result->hasFocus() && !showTip(i, std::nullopt)) {
            QToolTip::showText(result->mapToGlobal(QPoint(0, result->height())), result->toolTip(),
                               result);
        }
    });
}

bool ResultOddsView::showTip(std::size_t i, std::optional<QPoint> pointer) {
    const Shown& shown = shown_[i];
    const auto* binomial = std::get_if<tarvelin::Odds>(&shown.odds);
    if (!shown.chart || binomial == nullptr) {
        return false;
    }
    QLineEdit* result = fields_[i];
    if (tip_ == nullptr) {
        tip_ = new OddsTip(&window_);
    }
    const std::optional<double> pinned =
        shown.pinnedChart ? std::optional(shown.pinnedChart->average) : std::nullopt;
    const QString title =
        oddsTitle(kResults[i], binomial->trials, shown.chart->average, sheet_.separator(), pinned);
    tip_->setFaded(shown.stale.has_value());
    tip_->showFor(result, pointer,
                  OddsChartPicture(*shown.chart, title, QToolTip::font(), sheet_.separator(),
                                   shown.pinnedChart),
                  result->toolTip());
    return true;
}

void ResultOddsView::showMenu(std::size_t i, const QPoint& pos) {
    QLineEdit* result = fields_[i];
    QMenu* menu = result->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setToolTipsVisible(true);
    menu->addSeparator();
    addCompareEntries(*menu, i);
    menu->addSeparator();
    // Copy Odds last, where Up from the top of a menu opened by keyboard lands.
    const std::pair<const char*, TableLayout> entries[] = {
        {"Copy Odds as Text", TableLayout::Columns}, {"Copy Odds", TableLayout::Tabs}};
    for (const auto& entry : entries) {
        QAction* copyOdds = menu->addAction(entry.first);
        if (shown_[i].chart) {
            const TableLayout layout = entry.second;
            connect(copyOdds, &QAction::triggered, this, [this, i, layout] { copy(i, layout); });
        } else {
            copyOdds->setEnabled(false);
            copyOdds->setToolTip(oddsHelp(shown_[i].odds, {}, sheet_.separator()));
        }
    }
    menu->popup(pos);
}

void ResultOddsView::addCompareEntries(QMenu& menu, std::size_t i) {
    QAction* compare = menu.addAction("Compare with This");
    if (shown_[i].chart) {
        compare->setToolTip("Keeps this result to show beside the ones worked out after it.");
        connect(compare, &QAction::triggered, this, [this, i] { pin(i); });
    } else {
        compare->setEnabled(false);
        compare->setToolTip(oddsHelp(shown_[i].odds, {}, sheet_.separator()));
    }
    QAction* stop = menu.addAction("Stop Comparing");
    if (pins_[i]) {
        stop->setToolTip("Lets go of the result kept for comparison.");
        connect(stop, &QAction::triggered, this, [this, i] { unpin(i); });
    } else {
        stop->setEnabled(false);
        stop->setToolTip("No result is kept here for comparison.");
    }
}

void ResultOddsView::pin(std::size_t i) {
    const Shown& shown = shown_[i];
    const auto* binomial = std::get_if<tarvelin::Odds>(&shown.odds);
    if (!shown.chart || binomial == nullptr) {
        return;
    }
    const double average = shown.chart->average;
    pins_[i] = Pin{*binomial, shown.chances,
                   volleyHeading(kResults[i], volleys_[i], average, sheet_.separator())};
    refreshResult(i, true);
    emit pinChanged(fields_[i], fieldCaption(kResults[i]) + " " +
                                    averageText(average, sheet_.separator()) +
                                    " pinned for comparison.");
}

void ResultOddsView::unpin(std::size_t i) {
    pins_[i].reset();
    refreshResult(i, true);
    emit pinChanged(fields_[i], "Stopped comparing " + fieldCaption(kResults[i]) + ".");
}

void ResultOddsView::copy(std::size_t i, TableLayout layout) {
    const Shown& shown = shown_[i];
    if (!shown.chart) {
        return;
    }
    const TableVolley now{
        volleyHeading(kResults[i], volleys_[i], shown.chart->average, sheet_.separator()),
        *shown.chart, shown.chances};
    std::optional<TableVolley> pinned;
    const auto& kept = pins_[i];
    if (shown.pinnedChart && kept) {
        pinned.emplace(TableVolley{kept->heading, *shown.pinnedChart, kept->chances});
    }
    QGuiApplication::clipboard()->setText(
        oddsTable(now, pinned ? &*pinned : nullptr, sheet_.separator(), layout));
}

void ResultOddsView::refresh() {
    if (freshness_.busy()) {
        return;  // the action is not over; what it leaves is shown at its end
    }
    for (std::size_t i = 0; i < kResults.size(); ++i) {
        refreshResult(i, false);
    }
}

void ResultOddsView::refreshResult(std::size_t i, bool pinMoved) {
    const auto odds = sheet_.odds(kResults[i]);
    const auto stale = freshness_.outOfDate(kResults[i]);
    Shown& shown = shown_[i];
    if (odds == shown.odds && stale == shown.stale && !pinMoved) {
        return;  // worked out once per stored result, never per keystroke
    }
    if (odds != shown.odds) {
        shown = Shown{odds, {}, std::nullopt, std::nullopt, stale};
        if (const auto* binomial = std::get_if<tarvelin::Odds>(&shown.odds)) {
            shown.chances = tarvelin::ChancesOf(binomial->trials, binomial->chance);
        }
        chartResult(i);
    } else if (pinMoved) {
        chartResult(i);
    }
    shown.stale = stale;
    describe(i);
    showFreshness(i);
    if (tip_ != nullptr && tip_->field() == fields_[i]) {
        tip_->hide();
    }
}

void ResultOddsView::chartResult(std::size_t i) {
    Shown& shown = shown_[i];
    shown.chart.reset();
    shown.pinnedChart.reset();
    const auto* binomial = std::get_if<tarvelin::Odds>(&shown.odds);
    if (binomial == nullptr) {
        return;
    }
    const auto& kept = pins_[i];
    if (kept) {
        tarvelin::ComparedCharts both =
            tarvelin::CompareCharts(*binomial, shown.chances, kept->odds, kept->chances);
        shown.chart = std::move(both.now);
        shown.pinnedChart = std::move(both.pinned);
    } else {
        shown.chart = tarvelin::ChartOfOdds(*binomial, shown.chances);
    }
}

void ResultOddsView::describe(std::size_t i) {
    const Shown& shown = shown_[i];
    const auto& kept = pins_[i];
    const auto* binomial = std::get_if<tarvelin::Odds>(&shown.odds);
    QString text = fieldHelp(kResults[i]) + '\n';
    if (kept && binomial != nullptr) {
        text += comparedOddsHelp({*binomial, shown.chances.atLeast},
                                 {kept->odds, kept->chances.atLeast}, sheet_.separator());
    } else {
        text += oddsHelp(shown.odds, shown.chances.atLeast, sheet_.separator());
    }
    if (kept) {
        text += "\nPinned: " + kept->heading;
    }
    if (shown.stale) {
        text.prepend(outOfDateText(kResults[i], *shown.stale) + '\n');
    }
    fields_[i]->setToolTip(text);
    // Qt before 6.8 tells screen readers of a changed description in a form
    // they cannot speak, and they try to for the control with the focus: the
    // field whose own menu pinned it takes its new description when the
    // focus leaves it, and the announcement says what changed meanwhile.
    if (QT_VERSION >= QT_VERSION_CHECK(6, 8, 0) || window_.focusWidget() != fields_[i]) {
        fields_[i]->setAccessibleDescription(text);
    }
}

void ResultOddsView::showFreshness(std::size_t i) {
    QLineEdit* result = fields_[i];
    // As a placeholder is drawn: the palette's own faint text colour, in
    // italics, so that it reads as not quite there in any theme. Only these
    // two are set; everything else still comes from the window.
    if (!shown_[i].stale) {
        result->setFont(QFont());
        result->setPalette(QPalette());
        return;
    }
    QFont italic;
    italic.setItalic(true);
    result->setFont(italic);
    QPalette faint;
    faint.setColor(QPalette::Text, QApplication::palette(result).color(QPalette::PlaceholderText));
    result->setPalette(faint);
}
