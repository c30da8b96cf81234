// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/out_of_date.h"

#include <QApplication>
#include <QLineEdit>

#include "calc/shooting_tables.h"
#include "window/controls.h"
#include "window/utf8.h"

using tarvelin::Cause;
using tarvelin::Command;
using tarvelin::Field;

namespace {

// The field or box that changed, as a person names it.
QString changedName(const std::variant<std::monostate, Field, tarvelin::Box>& what) {
    if (const auto* field = std::get_if<Field>(&what)) {
        return *field == Field::Text2 ? QString("the needed roll") : fieldCaption(*field);
    }
    if (const auto* box = std::get_if<tarvelin::Box>(&what)) {
        return utf8(tarvelin::BoxCaption(*box));
    }
    return {};
}

// What a press changed: Clear empties fields and unticks boxes, To Hit writes
// the needed roll.
QString changeBy(Command step, const std::variant<std::monostate, Field, tarvelin::Box>& what) {
    if (step != Command::Command6) {
        return commandCaption(step) + " changed " + changedName(what);
    }
    return (std::holds_alternative<tarvelin::Box>(what) ? "Clear unticked " : "Clear emptied ") +
           changedName(what);
}

}  // namespace

QString outOfDateText(Field result, const tarvelin::OutOfDate& why) {
    // The roll is To Hit's result, and is named by the step that wrote it.
    const QString name =
        result == Field::Text2 ? commandCaption(Command::Command1) : fieldCaption(result);
    const QString step = commandCaption(why.step);
    QString what = changedName(why.what);
    if (!what.isEmpty() && std::holds_alternative<Field>(why.what)) {
        what[0] = what[0].toUpper();
    }
    switch (why.cause) {
    case Cause::Edited:
        return "Out of date: " + what + " was changed after " + name + ".";
    case Cause::Ticked:
        return "Out of date: " + what + " was ticked after " + name + ".";
    case Cause::Unticked:
        return "Out of date: " + what + " was unticked after " + name + ".";
    case Cause::ChangedBy:
        return "Out of date: " + changeBy(why.step, why.what) + " after " + name + ".";
    case Cause::Redone:
        return "Out of date: " + step + " was worked out again after " + name + ".";
    case Cause::Failed: {
        const bool subtracts = result == Field::Text9 && why.step == Command::Command4;
        return "Out of date: " + step + " failed, so " + name + " still " +
               (subtracts ? "subtracts" : "works from") + " the " + step.toLower() +
               " worked out before.";
    }
    case Cause::Without:
        return "Out of date: " + name + " was worked out without " + step + ".";
    case Cause::FromStale:
        return "Out of date: " + name + " was worked out from " +
               (why.step == Command::Command1 ? QString("the needed roll") : step) +
               ", which is out of date.";
    }
    return {};
}

void showOutOfDate(QLineEdit& field, bool stale) {
    // As a placeholder is drawn: the palette's own faint text colour, in
    // italics, so that it reads as not quite there in any theme. Only these
    // two are set; everything else still comes from the window.
    if (!stale) {
        field.setFont(QFont());
        field.setPalette(QPalette());
        return;
    }
    QFont italic;
    italic.setItalic(true);
    field.setFont(italic);
    QPalette faint;
    faint.setColor(QPalette::Text, QApplication::palette(&field).color(QPalette::PlaceholderText));
    field.setPalette(faint);
}
