// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Words why a result or the needed roll is out of date, as the first line of
// its tooltip and of its accessible description, and draws it faded. Which
// is out of date, and why, is the sheet's to decide.
#pragma once

#include <QString>

class QLineEdit;

#include "calc/freshness.h"

// "Out of date: Soft Cover was ticked after Hits." for result Text3, "Out of
// date: Aimcraft was changed after To Hit." for the needed roll, Text2.
[[nodiscard]] QString outOfDateText(tarvelin::Field result, const tarvelin::OutOfDate& why);

// Faded, as a placeholder is drawn, while out of date; as the window draws
// it otherwise.
void showOutOfDate(QLineEdit& field, bool stale);
