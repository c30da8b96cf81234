// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/failure_message.h"

#include "calc/number_text.h"
#include "window/controls.h"
#include "window/utf8.h"

using tarvelin::Field;
using tarvelin::Problem;

namespace {

// A field may hold a pasted megabyte; quote only its start. Control
// characters (a pasted NUL or tab) would vanish or break the message, so
// they show as the replacement character.
QString quoted(const QString& text) {
    constexpr int kShown = 24;
    QString shown = text.left(kShown);
    for (QChar& c : shown) {
        if (!c.isPrint()) {
            c = QChar::ReplacementCharacter;
        }
    }
    if (text.size() > kShown) {
        shown += QChar(0x2026);
    }
    return QChar(0x201C) + shown + QChar(0x201D);
}

QString tableFor(Field field) {
    switch (field) {
    case Field::Text1:
        return "An Aimcraft rating of %1 is not on the rating table, which has the whole "
               "ratings 1 to 10. The needed roll was left unchanged.";
    case Field::Text2:
        return "A needed roll of %1 is not on the hit table, which takes whole rolls (any roll "
               "below 2 or from 9 up counts too). Hits was left unchanged.";
    case Field::Text5:
        return "A to-wound roll of %1 is not on the wound table, which takes whole rolls up "
               "to 6. Wounds was left unchanged.";
    case Field::Text7:
        return "A save of %1 is not on the save table, which takes whole saves up to 6. "
               "Saves was left unchanged.";
    case Field::Text3:
    case Field::Text4:
    case Field::Text6:
    case Field::Text8:
    case Field::Text9:
        return "%1 is not on the table for " + fieldCaption(field) + ".";
    }
    return {};
}

}  // namespace

QString failureMessage(const tarvelin::SheetFailure& failure, const QString& fieldText,
                       std::string_view separator) {
    const FieldControl& control = controlOf(failure.field);
    const QString caption = control.caption;
    const QString next =
        QString(control.instruction) + ", then press " + controlOf(control.command).caption + ".";
    const QString value =
        QString::fromStdString(tarvelin::TextFromNumber(failure.value, separator));
    switch (failure.problem) {
    case Problem::Empty:
        return caption + " is empty. " + next;
    case Problem::NotANumber: {
        QString message =
            caption + " holds " + quoted(fieldText) + ", which is not a number. " + next;
        const QString sep = utf8(separator);
        for (const char* other : {".", ","}) {
            if (QLatin1String(other) != sep && fieldText.contains(QLatin1String(other))) {
                message += " Numbers here use " + quoted(sep) + " as the decimal separator.";
                break;
            }
        }
        return message;
    }
    case Problem::TooLarge:
        return caption + " holds a number too large to work with. " + next;
    case Problem::OutOfRange:
        return "The Aimcraft rating must be from 1 to 10; " + value +
               " is outside that range, so the field was emptied. " + next;
    case Problem::NotOnTable:
        return tableFor(failure.field).arg(value);
    case Problem::ResultOverflow:
        return "The result for " + caption + " is too large to show, so " + caption +
               " was left unchanged. Check the numbers that led to it.";
    }
    return {};
}
