// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// The odds of the four result fields and whether each is out of date: worked
// out once per stored result, written into each field's tooltip text and
// accessible description, shown as a chart on hover and on keyboard focus,
// and copied from the field's context menu; an out-of-date result is drawn
// faded. From the same menu a result is pinned, and the results worked out
// after it are then drawn, described and copied beside it; pins outlast
// Clear. It only reads the sheet; Form1 says what the user did and what the
// sheet changed.
#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <array>
#include <optional>

#include "calc/freshness.h"
#include "calc/odds_chart.h"
#include "calc/volley_sheet.h"
#include "window/odds_table.h"

class QKeyEvent;
class QLineEdit;
class QMenu;
class QWidget;
class OddsTip;

class ResultOddsView : public QObject {
    Q_OBJECT

public:
    // The fields of Text3, Text6, Text8 and Text9, in that order.
    using ResultFields = std::array<QLineEdit*, 4>;

    ResultOddsView(QWidget& window, const tarvelin::VolleySheet& sheet, const ResultFields& fields);

    // Around all that the sheet does for one user action, and what it
    // changed meanwhile; the results are brought up to date after each.
    void begin(const tarvelin::UserAction& action);
    void end(bool failed);
    void changed(tarvelin::Field field);
    void changed(tarvelin::Box box, bool ticked);
    // Takes the chart tooltip off the screen, if it is there.
    void hideTip();
    // The average of the result pinned in a result field, if any.
    [[nodiscard]] std::optional<double> pinnedAverage(tarvelin::Field result) const;

signals:
    // A result was pinned or let go, with a line saying so for a screen reader.
    void pinChanged(QWidget* field, const QString& said);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Brings every result's odds, help text and look up to the sheet; cheap
    // when nothing changed.
    void refresh();
    // The same for result i, and always when its pin has changed.
    void refreshResult(std::size_t i, bool pinMoved);
    // Its chart, beside the pinned one's if it has a pin.
    void chartResult(std::size_t i);
    // Its tooltip text and accessible description.
    void describe(std::size_t i);
    void showFreshness(std::size_t i);
    // The chart tooltip of result i, hovered at pointer or reached by
    // keyboard; false when it has no odds to chart.
    bool showTip(std::size_t i, std::optional<QPoint> pointer);
    // Shows result i's tooltip once the focus event that brought the
    // keyboard to it has ended.
    void showTipOnFocus(std::size_t i);
    // Opens the context menu for Shift+F10; false for any other key.
    bool openMenuByKey(QLineEdit& field, const QKeyEvent& key);
    // The field's own context menu, with Copy Odds added.
    void showMenu(std::size_t i, const QPoint& pos);
    void addCompareEntries(QMenu& menu, std::size_t i);
    void copy(std::size_t i, TableLayout layout);
    // Keeps result i as it stands to compare the next ones with, or lets go of it.
    void pin(std::size_t i);
    void unpin(std::size_t i);
    // Notes what a step that just worked out its result read, for the
    // heading of a copy.
    void noteVolley(tarvelin::Command step);

    // A result's odds as shown, with what its chart and Copy Odds need.
    struct Shown {
        tarvelin::VolleySheet::ResultOdds odds = tarvelin::NoOdds::NotAResult;
        tarvelin::Chances chances;                       // empty without odds
        std::optional<tarvelin::OddsChart> chart;        // only with odds
        std::optional<tarvelin::OddsChart> pinnedChart;  // only with odds and a pin
        std::optional<tarvelin::OutOfDate> stale;
    };

    // A result as it stood when pinned.
    struct Pin {
        tarvelin::Odds odds;
        tarvelin::Chances chances;
        QString heading;  // as Copy Odds heads it
    };

    QWidget& window_;
    const tarvelin::VolleySheet& sheet_;
    ResultFields fields_;
    tarvelin::Freshness freshness_;
    std::array<Shown, 4> shown_{};
    // What each result was worked out from, "12 shots, Aimcraft 4 (needed roll 4)".
    std::array<QString, 4> volleys_{};
    std::array<std::optional<Pin>, 4> pins_{};
    std::optional<tarvelin::Command> running_;  // the button whose action runs
    OddsTip* tip_ = nullptr;                    // made when first shown
};
