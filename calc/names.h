// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
// Names of the sheet's nine text fields, six modifier boxes and six buttons,
// shared by the core and the window. The window's controls carry the same
// names, so a field, box or command means the same thing on both sides.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace tarvelin {

// A byte each: they fill the sheet's state, which a history keeps by the thousand.
enum class Field : std::uint8_t { Text1, Text2, Text3, Text4, Text5, Text6, Text7, Text8, Text9 };

enum class Box : std::uint8_t { Check1, Check2, Check3, Check4, Check5, Check6 };

// The six buttons, each bound to one action of the sheet: To Hit, Hits,
// Wounds, Saves, Casualties and Clear.
enum class Command : std::uint8_t { Command1, Command2, Command3, Command4, Command5, Command6 };

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

// The four results in the order of the chain: the step that works each out,
// the inputs it reads, and the results it works from. Each later result
// builds on the ones before it, so a change reaches its first reader and all
// that follow.
struct ResultRow {
    Field field;
    Command step;
    std::array<std::optional<Field>, 2> reads;
    std::array<std::optional<Field>, 2> from;
};

inline constexpr std::array<ResultRow, 4> kResults{{
    {Field::Text3, Command::Command2, {Field::Text4, Field::Text2}, {}},
    {Field::Text6, Command::Command3, {Field::Text5}, {Field::Text3}},
    {Field::Text8, Command::Command4, {Field::Text7}, {Field::Text6}},
    {Field::Text9, Command::Command5, {}, {Field::Text6, Field::Text8}},
}};

// The place in kResults of a result field, or of the step that works it out;
// nothing for the other fields and for To Hit and Clear.
constexpr std::optional<std::size_t> resultIndex(Field field) {
    for (std::size_t i = 0; i < kResults.size(); ++i) {
        if (kResults[i].field == field) {
            return i;
        }
    }
    return std::nullopt;
}
constexpr std::optional<std::size_t> resultIndex(Command step) {
    for (std::size_t i = 0; i < kResults.size(); ++i) {
        if (kResults[i].step == step) {
            return i;
        }
    }
    return std::nullopt;
}

// The first result whose step reads the input; a later one reads it through
// the chain.
constexpr std::optional<std::size_t> firstReader(Field input) {
    for (std::size_t i = 0; i < kResults.size(); ++i) {
        for (const std::optional<Field>& read : kResults[i].reads) {
            if (read == input) {
                return i;
            }
        }
    }
    return std::nullopt;
}

}  // namespace tarvelin
