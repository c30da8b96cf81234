// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/result_odds_view.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QStringList>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <utility>

#include "calc/number_text.h"
#include "calc/shooting_tables.h"
#include "window/controls.h"
#include "window/explanations.h"
#include "window/history.h"
#include "window/odds_tip.h"
#include "window/out_of_date.h"
#include "window/qt_features.h"

using tarvelin::Field;

namespace {

// A drawing pin, a round head on a needle, in the field's own text colour:
// its shape says "pinned" without any colour, at the field's text size.
QIcon pinIcon(const QWidget& field) {
    const int size = field.fontMetrics().height();
    const qreal ratio = field.devicePixelRatioF();
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink = field.palette().color(QPalette::Text);
    painter.setPen(QPen(ink, std::max(1.0, size / 10.0), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(size * 0.2, size * 0.85), QPointF(size * 0.55, size * 0.5));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawEllipse(QPointF(size * 0.62, size * 0.38), size * 0.24, size * 0.24);
    return QIcon(pixmap);
}

}  // namespace

ResultOddsView::ResultOddsView(QWidget& window, const tarvelin::VolleySheet& sheet,
                               const ResultFields& fields, QLineEdit& roll, FormHistory& history)
    : QObject(&window),
      window_(window),
      sheet_(sheet),
      fields_(fields),
      roll_(roll),
      history_(history) {
    for (QLineEdit* field : fields_) {
        field->installEventFilter(this);
    }
    roll_.installEventFilter(this);
    refresh();
}

void ResultOddsView::setFormActions(const QList<QAction*>& undoRedo, QAction* workOutAll) {
    undoRedo_ = undoRedo;
    workOutAll_ = workOutAll;
}

void ResultOddsView::hideTip() {
    if (tip_ != nullptr) {
        tip_->hide();
    }
}

void ResultOddsView::restorePins(const Pins& pins) {
    for (std::size_t i = 0; i < pins_.size(); ++i) {
        if (pins_[i] != pins[i]) {
            pins_[i] = pins[i];
            refreshResult(i, true);
        }
    }
}

std::optional<double> ResultOddsView::pinnedAverage(Field result) const {
    const std::optional<std::size_t> i = tarvelin::resultIndex(result);
    const auto& kept = i ? pins_[*i] : std::nullopt;
    return kept ? std::optional(kept->odds.trials * kept->odds.chance) : std::nullopt;
}

bool ResultOddsView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &roll_) {
        if (event->type() == QEvent::ApplicationPaletteChange) {
            showOutOfDate(roll_, rollShown_ && rollShown_->has_value());
        }
        return QObject::eventFilter(watched, event);
    }
    const auto* const found = std::find(fields_.begin(), fields_.end(), watched);
    if (found == fields_.end()) {
        return QObject::eventFilter(watched, event);
    }
    const auto i = static_cast<std::size_t>(found - fields_.begin());
    switch (event->type()) {
    case QEvent::ApplicationPaletteChange:
        showOutOfDate(*fields_[i], shown_[i].stale.has_value());  // the new palette's faint colour
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
    const Field field = tarvelin::kResults[i].field;
    const std::optional<double> pinned =
        shown.pinnedChart ? std::optional(shown.pinnedChart->average) : std::nullopt;
    const std::optional<VolleyNames> names = pinned ? pinNames(i) : std::nullopt;
    const QString title =
        names
            ? comparisonTitle(field, *names, shown.chart->average, *pinned, sheet_.separator())
            : oddsTitle(field, binomial->trials, shown.chart->average, sheet_.separator(), pinned);
    tip_->setFaded(shown.stale.has_value());
    tip_->showFor(result, pointer,
                  OddsChartPicture(
                      *shown.chart, title, QToolTip::font(), sheet_.separator(), shown.pinnedChart,
                      names && !names->whole ? std::array<QString, 2>{names->now, names->pinned}
                                             : std::array<QString, 2>{}),
                  result->toolTip());
    return true;
}

void ResultOddsView::showMenu(std::size_t i, const QPoint& pos) {
    QLineEdit* result = fields_[i];
    auto* menu = new QMenu(result);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->setToolTipsVisible(true);
    menu->addActions(undoRedo_);
    menu->addSeparator();
    addEditEntries(*menu, *result);
    if (workOutAll_ != nullptr) {
        menu->addSeparator();
        menu->addAction(workOutAll_);
    }
    menu->addSeparator();
    if (log_ != nullptr) {
        menu->addAction(log_);
    }
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

void ResultOddsView::addEditEntries(QMenu& menu, QLineEdit& field) {
    // A result is the sheet's to write: of the field's own entries only those
    // that read it stay. Copy takes the selection, or the whole result.
    QAction* copyText = menu.addAction("Copy");
    copyText->setShortcut(QKeySequence::Copy);
    connect(copyText, &QAction::triggered, &field, [&field] {
        QGuiApplication::clipboard()->setText(field.hasSelectedText() ? field.selectedText()
                                                                      : field.text());
    });
    copyText->setEnabled(!field.text().isEmpty());
    QAction* selectAll = menu.addAction("Select All");
    selectAll->setShortcut(QKeySequence::SelectAll);
    connect(selectAll, &QAction::triggered, &field, &QLineEdit::selectAll);
    selectAll->setEnabled(!field.text().isEmpty());
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

QString ResultOddsView::heading(std::size_t i, double average) const {
    const Field result = tarvelin::kResults[i].field;
    return volleyHeading(result, volleyWords(sheet_.workedFrom(result), sheet_.separator()),
                         average, sheet_.separator());
}

std::optional<VolleyNames> ResultOddsView::pinNames(std::size_t i) const {
    const auto& kept = pins_[i];
    return kept ? comparedNames(sheet_.workedFrom(tarvelin::kResults[i].field), *kept->from,
                                sheet_.separator())
                : std::nullopt;
}

void ResultOddsView::pin(std::size_t i) {
    const Shown& shown = shown_[i];
    const auto* binomial = std::get_if<tarvelin::Odds>(&shown.odds);
    if (!shown.chart || binomial == nullptr) {
        return;
    }
    const double average = shown.chart->average;
    history_.record("Compare with This", [&] {
        pins_[i] =
            Pin{*binomial, shown.chances, heading(i, average), sheet_.state().results[i].from};
        refreshResult(i, true);
    });
    const Field result = tarvelin::kResults[i].field;
    emit pinChanged(fields_[i], fieldCaption(result) + " " +
                                    averageText(average, sheet_.separator()) +
                                    " pinned for comparison.");
}

void ResultOddsView::unpin(std::size_t i) {
    history_.record("Stop Comparing", [&] {
        pins_[i].reset();
        refreshResult(i, true);
    });
    emit pinChanged(fields_[i],
                    "Stopped comparing " + fieldCaption(tarvelin::kResults[i].field) + ".");
}

void ResultOddsView::copy(std::size_t i, TableLayout layout) {
    const Shown& shown = shown_[i];
    if (!shown.chart || !shown.chances) {
        return;
    }
    const TableVolley now{heading(i, shown.chart->average), *shown.chart, *shown.chances};
    std::optional<TableVolley> pinned;
    QString title;
    const auto& kept = pins_[i];
    if (shown.pinnedChart && kept) {
        pinned.emplace(TableVolley{kept->heading, *shown.pinnedChart, *kept->chances});
        // A comparison is headed first by what differs between its two volleys.
        if (const std::optional<VolleyNames> names = pinNames(i)) {
            title = comparisonTitle(tarvelin::kResults[i].field, *names, shown.chart->average,
                                    shown.pinnedChart->average, sheet_.separator()) +
                    '\n';
        }
    }
    QGuiApplication::clipboard()->setText(
        title + oddsTable(now, pinned ? &*pinned : nullptr, sheet_.separator(), layout));
}

void ResultOddsView::refresh() {
    for (std::size_t i = 0; i < fields_.size(); ++i) {
        refreshResult(i, false);
    }
    refreshRoll();
}

void ResultOddsView::refreshRoll() {
    const auto stale = sheet_.outOfDate(Field::Text2);
    if (rollShown_ && *rollShown_ == stale) {
        return;
    }
    rollShown_ = stale;
    const QString help = fieldHelp(Field::Text2);
    const QString text = stale ? outOfDateText(Field::Text2, *stale) + '\n' + help : help;
    roll_.setToolTip(text);
    roll_.setAccessibleDescription(text);
    showOutOfDate(roll_, stale.has_value());
}

void ResultOddsView::refreshResult(std::size_t i, bool pinMoved) {
    const Field field = tarvelin::kResults[i].field;
    const auto odds = sheet_.odds(field);
    const auto stale = sheet_.outOfDate(field);
    Shown& shown = shown_[i];
    if (odds == shown.odds && stale == shown.stale && !pinMoved) {
        return;  // worked out once per stored result, never per keystroke
    }
    if (odds != shown.odds) {
        shown = Shown{odds, nullptr, std::nullopt, std::nullopt, stale};
        if (const auto* binomial = std::get_if<tarvelin::Odds>(&shown.odds)) {
            shown.chances = std::make_shared<const tarvelin::Chances>(
                tarvelin::ChancesOf(binomial->trials, binomial->chance));
        }
        chartResult(i);
    } else if (pinMoved) {
        chartResult(i);
    }
    shown.stale = stale;
    describe(i);
    showOutOfDate(*fields_[i], shown.stale.has_value());
    if (pinMoved) {
        showPinMark(i);
    }
    if (tip_ != nullptr && tip_->field() == fields_[i]) {
        tip_->hide();
    }
}

void ResultOddsView::showPinMark(std::size_t i) {
    const auto& kept = pins_[i];
    QAction*& mark = pinMarks_[i];
    if (mark == nullptr) {
        if (!kept) {
            return;
        }
        mark = fields_[i]->addAction(pinIcon(*fields_[i]), QLineEdit::TrailingPosition);
    }
    mark->setVisible(kept.has_value());
    if (kept) {
        const double average = kept->odds.trials * kept->odds.chance;
        mark->setToolTip("Pinned for comparison: " + fieldCaption(tarvelin::kResults[i].field) +
                         " " + averageText(average, sheet_.separator()) + ", " + kept->heading +
                         ".");
    }
}

void ResultOddsView::chartResult(std::size_t i) {
    Shown& shown = shown_[i];
    shown.chart.reset();
    shown.pinnedChart.reset();
    const auto* binomial = std::get_if<tarvelin::Odds>(&shown.odds);
    if (binomial == nullptr || !shown.chances) {
        return;
    }
    const auto& kept = pins_[i];
    if (kept) {
        tarvelin::ComparedCharts both =
            tarvelin::CompareCharts(*binomial, *shown.chances, kept->odds, *kept->chances);
        shown.chart = std::move(both.now);
        shown.pinnedChart = std::move(both.pinned);
    } else {
        shown.chart = tarvelin::ChartOfOdds(*binomial, *shown.chances);
    }
}

void ResultOddsView::describe(std::size_t i) {
    const Shown& shown = shown_[i];
    const Field field = tarvelin::kResults[i].field;
    const auto& kept = pins_[i];
    const auto* binomial = std::get_if<tarvelin::Odds>(&shown.odds);
    QString text = fieldHelp(field) + '\n';
    if (kept && binomial != nullptr && shown.chances) {
        text += comparedOddsHelp({*binomial, shown.chances->atLeast},
                                 {kept->odds, kept->chances->atLeast}, sheet_.separator());
    } else {
        const tarvelin::CountChances none;
        text +=
            oddsHelp(shown.odds, shown.chances ? shown.chances->atLeast : none, sheet_.separator());
    }
    if (kept) {
        text += "\nPinned: " + kept->heading;
    }
    if (shown.stale) {
        text.prepend(outOfDateText(field, *shown.stale) + '\n');
    }
    fields_[i]->setToolTip(text);
    // Qt before 6.8 tells screen readers of a changed description in a form
    // they cannot speak, and they try to for the control with the focus: the
    // field whose own menu pinned it takes its new description when the
    // focus leaves it, and the announcement says what changed meanwhile.
    if (qt_features::kSpokenDescriptionChanges || window_.focusWidget() != fields_[i]) {
        fields_[i]->setAccessibleDescription(text);
    }
}
