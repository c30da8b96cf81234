// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Every control of the window in one place: where it sits, its caption, what
// it says of itself and, for a field, the button that reads it. The layout,
// the help texts, the failure messages and the bindings all read these rows;
// whole sentences are still worded by explanations and failure_message.
#pragma once

#include <QRect>
#include <QString>
#include <array>

#include "calc/names.h"

struct FieldControl {
    tarvelin::Field field;
    QRect place;  // in twips, as every place here
    // The name a person knows it by: its label, or the button above it.
    const char* caption;
    const char* help;  // on hover and to a screen reader
    // What to do about it, as an instruction ending a failure message.
    const char* instruction;
    // The button that reads it, or that works it out for a result.
    tarvelin::Command command;
    // Typed by the user rather than worked out; Enter in it presses command.
    bool input;
};

struct CommandControl {
    tarvelin::Command command;
    QRect place;
    const char* caption;
    const char* help;
};

// A box's caption and what it adds come from the shooting tables.
struct BoxControl {
    tarvelin::Box box;
    QRect place;
};

struct LabelControl {
    const char* name;
    const char* caption;
    QRect place;
    Qt::Alignment alignment;
};

[[nodiscard]] const FieldControl& controlOf(tarvelin::Field field);
[[nodiscard]] const CommandControl& controlOf(tarvelin::Command command);
[[nodiscard]] const BoxControl& controlOf(tarvelin::Box box);

// The name a person knows a field by: its label, or the button above it;
// and a button's caption, "To Hit".
[[nodiscard]] QString fieldCaption(tarvelin::Field field);
[[nodiscard]] QString commandCaption(tarvelin::Command command);

// Label1 to Label8: the inputs' captions and the panels' numbers.
[[nodiscard]] const std::array<LabelControl, 8>& labelControls();

// The designer names the controls keep: "Text3", "Command2", "Check6".
[[nodiscard]] QString objectName(tarvelin::Field field);
[[nodiscard]] QString objectName(tarvelin::Command command);
[[nodiscard]] QString objectName(tarvelin::Box box);
