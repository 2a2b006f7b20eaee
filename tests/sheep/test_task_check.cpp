// The task check's judgement of runner processes and of a world over its
// seeds: how a process ended becomes the run's facts, and the row text names
// the first failing seed or the steps beside the reference solution's.
#include "sheep/uTaskCheck.h"

#include <gtest/gtest.h>

namespace {

TEST(TaskCheck, HowARunnerEndedBecomesTheGoalsReason)
{
    const QByteArray finished = R"({"status":"beendet","score":5,"steps":3,"uncut":0,"sheep":{"x":0,"y":3}})";
    const QByteArray noMemory =
        R"({"status":"Laufzeitfehler","errorLine":4,"error":"Nicht genügend Arbeitsspeicher: das Programm wurde beendet."})";
    const struct
    {
        QByteArray output;
        bool killed, crashed;
        QString errors, reason;
    } cases[] = {
        {"Meldung\n" + finished + "\n", false, false, "", ""},
        {finished, true, false, "", "Zeitlimit überschritten"},
        {noMemory, false, false, "", "Speicherlimit überschritten"},
        {"", false, false, "grazlo-run: Nicht genügend Arbeitsspeicher.", "Speicherlimit überschritten"},
        {"", false, false, "Rasendatei fehlt: x.glw", "Rasendatei fehlt: x.glw"},
        {"{kaputt", false, true, "", "Der Lauf brach unerwartet ab."},
    };
    TTaskGoals goals;
    goals.AllMown = true;
    for (const auto &c : cases) {
        const TGoalVerdict verdict = CheckGoals(goals, FactsOfRunner(c.output, c.killed, c.crashed, c.errors));
        EXPECT_EQ(verdict.Reason, c.reason) << c.output.toStdString() << c.errors.toStdString();
    }
}

TEST(TaskCheck, WorldRowNamesTheFirstFailingSeedOrTheStepsBesideTheReference)
{
    TTaskGoals goals;
    goals.MaxSheepSteps = 5;
    const auto facts = [](int steps) {
        TRunFacts f;
        f.SheepSteps = steps;
        return f;
    };
    // Runs as (seed, steps, reference), in the order they end.
    const struct
    {
        quint32 seeds;
        bool reference;
        QList<std::tuple<quint32, int, bool>> runs;
        QString text;
        quint32 seedToShow;
    } cases[] = {
        {2, false, {}, "wird geprüft", 1},
        {3, false, {{3, 9, false}, {1, 2, false}}, "nicht geschafft mit Startwert 3: 9 Schritte statt höchstens 5", 3},
        {3, false, {{3, 9, false}, {2, 7, false}}, "nicht geschafft mit Startwert 2: 7 Schritte statt höchstens 5", 2},
        {1, false, {{1, 6, false}}, "nicht geschafft: 6 Schritte statt höchstens 5", 1},
        {2, true, {{1, 1, false}, {2, 4, false}, {1, 1, true}}, "geschafft", 1},
        {2,
         true,
         {{1, 1, false}, {2, 4, false}, {1, 1, true}, {2, 2, true}},
         "geschafft in 4 Schritten (Musterlösung: 2)",
         1},
        {1, true, {{1, 1, false}, {1, 1, true}}, "geschafft in 1 Schritt (Musterlösung: 1)", 1},
    };
    for (const auto &c : cases) {
        TWorldCheck world(c.seeds, c.reference);
        world.Begin();
        for (const auto &[seed, steps, reference] : c.runs)
            world.Note({0, seed, reference}, facts(steps), goals);
        EXPECT_EQ(world.StateText(), c.text);
        EXPECT_EQ(world.SeedToShow(), c.seedToShow) << c.text.toStdString();
    }
    EXPECT_EQ(TWorldCheck(1).StateText(), "noch nicht geprüft");

    // The next check needs no second run of the reference solution.
    TWorldCheck again(1, true);
    again.Note({0, 1, true}, facts(3), goals);
    again.Begin();
    EXPECT_FALSE(again.NeedsReference());
    again.Note({0, 1, false}, facts(4), goals);
    EXPECT_EQ(again.StateText(), "geschafft in 4 Schritten (Musterlösung: 3)");
}

} // namespace
