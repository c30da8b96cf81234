// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Names of the sheet's nine text fields, six modifier boxes and six buttons,
// shared by the core and the window. The window's controls carry the same
// names, so a field, box or command means the same thing on both sides.
#pragma once

#include <array>

namespace tarvelin {

enum class Field { Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8, Text9 };

enum class Box { Check1, Check2, Check3, Check4, Check5, Check6 };

// The six buttons, each bound to one action of the sheet: To Hit, Hits,
// Wounds, Saves, Casualties and Clear.
enum class Command { Command1, Command2, Command3, Command4, Command5, Command6 };

inline constexpr std::array<Field, 9> kAllFields{Field::Text1, Field::Text2, Field::Text3,
                                                 Field::Text4, Field::Text5, Field::Text6,
                                                 Field::Text7, Field::Text8, Field::Text9};

inline constexpr std::array<Box, 6> kAllBoxes{Box::Check1, Box::Check2, Box::Check3,
                                              Box::Check4, Box::Check5, Box::Check6};

inline constexpr std::array<Command, 6> kAllCommands{Command::Command1, Command::Command2,
                                                     Command::Command3, Command::Command4,
                                                     Command::Command5, Command::Command6};

// Position of a field, box or command in the arrays above; handy for per-field storage.
constexpr std::size_t indexOf(Field field) {
    return static_cast<std::size_t>(field);
}
constexpr std::size_t indexOf(Box box) {
    return static_cast<std::size_t>(box);
}
constexpr std::size_t indexOf(Command command) {
    return static_cast<std::size_t>(command);
}

}  // namespace tarvelin
