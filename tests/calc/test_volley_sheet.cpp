// SPDX-FileCopyrightText: 2026 The Tarvelin developers
// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "calc/volley_sheet.h"

namespace tarvelin {
namespace {

std::string nameOf(Field field) {
    return "Text" + std::to_string(indexOf(field) + 1);
}
std::string nameOf(Box box) {
    return "Check" + std::to_string(indexOf(box) + 1);
}

std::string nameOf(Problem problem) {
    switch (problem) {
    case Problem::Empty:
        return "Empty";
    case Problem::NotANumber:
        return "NotANumber";
    case Problem::TooLarge:
        return "TooLarge";
    case Problem::OutOfRange:
        return "OutOfRange";
    case Problem::NotOnTable:
        return "NotOnTable";
    case Problem::ResultOverflow:
        return "ResultOverflow";
    }
    return "?";
}

// Writes down everything the sheet announces, in order, as short lines such
// as "Text3=6." or "Check1 on" or "failed Text4 Empty".
class Recorder : public SheetObserver {
public:
    std::vector<std::string> events;

    void textChanged(Field field, const std::string& text) override {
        events.push_back(nameOf(field) + "=" + text);
    }
    void boxChanged(Box box, bool ticked) override {
        events.push_back(nameOf(box) + (ticked ? " on" : " off"));
    }
    void failed(const SheetFailure& failure) override {
        events.push_back("failed " + nameOf(failure.field) + " " + nameOf(failure.problem));
    }

    std::vector<std::string> take() { return std::exchange(events, {}); }
};

using Events = std::vector<std::string>;

// An input typed, a button pressed, and the one report expected.
struct ActionRow {
    Field input;
    std::string text;
    std::optional<SheetFailure> (VolleySheet::*action)();
    std::string report;
};

class SheetTest : public ::testing::Test {
protected:
    Recorder recorder;
    VolleySheet sheet{recorder};

    // Types the four inputs and forgets what that announced.
    void typeInputs(const std::string& aimcraft, const std::string& shots,
                    const std::string& toWound, const std::string& armourSave) {
        sheet.setText(Field::Text1, aimcraft);
        sheet.setText(Field::Text4, shots);
        sheet.setText(Field::Text5, toWound);
        sheet.setText(Field::Text7, armourSave);
        recorder.take();
    }
    void setRoll(const std::string& roll) {
        sheet.setText(Field::Text2, roll);
        recorder.take();
    }
};

TEST_F(SheetTest, StartsEmptyUntickedAndAtZero) {
    for (const Field field : kAllFields) {
        EXPECT_EQ(sheet.text(field), "");
    }
    for (const Box box : kAllBoxes) {
        EXPECT_FALSE(sheet.box(box));
    }
    const double stored[] = {sheet.aimcraft(), sheet.shots(), sheet.hits(),
                             sheet.wounds(),   sheet.saves(), sheet.casualties()};
    for (const double value : stored) {
        EXPECT_EQ(value, 0);
    }
}

TEST_F(SheetTest, WorkedExampleAnnouncesEveryChangeInOrder) {
    typeInputs("4", "12", "4", "5");

    sheet.onToHit();
    EXPECT_EQ(recorder.take(), (Events{"Text2=3"}));
    EXPECT_EQ(sheet.aimcraft(), 4);

    sheet.setBox(Box::Check1, true);
    EXPECT_EQ(recorder.take(), (Events{"Check1 on", "Text2=4"}));

    sheet.onHits();
    EXPECT_EQ(recorder.take(), (Events{"Text3=6", "Text3=6."}));
    EXPECT_EQ(sheet.shots(), 12);
    EXPECT_EQ(sheet.hits(), 6);

    sheet.onWounds();
    EXPECT_EQ(recorder.take(), (Events{"Text6=3", "Text6=3."}));
    sheet.onSaves();
    EXPECT_EQ(recorder.take(), (Events{"Text8=1", "Text8=1."}));
    sheet.onCasualties();
    EXPECT_EQ(recorder.take(), (Events{"Text9=2", "Text9=2."}));
    EXPECT_EQ(sheet.casualties(), 2);

    sheet.onClear();
    EXPECT_EQ(recorder.take(),
              (Events{"Text1=", "Text4=", "Text5=", "Text7=", "Check1 off", "Text2=3"}));
    const std::pair<Field, std::string> shown[] = {
        {Field::Text1, ""}, {Field::Text2, "3"},  {Field::Text3, "6."},
        {Field::Text4, ""}, {Field::Text5, ""},   {Field::Text6, "3."},
        {Field::Text7, ""}, {Field::Text8, "1."}, {Field::Text9, "2."},
    };
    for (const auto& [field, text] : shown) {
        EXPECT_EQ(sheet.text(field), text) << nameOf(field);
    }
}

TEST_F(SheetTest, RollFollowsRatingAndModifiers) {
    // A rating of 7 skips the zero roll; the boxes then move it by their amounts.
    typeInputs("7", "", "", "");
    sheet.onToHit();
    EXPECT_EQ(sheet.text(Field::Text2), "-1");
    sheet.setBox(Box::Check1, true);
    EXPECT_EQ(sheet.text(Field::Text2), "0");
    sheet.setBox(Box::Check4, true);
    EXPECT_EQ(sheet.text(Field::Text2), "2");
    sheet.setBox(Box::Check5, true);
    EXPECT_EQ(sheet.text(Field::Text2), "1");
}

TEST_F(SheetTest, UntickingTakesOffWhatTickingPutOn) {
    setRoll("4");
    sheet.setBox(Box::Check1, true);
    EXPECT_EQ(sheet.text(Field::Text2), "5");
    sheet.setBox(Box::Check1, false);
    EXPECT_EQ(sheet.text(Field::Text2), "4");

    // Every box on its own, and with a fractional roll.
    for (const std::string start : {"4", "3.5", "-2"}) {
        for (const Box box : kAllBoxes) {
            SCOPED_TRACE(start + " " + nameOf(box));
            setRoll(start);
            sheet.setBox(box, true);
            EXPECT_EQ(NumberFromText(sheet.text(Field::Text2)),
                      NumberFromText(start) + ModifierTable(box));
            sheet.setBox(box, false);
            EXPECT_EQ(sheet.text(Field::Text2), start);
        }
    }
}

TEST_F(SheetTest, ClearUnticksAndTakesTheModifiersOff) {
    // The roll shows 6 with "Moved" and "Hard Cover" already counted in it.
    sheet.setBox(Box::Check1, true);
    sheet.setBox(Box::Check4, true);
    setRoll("6");
    sheet.onClear();
    EXPECT_EQ(sheet.text(Field::Text2), "3");
    for (const Box box : kAllBoxes) {
        EXPECT_FALSE(sheet.box(box));
    }

    // With every box ticked, Clear unticks them in order, each one's amount
    // coming off the roll before the next box changes.
    for (const Box box : kAllBoxes) {
        sheet.setBox(box, true);
    }
    setRoll("10");
    sheet.onClear();
    EXPECT_EQ(recorder.take(),
              (Events{"Check1 off", "Text2=9", "Check2 off", "Text2=8", "Check3 off", "Text2=7",
                      "Check4 off", "Text2=5", "Check5 off", "Text2=6", "Check6 off", "Text2=5"}));
}

TEST_F(SheetTest, ToHitCountsTheBoxesAlreadyTicked) {
    // Boxes ticked before there is a roll change only themselves...
    typeInputs("4", "", "", "");
    sheet.setBox(Box::Check1, true);
    sheet.setBox(Box::Check4, true);
    EXPECT_EQ(recorder.take(), (Events{"Check1 on", "Check4 on"}));
    EXPECT_EQ(sheet.text(Field::Text2), "");

    // ...and To Hit then writes the roll with them applied.
    sheet.onToHit();
    EXPECT_EQ(recorder.take(), (Events{"Text2=6"}));
    sheet.setBox(Box::Check4, false);
    sheet.setBox(Box::Check1, false);
    EXPECT_EQ(sheet.text(Field::Text2), "3");

    // The ends of the rating range, and single boxes (one +1 box sums to 1).
    const struct {
        std::string rating;
        std::vector<Box> ticked;
        std::string roll;
    } rows[] = {
        {"1", {}, "6"},
        {"10", {}, "-4"},
        {"7", {}, "-1"},
        {"1", {Box::Check2}, "7"},
        {"4", {Box::Check6}, "4"},
        {"4", {Box::Check5}, "2"},
        {"10", {Box::Check4, Box::Check5}, "-3"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rating + " with " + std::to_string(row.ticked.size()) + " boxes");
        setRoll("");
        for (const Box box : kAllBoxes) {
            sheet.setBox(box, false);
        }
        for (const Box box : row.ticked) {
            sheet.setBox(box, true);
        }
        typeInputs(row.rating, "", "", "");
        sheet.onToHit();
        EXPECT_EQ(recorder.take(), (Events{"Text2=" + row.roll}));
    }
}

TEST_F(SheetTest, BoxesChangeAloneWhenTheRollIsNotANumber) {
    for (const std::string roll : {"", "   ", "four", "1e999"}) {
        SCOPED_TRACE(roll);
        setRoll(roll);
        sheet.setBox(Box::Check2, true);
        sheet.setBox(Box::Check2, false);
        EXPECT_EQ(recorder.take(), (Events{"Check2 on", "Check2 off"}));
        EXPECT_EQ(sheet.text(Field::Text2), roll);
    }
}

TEST_F(SheetTest, ClearAlwaysFinishesWhateverTheRollHolds) {
    typeInputs("4", "12", "3", "5");
    sheet.setBox(Box::Check3, true);
    sheet.setBox(Box::Check6, true);
    setRoll("");
    sheet.onClear();
    EXPECT_EQ(recorder.take(),
              (Events{"Text1=", "Text4=", "Text5=", "Text7=", "Check3 off", "Check6 off"}));
}

TEST_F(SheetTest, RatingOutOfRangeEmptiesTheFieldAndSaysSo) {
    for (const std::string rating : {"11", "0", "-3", "10.5", "0.5"}) {
        SCOPED_TRACE(rating);
        setRoll("4");
        typeInputs(rating, "", "", "");
        sheet.onToHit();
        EXPECT_EQ(recorder.take(), (Events{"Text1=", "failed Text1 OutOfRange"}));
        EXPECT_EQ(sheet.text(Field::Text2), "4");
    }
}

TEST_F(SheetTest, ValueNotOnItsTableChangesNothingAndIsReported) {
    typeInputs("4", "12", "4", "4");
    setRoll("4");
    sheet.onHits();
    sheet.onWounds();
    sheet.onSaves();
    recorder.take();

    const ActionRow rows[] = {
        {Field::Text1, "5.5", &VolleySheet::onToHit, "failed Text1 NotOnTable"},
        {Field::Text2, "2.5", &VolleySheet::onHits, "failed Text2 NotOnTable"},
        {Field::Text5, "7", &VolleySheet::onWounds, "failed Text5 NotOnTable"},
        {Field::Text7, "7", &VolleySheet::onSaves, "failed Text7 NotOnTable"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.report);
        sheet.setText(row.input, row.text);
        recorder.take();
        (sheet.*row.action)();
        EXPECT_EQ(recorder.take(), (Events{row.report}));
        EXPECT_EQ(sheet.hits(), 6);
        EXPECT_EQ(sheet.wounds(), 3);
        EXPECT_EQ(sheet.saves(), 1.5);
    }
    // Casualties goes on with the numbers that were kept.
    sheet.onCasualties();
    EXPECT_EQ(sheet.text(Field::Text9), "1.5");
}

TEST_F(SheetTest, FailedReadStopsTheActionButKeepsWhatWasRead) {
    // Hits before To Hit: the shots were read and are kept, the roll is empty.
    typeInputs("", "12", "", "");
    sheet.onHits();
    EXPECT_EQ(recorder.take(), (Events{"failed Text2 Empty"}));
    EXPECT_EQ(sheet.shots(), 12);
    EXPECT_EQ(sheet.text(Field::Text3), "");

    const ActionRow rows[] = {
        {Field::Text1, "", &VolleySheet::onToHit, "failed Text1 Empty"},
        {Field::Text1, "four", &VolleySheet::onToHit, "failed Text1 NotANumber"},
        {Field::Text4, "4 shots", &VolleySheet::onHits, "failed Text4 NotANumber"},
        {Field::Text5, " ", &VolleySheet::onWounds, "failed Text5 Empty"},
        {Field::Text7, "1e309", &VolleySheet::onSaves, "failed Text7 TooLarge"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.report);
        sheet.setText(row.input, row.text);
        recorder.take();
        (sheet.*row.action)();
        EXPECT_EQ(recorder.take(), (Events{row.report}));
    }

    // The sheet goes on working after a failure.
    typeInputs("4", "12", "4", "4");
    sheet.onToHit();
    sheet.onHits();
    EXPECT_EQ(sheet.text(Field::Text3), "8.");
}

TEST_F(SheetTest, ResultFieldsSnapBackToTheirNumber) {
    // Before any result, typing into a result field shows the zero result.
    sheet.setText(Field::Text6, "x");
    EXPECT_EQ(recorder.take(), (Events{"Text6=x", "Text6=0."}));

    typeInputs("4", "10", "", "");
    setRoll("4");
    sheet.onHits();
    recorder.take();
    sheet.setText(Field::Text3, "5.5");
    EXPECT_EQ(recorder.take(), (Events{"Text3=5.5", "Text3=5."}));
    sheet.setText(Field::Text3, "");
    EXPECT_EQ(recorder.take(), (Events{"Text3=", "Text3=5."}));
    EXPECT_EQ(sheet.hits(), 5);
}

TEST_F(SheetTest, StepsBeforeAnyHitsWorkOnZero) {
    typeInputs("", "", "3", "4");
    sheet.onWounds();
    sheet.onSaves();
    sheet.onCasualties();
    EXPECT_EQ(recorder.take(),
              (Events{"Text6=0", "Text6=0.", "Text8=0", "Text8=0.", "Text9=0", "Text9=0."}));
}

TEST_F(SheetTest, WoundEndsAndSaveCarryOver) {
    typeInputs("", "12", "0", "7");
    setRoll("4");
    sheet.onHits();
    sheet.onWounds();
    EXPECT_EQ(sheet.wounds(), 0);
    EXPECT_EQ(sheet.text(Field::Text6), "0.");
    sheet.setText(Field::Text5, "1");
    sheet.onWounds();
    EXPECT_EQ(sheet.wounds(), 6);

    // A save that is not on the table keeps the earlier saves for Casualties.
    sheet.setText(Field::Text7, "2");
    sheet.onSaves();
    sheet.setText(Field::Text7, "7");
    sheet.onSaves();
    EXPECT_EQ(sheet.saves(), 5);
    sheet.onCasualties();
    EXPECT_EQ(sheet.text(Field::Text9), "1.");
}

TEST_F(SheetTest, ResultsThatOverflowAreReportedAndNotStored) {
    const std::string big = "1.7e308";
    // Huge negative hits and wounds against huge positive saves overflow the
    // subtraction of Casualties.
    typeInputs("", big, "1", "1");
    setRoll("1");
    sheet.onHits();
    sheet.onWounds();
    sheet.onSaves();
    sheet.setText(Field::Text4, "-" + big);
    sheet.onHits();
    sheet.onWounds();
    sheet.onCasualties();
    EXPECT_EQ(sheet.casualties(), 0);
    EXPECT_EQ(sheet.text(Field::Text9), "");
    EXPECT_EQ(recorder.events.back(), "failed Text9 ResultOverflow");
}

// "12 x 0.25" for twelve shots of chance 1/4, or why there are no odds.
std::string describe(const VolleySheet::ResultOdds& odds) {
    if (const auto* o = std::get_if<Odds>(&odds)) {
        char chance[32];
        std::snprintf(chance, sizeof chance, "%.12g", o->chance);
        return std::to_string(o->trials) + " x " + chance;
    }
    switch (std::get<NoOdds>(odds)) {
    case NoOdds::NotAResult:
        return "NotAResult";
    case NoOdds::NotYet:
        return "NotYet";
    case NoOdds::ShotsNotWhole:
        return "ShotsNotWhole";
    case NoOdds::MixedSteps:
        return "MixedSteps";
    }
    return "?";
}

// The worked example, Casualties included.
void workedExample(VolleySheet& s) {
    for (const auto& [field, text] : {std::pair{Field::Text1, "4"},
                                      {Field::Text4, "12"},
                                      {Field::Text5, "4"},
                                      {Field::Text7, "5"}}) {
        s.setText(field, text);
    }
    s.onToHit();
    s.setBox(Box::Check1, true);
    s.onHits();
    s.onWounds();
    s.onSaves();
    s.onCasualties();
}

// Every step from these shots, with a roll of 4, to-wound 4 and save 5.
void everyStep(VolleySheet& s, const char* shots) {
    s.setText(Field::Text2, "4");
    s.setText(Field::Text4, shots);
    s.setText(Field::Text5, "4");
    s.setText(Field::Text7, "5");
    s.onHits();
    s.onWounds();
    s.onSaves();
    s.onCasualties();
}

TEST(SheetOdds, FollowTheChainOfWholeShots) {
    using Steps = void (*)(VolleySheet&);
    const struct {
        const char* name;
        Steps steps;
        std::array<std::string, 4> odds;  // hits, wounds, saves, casualties
    } rows[] = {
        {"start", [](VolleySheet&) {}, {"NotYet", "NotYet", "NotYet", "NotYet"}},
        {"steps before any Hits",
         [](VolleySheet& s) {
             s.setText(Field::Text5, "4");
             s.setText(Field::Text7, "4");
             s.onWounds();
             s.onSaves();
             s.onCasualties();
         },
         {"NotYet", "NotYet", "NotYet", "NotYet"}},
        {"worked example, then Clear",
         [](VolleySheet& s) {
             workedExample(s);
             s.onClear();
         },
         {"12 x 0.5", "12 x 0.25", "12 x 0.0833333333333", "12 x 0.166666666667"}},
        {"no shots",
         [](VolleySheet& s) { everyStep(s, "0"); },
         {"0 x 0.5", "0 x 0.25", "0 x 0.0833333333333", "0 x 0.166666666667"}},
        {"most shots",
         [](VolleySheet& s) { everyStep(s, "1e5"); },
         {"100000 x 0.5", "100000 x 0.25", "100000 x 0.0833333333333", "100000 x 0.166666666667"}},
        {"too many shots",
         [](VolleySheet& s) { everyStep(s, "100001"); },
         {"ShotsNotWhole", "ShotsNotWhole", "ShotsNotWhole", "ShotsNotWhole"}},
        {"part of a shot",
         [](VolleySheet& s) { everyStep(s, "12.5"); },
         {"ShotsNotWhole", "ShotsNotWhole", "ShotsNotWhole", "ShotsNotWhole"}},
        {"negative shots",
         [](VolleySheet& s) { everyStep(s, "-1"); },
         {"ShotsNotWhole", "ShotsNotWhole", "ShotsNotWhole", "ShotsNotWhole"}},
        {"Saves, then Wounds again, then Casualties",
         [](VolleySheet& s) {
             workedExample(s);
             s.setText(Field::Text5, "2");
             s.onWounds();
             s.onCasualties();
         },
         {"12 x 0.5", "12 x 0.416666666667", "12 x 0.0833333333333", "MixedSteps"}},
        {"Casualties with no Saves",
         [](VolleySheet& s) {
             s.setText(Field::Text2, "4");
             s.setText(Field::Text4, "12");
             s.setText(Field::Text5, "1");
             s.onHits();
             s.onWounds();
             s.onCasualties();
         },
         {"12 x 0.5", "12 x 0.5", "NotYet", "MixedSteps"}},
        {"a failed Hits and an off-table Wounds keep their odds",
         [](VolleySheet& s) {
             workedExample(s);
             s.setText(Field::Text4, "20");
             s.setText(Field::Text2, "");
             s.onHits();
             s.setText(Field::Text5, "7");
             s.onWounds();
         },
         {"12 x 0.5", "12 x 0.25", "12 x 0.0833333333333", "12 x 0.166666666667"}},
        {"a new Hits leaves the later steps",
         [](VolleySheet& s) {
             workedExample(s);
             s.setText(Field::Text4, "6");
             s.onHits();
         },
         {"6 x 0.5", "12 x 0.25", "12 x 0.0833333333333", "12 x 0.166666666667"}},
        {"the open ends of the tables",
         [](VolleySheet& s) {
             s.setText(Field::Text2, "-3");
             s.setText(Field::Text4, "12");
             s.setText(Field::Text5, "1");
             s.setText(Field::Text7, "0");
             s.onHits();
             s.onWounds();
             s.onSaves();
             s.onCasualties();
         },
         {"12 x 1", "12 x 1", "12 x 1", "12 x 0"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Recorder quiet;
        VolleySheet fresh(quiet);
        row.steps(fresh);
        const double stored[] = {fresh.hits(), fresh.wounds(), fresh.saves(), fresh.casualties()};
        for (std::size_t i = 0; i < kResults.size(); ++i) {
            const auto odds = fresh.odds(kResults[i].field);
            EXPECT_EQ(describe(odds), row.odds[i]) << nameOf(kResults[i].field);
            // The stored average is the mean of the odds.
            if (const auto* o = std::get_if<Odds>(&odds)) {
                EXPECT_NEAR(o->trials * o->chance, stored[i], 1e-12 * stored[i]);
            }
        }
        EXPECT_EQ(describe(fresh.odds(Field::Text4)), "NotAResult");
    }
}

TEST(SheetState, RestoreGivesBackTheStateTakenAndSaysWhatDiffers) {
    using Steps = void (*)(VolleySheet&);
    const struct {
        const char* name;
        bool example;
        Steps steps;
    } rows[] = {
        {"the steps in order", false, workedExample},
        {"a tick", true, [](VolleySheet& s) { s.setBox(Box::Check3, true); }},
        {"a failed step", true,
         [](VolleySheet& s) {
             s.setText(Field::Text5, "7");
             s.onWounds();
         }},
        {"Clear", true, [](VolleySheet& s) { s.onClear(); }},
        {"typing into a result", true, [](VolleySheet& s) { s.setText(Field::Text3, "9"); }},
        {"Work Out All", true,
         [](VolleySheet& s) {
             s.setText(Field::Text1, "3");
             s.workOutAll();
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Recorder recorder;
        VolleySheet sheet(recorder);
        if (row.example) {
            workedExample(sheet);
        }
        const VolleySheet::State before = sheet.state();
        row.steps(sheet);
        const VolleySheet::State after = sheet.state();
        Events differ;
        for (const Field f : kAllFields) {
            if (before.texts[indexOf(f)] != after.texts[indexOf(f)]) {
                differ.push_back(nameOf(f) + "=" + before.texts[indexOf(f)]);
            }
        }
        for (const Box b : kAllBoxes) {
            if (before.boxes[indexOf(b)] != after.boxes[indexOf(b)]) {
                differ.push_back(nameOf(b) + (before.boxes[indexOf(b)] ? " on" : " off"));
            }
        }
        recorder.take();
        sheet.restore(before);
        EXPECT_EQ(recorder.take(), differ);
        EXPECT_TRUE(sheet.state() == before);
        // From the state given back, the same steps lead to the same state.
        row.steps(sheet);
        EXPECT_TRUE(sheet.state() == after);
    }
}

TEST(Differences, NameARatingForItsRollAndEachPartOnce) {
    const Volley example{"12", "4", "4", {true}, "4", "5"};
    const auto with = [&example](auto change) {
        Volley volley = example;
        change(volley);
        return volley;
    };
    using P = VolleyPart;
    const struct {
        Volley other;
        std::vector<VolleyPart> parts;
    } rows[] = {
        {example, {}},
        {with([](Volley& v) { v.armourSave = "6"; }), {P::ArmourSave}},
        // Another rating gives another roll: the rating is the difference.
        {with([](Volley& v) { v.rating = "3", v.roll = "5"; }), {P::Rating}},
        // A roll typed is named itself, even when it is the same number.
        {with([](Volley& v) { v.rating.reset(); }), {P::Roll}},
        {with([](Volley& v) { v.shots = "24", v.boxes[2] = true, v.toWound = "3"; }),
         {P::Shots, P::Boxes, P::ToWound}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Differences(example, row.other), row.parts);
    }
}

TEST(SheetSeparator, CommaReadsAndWritesComma) {
    Recorder recorder;
    VolleySheet sheet(recorder, ",");
    sheet.setText(Field::Text2, "4,0");
    sheet.setText(Field::Text4, "5");
    sheet.setText(Field::Text5, "4,5");
    sheet.onHits();
    EXPECT_EQ(sheet.text(Field::Text3), "2,5");
    sheet.onWounds();
    EXPECT_EQ(recorder.events.back(), "failed Text5 NotOnTable");
    sheet.setText(Field::Text5, "4.5");
    sheet.onWounds();
    EXPECT_EQ(recorder.events.back(), "failed Text5 NotANumber");
}

}  // namespace
}  // namespace tarvelin
