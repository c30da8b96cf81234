// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The odds of the four result fields and whether each, and the needed roll,
// is out of date: worked out once per stored result, written into each
// field's tooltip text and accessible description, shown as a chart on hover
// and on keyboard focus, and copied from the field's context menu; an
// out-of-date value is drawn faded. From the same menu a result is pinned,
// and the results worked out after it are then drawn, described and copied
// beside it; pins outlast Clear. It only reads the sheet, which keeps what is
// out of date; Form1 says when the sheet may have changed.
#pragma once

#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>
#include <array>
#include <memory>
#include <optional>

#include "calc/odds_chart.h"
#include "calc/volley_sheet.h"
#include "window/odds_table.h"

class FormHistory;
class QAction;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QWidget;
class OddsTip;

class ResultOddsView : public QObject {
    Q_OBJECT

public:
    // The result fields, in the order of kResults.
    using ResultFields = std::array<QLineEdit*, tarvelin::kResults.size()>;

    // A result as it stood when pinned; its chances are shared with whatever
    // else holds them, the undo history above all.
    struct Pin {
        tarvelin::Odds odds;
        std::shared_ptr<const tarvelin::Chances> chances;
        QString heading;              // as Copy Odds heads it
        tarvelin::SharedVolley from;  // what it was worked out from
        friend bool operator==(const Pin&, const Pin&) = default;
    };
    using Pins = std::array<std::optional<Pin>, 4>;

    // roll: the needed roll's field. Pins are made and let go as steps of history.
    ResultOddsView(QWidget& window, const tarvelin::VolleySheet& sheet, const ResultFields& fields,
                   QLineEdit& roll, FormHistory& history);

    // Brings every result's odds, help text and look, and the needed roll's
    // look, up to the sheet; cheap when nothing changed.
    void refresh();
    // The form's own entries (Undo, Redo, Work Out All), at the top of each
    // result's menu.
    void setFormActions(const QList<QAction*>& undoRedo, QAction* workOutAll);
    // The form's Volley Log entry, just before the compare entries.
    void setLogAction(QAction* log) { log_ = log; }
    // Takes the chart tooltip off the screen, if it is there.
    void hideTip();
    // The average of the result pinned in a result field, if any.
    [[nodiscard]] std::optional<double> pinnedAverage(tarvelin::Field result) const;
    [[nodiscard]] const Pins& pins() const { return pins_; }
    // Puts back pins as they were, as undo does.
    void restorePins(const Pins& pins);

signals:
    // A result was pinned or let go, with a line saying so for a screen reader.
    void pinChanged(QWidget* field, const QString& said);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The same for result i, and always when its pin has changed.
    void refreshResult(std::size_t i, bool pinMoved);
    void refreshRoll();
    // The mark in a pinned result's frame, shown while it has a pin.
    void showPinMark(std::size_t i);
    // Its chart, beside the pinned one's if it has a pin.
    void chartResult(std::size_t i);
    // Its tooltip text and accessible description.
    void describe(std::size_t i);
    // The chart tooltip of result i, hovered at pointer or reached by
    // keyboard; false when it has no odds to chart.
    bool showTip(std::size_t i, std::optional<QPoint> pointer);
    // Shows result i's tooltip once the focus event that brought the
    // keyboard to it has ended.
    void showTipOnFocus(std::size_t i);
    // Opens the context menu for Shift+F10; false for any other key.
    bool openMenuByKey(QLineEdit& field, const QKeyEvent& key);
    // What works on a result: the form's Undo and Redo, Copy, Select All,
    // Work Out All, comparing and Copy Odds.
    void showMenu(std::size_t i, const QPoint& pos);
    void addEditEntries(QMenu& menu, QLineEdit& field);
    void addCompareEntries(QMenu& menu, std::size_t i);
    void copy(std::size_t i, TableLayout layout);
    // Keeps result i as it stands to compare the next ones with, or lets go of it.
    void pin(std::size_t i);
    void unpin(std::size_t i);
    [[nodiscard]] QString heading(std::size_t i, double average) const;
    // Result i and its pin named by what differs between them, if anything does.
    [[nodiscard]] std::optional<VolleyNames> pinNames(std::size_t i) const;

    // A result's odds as shown, with what its chart and Copy Odds need.
    struct Shown {
        tarvelin::VolleySheet::ResultOdds odds = tarvelin::NoOdds::NotAResult;
        std::shared_ptr<const tarvelin::Chances> chances;  // null without odds
        std::optional<tarvelin::OddsChart> chart;          // only with odds
        std::optional<tarvelin::OddsChart> pinnedChart;    // only with odds and a pin
        std::optional<tarvelin::OutOfDate> stale;
    };

    QWidget& window_;
    const tarvelin::VolleySheet& sheet_;
    ResultFields fields_;
    QLineEdit& roll_;
    FormHistory& history_;
    std::array<Shown, 4> shown_{};
    std::optional<std::optional<tarvelin::OutOfDate>> rollShown_;  // none before the first refresh
    Pins pins_{};
    QList<QAction*> undoRedo_;
    QAction* workOutAll_ = nullptr;
    std::array<QAction*, 4> pinMarks_{};  // made when first pinned
    QAction* log_ = nullptr;
    OddsTip* tip_ = nullptr;  // made when first shown
};
