// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include "window/controls.h"

using tarvelin::Box;
using tarvelin::Command;
using tarvelin::Field;
using tarvelin::indexOf;

namespace {

constexpr std::array<FieldControl, tarvelin::kAllFields.size()> kFields{{
    {Field::Text1,
     {480, 360, 1215, 285},
     "Aimcraft",
     "The shooters' Aimcraft rating, a whole number from 1 to 10. Enter presses To Hit.",
     "Type the shooters' Aimcraft rating, from 1 to 10",
     Command::Command1,
     true},
    {Field::Text2,
     {2400, 720, 1215, 285},
     "Needed roll",
     "The roll needed to hit: To Hit works it out and the boxes move it, or type it. A roll "
     "below 2 always hits, 9 or more never. Enter presses Hits.",
     "Press To Hit to work it out, or type the roll needed to hit",
     Command::Command2,
     true},
    {Field::Text3,
     {2400, 1800, 1215, 285},
     "Hits",
     "The average number of hits, with one decimal.",
     "Press Hits",
     Command::Command2,
     false},
    {Field::Text4,
     {480, 960, 1215, 285},
     "Shots",
     "How many shots the unit fires. Enter presses Hits.",
     "Type the number of shots",
     Command::Command2,
     true},
    {Field::Text5,
     {480, 1560, 1215, 285},
     "To Wound",
     "The roll needed to wound, a whole number up to 6: 1 wounds with every hit, 0 and below "
     "with none. Enter presses Wounds.",
     "Type the roll needed to wound",
     Command::Command3,
     true},
    {Field::Text6,
     {2400, 2760, 1215, 285},
     "Wounds",
     "The average number of wounds, with one decimal.",
     "Press Wounds",
     Command::Command3,
     false},
    {Field::Text7,
     {480, 2160, 1215, 285},
     "Armour Save",
     "The armour save, a whole number up to 6: 1 and below save every wound. Enter presses "
     "Saves.",
     "Type the armour save",
     Command::Command4,
     true},
    {Field::Text8,
     {2400, 3720, 1215, 285},
     "Saves",
     "The average number of saved wounds, with one decimal.",
     "Press Saves",
     Command::Command4,
     false},
    {Field::Text9,
     {2400, 4680, 1215, 285},
     "Casualties",
     "The average number of casualties, with one decimal.",
     "Press Casualties",
     Command::Command5,
     false},
}};

constexpr std::array<CommandControl, tarvelin::kAllCommands.size()> kCommands{{
    {Command::Command1,
     {2400, 120, 1215, 495},
     "To Hit",
     "Works out the roll needed to hit from Aimcraft and the ticked boxes."},
    {Command::Command2,
     {2400, 1200, 1215, 495},
     "Hits",
     "Works out the average hits from Shots and the needed roll."},
    {Command::Command3,
     {2400, 2160, 1215, 495},
     "Wounds",
     "Works out the average wounds from the hits and To Wound."},
    {Command::Command4,
     {2400, 3120, 1215, 495},
     "Saves",
     "Works out the average saved wounds from the wounds and Armour Save."},
    {Command::Command5,
     {2400, 4080, 1215, 495},
     "Casualties",
     "Works out the average casualties: the wounds not saved."},
    {Command::Command6,
     {2400, 5160, 1215, 495},
     "Clear",
     "Empties Aimcraft, Shots, To Wound and Armour Save and unticks the boxes; the results "
     "stay."},
}};

constexpr std::array<BoxControl, tarvelin::kAllBoxes.size()> kBoxes{{
    {Box::Check1, {360, 2760, 1575, 495}},
    {Box::Check2, {360, 3240, 1575, 495}},
    {Box::Check3, {360, 3720, 1575, 495}},
    {Box::Check4, {360, 4200, 1575, 495}},
    {Box::Check5, {360, 4680, 1575, 495}},
    {Box::Check6, {360, 5160, 1575, 495}},
}};

// Each table is looked up by position, so its rows must stand in the order
// of their names.
template <typename Rows, typename Member>
constexpr bool inOrder(const Rows& rows, Member key) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (indexOf(rows[i].*key) != i) {
            return false;
        }
    }
    return true;
}
static_assert(inOrder(kFields, &FieldControl::field));
static_assert(inOrder(kCommands, &CommandControl::command));
static_assert(inOrder(kBoxes, &BoxControl::box));

constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignTop;
constexpr Qt::Alignment kLeft = Qt::AlignLeft | Qt::AlignTop;

// An input's label shows the name its failure messages use.
constexpr const char* captionOf(Field field) {
    return kFields[indexOf(field)].caption;
}

constexpr std::array<LabelControl, 8> kLabels{{
    {"Label1", captionOf(Field::Text1), {480, 120, 1215, 255}, kCentred},
    {"Label2", captionOf(Field::Text4), {480, 720, 1215, 255}, kCentred},
    {"Label3", captionOf(Field::Text5), {480, 1320, 1215, 255}, kCentred},
    {"Label4", captionOf(Field::Text7), {480, 1920, 1215, 255}, kCentred},
    {"Label5", "1.", {240, 120, 135, 255}, kLeft},
    {"Label6", "2.", {2160, 120, 135, 255}, kLeft},
    {"Label7", "3.", {240, 2640, 135, 255}, kLeft},
    {"Label8", "4.", {2160, 1200, 135, 255}, kLeft},
}};

}  // namespace

const FieldControl& controlOf(Field field) {
    return kFields[indexOf(field)];
}
const CommandControl& controlOf(Command command) {
    return kCommands[indexOf(command)];
}
const BoxControl& controlOf(Box box) {
    return kBoxes[indexOf(box)];
}

QString fieldCaption(Field field) {
    return controlOf(field).caption;
}
QString commandCaption(Command command) {
    return controlOf(command).caption;
}

const std::array<LabelControl, 8>& labelControls() {
    return kLabels;
}

QString objectName(Field field) {
    return QString("Text%1").arg(indexOf(field) + 1);
}
QString objectName(Command command) {
    return QString("Command%1").arg(indexOf(command) + 1);
}
QString objectName(Box box) {
    return QString("Check%1").arg(indexOf(box) + 1);
}
