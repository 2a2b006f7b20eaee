// Placement of a remembered window rectangle on synthetic monitor layouts.
#include "ide/uPlacement.h"

#include <QWidget>
#include <gtest/gtest.h>
#include <ostream>

// Readable failures.
void PrintTo(const TPlaceRect &r, std::ostream *os)
{
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {
const TPlaceRect FullHd{0, 0, 1920, 1080};
const TPlaceRect BottomBar{0, 1040, 1920, 1080};

TPlaceRect Fit(const TScreenLayout &layout, TPlaceRect rect)
{
    FitRectToLayout(layout, rect);
    return rect;
}
} // namespace

TEST(ShiftRectInto, MovesARectThatFitsAndRefusesOneThatDoesNot)
{
    const TPlaceRect area{100, 100, 500, 400};
    TPlaceRect rect{50, 350, 150, 450};
    EXPECT_TRUE(ShiftRectInto(area, rect));
    EXPECT_EQ(rect, (TPlaceRect{100, 300, 200, 400}));

    rect = {450, 20, 550, 70};
    EXPECT_TRUE(ShiftRectInto(area, rect));
    EXPECT_EQ(rect, (TPlaceRect{400, 100, 500, 150}));

    rect = {200, 200, 300, 300};
    EXPECT_TRUE(ShiftRectInto(area, rect));
    EXPECT_EQ(rect, (TPlaceRect{200, 200, 300, 300}));

    const TPlaceRect tooWide{0, 0, 401, 10};
    rect = tooWide;
    EXPECT_FALSE(ShiftRectInto(area, rect));
    EXPECT_EQ(rect, tooWide);
    const TPlaceRect tooHigh{0, 0, 10, 301};
    rect = tooHigh;
    EXPECT_FALSE(ShiftRectInto(area, rect));
    EXPECT_EQ(rect, tooHigh);
}

TEST(FitRectToLayout, KeepsARectThatLiesOnTheUsableArea)
{
    const TScreenLayout layout{{FullHd}, BottomBar};
    EXPECT_EQ(Fit(layout, {0, 0, 943, 640}), (TPlaceRect{0, 0, 943, 640}));
    // Edges may coincide with the task bar's top.
    EXPECT_EQ(Fit(layout, {10, 400, 910, 1040}), (TPlaceRect{10, 400, 910, 1040}));
}

TEST(FitRectToLayout, ShiftsARectOffTheTaskBarOnEverySide)
{
    const TPlaceRect rect{100, 500, 600, 1060};
    EXPECT_EQ(Fit({{FullHd}, BottomBar}, rect), (TPlaceRect{100, 480, 600, 1040}));

    const TPlaceRect topBar{0, 0, 1920, 30};
    EXPECT_EQ(Fit({{FullHd}, topBar}, {100, 10, 600, 300}), (TPlaceRect{100, 30, 600, 320}));

    const TPlaceRect leftBar{0, 0, 60, 1080};
    EXPECT_EQ(Fit({{FullHd}, leftBar}, {0, 0, 500, 500}), (TPlaceRect{60, 0, 560, 500}));

    const TPlaceRect rightBar{1860, 0, 1920, 1080};
    EXPECT_EQ(Fit({{FullHd}, rightBar}, {1500, 0, 1900, 500}), (TPlaceRect{1460, 0, 1860, 500}));
}

TEST(FitRectToLayout, ReducesOnlyTheMonitorTheTaskBarSpans)
{
    const TPlaceRect second{1920, 0, 3840, 1080};
    // The bar lies on the first monitor; a window at the bottom of the second stays.
    EXPECT_EQ(Fit({{FullHd, second}, BottomBar}, {2000, 700, 2600, 1080}), (TPlaceRect{2000, 700, 2600, 1080}));
    // A bar narrower than the monitor does not reduce it.
    const TPlaceRect shortBar{0, 1040, 1000, 1080};
    EXPECT_EQ(Fit({{FullHd}, shortBar}, {0, 700, 600, 1080}), (TPlaceRect{0, 700, 600, 1080}));
}

TEST(FitRectToLayout, MovesAWindowOfAVanishedMonitorOntoTheRemainingOne)
{
    const TScreenLayout layout{{FullHd}, BottomBar};
    EXPECT_EQ(Fit(layout, {2500, 100, 3300, 700}), (TPlaceRect{1120, 100, 1920, 700}));
    // Larger than the remaining monitor: top-left corner, clipped.
    EXPECT_EQ(Fit(layout, {2000, 100, 4100, 1300}), (TPlaceRect{0, 0, 1920, 1040}));
}

TEST(FitRectToLayout, AcceptsARectSpanningTwoMonitorsOfEqualHeight)
{
    const TPlaceRect second{1920, 0, 3840, 1080};
    EXPECT_EQ(Fit({{FullHd, second}, std::nullopt}, {1500, 100, 2500, 900}), (TPlaceRect{1500, 100, 2500, 900}));
}

TEST(FitRectToLayout, NarrowsTheAreaOfMonitorsOfDifferentHeight)
{
    // Two monitors side by side merge into the rows both cover.
    const TPlaceRect lower{1920, 0, 3200, 1024};
    EXPECT_EQ(Fit({{FullHd, lower}, std::nullopt}, {1800, 0, 2000, 1060}), (TPlaceRect{0, 0, 200, 1024}));
    // Shifted into the touched monitors before the overall area is tried.
    EXPECT_EQ(Fit({{FullHd, lower}, std::nullopt}, {1800, 100, 2000, 1050}), (TPlaceRect{1800, 74, 2000, 1024}));
}

TEST(FitRectToLayout, LeavesTheRectAloneWithoutMonitors)
{
    EXPECT_EQ(Fit({}, {5, 6, 700, 800}), (TPlaceRect{5, 6, 700, 800}));
}

TEST(SetFormPlacement, AppliesANormalRectangle)
{
    QWidget window;
    window.resize(300, 200);
    SetFormPlacement(&window, {40, 50, 540, 450}, TPlaceState::Normal, {{FullHd}, BottomBar});
    EXPECT_EQ(NormalRect(&window), (TPlaceRect{40, 50, 540, 450}));
    EXPECT_EQ(WindowPlaceState(&window), TPlaceState::Normal);
}

TEST(SetFormPlacement, MaximisesAndRestoresToTheStoredRectangle)
{
    QWidget window;
    window.show();
    SetFormPlacement(&window, {40, 300, 540, 1300}, TPlaceState::Maximized, {{FullHd}, BottomBar});
    EXPECT_EQ(WindowPlaceState(&window), TPlaceState::Maximized);
    const TPlaceRect fitted{40, 40, 540, 1040};
    EXPECT_EQ(NormalRect(&window), fitted);
    window.showNormal();
    EXPECT_EQ(NormalRect(&window), fitted);
}
