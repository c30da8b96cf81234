// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Turns a failure that the sheet reported into the sentence the user reads:
// which field, what is wrong with it, and what to do next. The wording lives
// here so the window only has to show it.
#pragma once

#include <QString>
#include <string_view>

#include "calc/volley_sheet.h"

// fieldText is what the field held when the action read it; separator is
// the decimal separator the sheet works with.
[[nodiscard]] QString failureMessage(const tarvelin::SheetFailure& failure,
                                     const QString& fieldText, std::string_view separator);
