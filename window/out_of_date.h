// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Words why a result is out of date, as the first line of its tooltip and of
// its accessible description. Which result is out of date, and why, is
// calc/freshness.h's to decide.
#pragma once

#include <QString>

#include "calc/freshness.h"

// "Out of date: Soft Cover was ticked after Hits." for result Text3.
[[nodiscard]] QString outOfDateText(tarvelin::Field result, const tarvelin::OutOfDate& why);
