#include <gtest/gtest.h>

#include <set>

#include "pictures/transition.h"

namespace {

std::vector<PictureRect> CopiesOf(const std::vector<TransitionStep>& steps) {
    std::vector<PictureRect> copies;
    for (const TransitionStep& s : steps)
        if (s.kind == TransitionStep::Copy) copies.push_back(s.rect);
    return copies;
}

// The waits in order, and whether each effect waits before its copies or after them.
struct WaitShape {
    int count = 0, units = 0;
    bool first = false;  // the first step is a wait
};
WaitShape WaitsOf(const std::vector<TransitionStep>& steps) {
    WaitShape w;
    for (const TransitionStep& s : steps)
        if (s.kind == TransitionStep::Wait) w.count++, w.units = s.units;
    w.first = !steps.empty() && steps.front().kind == TransitionStep::Wait;
    return w;
}

}  // namespace

// The built-in picture's size, 155 x 113.
TEST(Transitions, EachEffectsCopiesAndWaitsOnTheBuiltInPictureSize) {
    struct Case {
        int effect, copies;
        PictureRect first, last;
        int waits, units;
        bool waitFirst;
    } cases[] = {
        {0, 1, {0, 0, 155, 113}, {0, 0, 155, 113}, 0, 0, false},
        {1, 155, {0, 0, 1, 113}, {154, 0, 155, 113}, 155, 60, true},
        {2, 155, {154, 0, 155, 113}, {0, 0, 1, 113}, 155, 60, true},
        {3, 113, {0, 0, 155, 1}, {0, 112, 155, 113}, 113, 60, true},
        {4, 113, {0, 112, 155, 113}, {0, 0, 155, 1}, 113, 60, true},
        // Strips 7 high, 21 passes; the even strips' first block lies past the right edge.
        {5, 357, {155, 0, 163, 7}, {-5, 112, 3, 119}, 357, 20, false},
        // Step 1 copies an empty rectangle; step 100 leaves the last column and row.
        {7, 100, {77, 56, 77, 56}, {0, 0, 154, 112}, 100, 40, false},
        {8, 40, {0, 0, 4, 113}, {151 - 76, 0, 155 - 76, 113}, 20, 200, false},
        {9, 42, {77, 0, 81, 113}, {154, 0, 158, 113}, 21, 200, false},
        {10, 30, {0, 0, 155, 4}, {0, 113 - 56 - 4, 155, 113 - 56}, 15, 200, false},
        {11, 30, {0, 56, 155, 60}, {0, 109, 155, 113}, 15, 200, false},
    };
    for (const Case& c : cases) {
        TransitionRandom random(1);
        auto steps = TransitionSteps(c.effect, 155, 113, random);
        auto copies = CopiesOf(steps);
        WaitShape waits = WaitsOf(steps);
        ASSERT_EQ(int(copies.size()), c.copies) << "effect " << c.effect;
        EXPECT_EQ(copies.front(), c.first) << "effect " << c.effect;
        EXPECT_EQ(copies.back(), c.last) << "effect " << c.effect;
        EXPECT_EQ(waits.count, c.waits) << "effect " << c.effect;
        if (c.waits) {
            EXPECT_EQ(waits.units, c.units) << "effect " << c.effect;
        }
        EXPECT_EQ(waits.first, c.waitFirst) << "effect " << c.effect;
    }
}

TEST(Transitions, NumbersOutsideTheDrawnEffectsDrawNothing) {
    TransitionRandom random(1);
    for (int effect : {-1, 12, 13, 1000}) EXPECT_TRUE(TransitionSteps(effect, 155, 113, random).empty());
}

// The settings file keeps an effect by its number: the dialog's list is in that order.
TEST(Transitions, TheDialogListsTheCaptionsInTheOrderOfTheEffectsNumbers) {
    EXPECT_EQ(TransitionCaptions(),
              "None|Slide Left|Slide Right|Slide Down|Slide Up|Fingers|Blocks|Expand|Close Curtains|"
              "Open Curtains|Blink|UnBlink|Random");
}

TEST(Transitions, OddWidthsAndLowPicturesLeaveTheirRestToTheFinalRepaint) {
    TransitionRandom random(1);
    // Expand on an odd width never reaches the last column.
    EXPECT_EQ(CopiesOf(TransitionSteps(7, 101, 60, random)).back(), (PictureRect{0, 0, 100, 60}));
    // Fingers on a picture under 16 pixels high copies strips of no height.
    for (const PictureRect& r : CopiesOf(TransitionSteps(5, 40, 15, random))) EXPECT_EQ(r.top, r.bottom);
    // Close Curtains stops at the last x not above W div 2, Blink at the last y not above H div 2 + 3.
    EXPECT_EQ(CopiesOf(TransitionSteps(8, 9, 9, random)).size(), 2u * 2);  // x = 0, 4
    EXPECT_EQ(CopiesOf(TransitionSteps(10, 9, 9, random)).size(), 2u * 2);  // y = 0, 4
}

TEST(Transitions, BlocksShowsEveryBlockOfItsGridExactlyOnce) {
    for (auto size : {std::pair<int, int>{155, 113}, {1024, 768}, {1, 9}, {37, 500}}) {
        TransitionRandom random(size.first * 7 + size.second);
        auto steps = TransitionSteps(6, size.first, size.second, random);
        auto copies = CopiesOf(steps);
        ASSERT_EQ(copies.size(), 1280u);
        EXPECT_EQ(WaitsOf(steps).count, 1280);
        const int cw = (size.first + 41) / 32, ch = (size.second + 31) / 40;
        std::set<std::pair<int, int>> blocks;
        for (const PictureRect& r : copies) {
            ASSERT_EQ(r.left % cw, 0);
            ASSERT_EQ(r.top % ch, 0);
            EXPECT_EQ(r.right - r.left, cw);
            EXPECT_EQ(r.bottom - r.top, ch);
            blocks.insert({r.left / cw, r.top / ch});
        }
        EXPECT_EQ(blocks.size(), 1280u);
        EXPECT_EQ(blocks.rbegin()->first, 31);
    }
}

TEST(Transitions, RandomNeverPicksNoneNorTheSameTwiceAndPicksThemAll) {
    TransitionRandom random(42);
    std::set<int> seen;
    int last = 0;
    for (int i = 0; i < 2000; i++) {
        int effect = ChooseRandomEffect(last, random);
        ASSERT_GE(effect, 1);
        ASSERT_LE(effect, 11);
        ASSERT_NE(effect, last);
        seen.insert(effect);
        last = effect;
    }
    EXPECT_EQ(seen.size(), 11u);
}

TEST(Transitions, ClippingKeepsOnlyThePartInsideThePicture) {
    EXPECT_EQ(ClipToPicture({-5, 112, 3, 119}, 155, 113), (PictureRect{0, 112, 3, 113}));
    PictureRect outside = ClipToPicture({155, 0, 163, 7}, 155, 113);
    EXPECT_LE(outside.right, outside.left);
}

// A clock that moves only when the pacer sleeps or reads it.
struct FakeClock {
    double time = 0, perRead = 0.00001, sleepOverrun = 0;
    int sleeps = 0, reads = 0;
    TransitionPacer Pacer() {
        return TransitionPacer([this] { return reads++, time += perRead; },
                               [this](int ms) { sleeps++, time += ms / 1000.0 + sleepOverrun; });
    }
};

TEST(TransitionPacer, SleepsLongWaitsAndSpinsOnlyTheirLastHalfMillisecond) {
    FakeClock clock;
    TransitionPacer pacer = clock.Pacer();
    pacer.Wait(0.050);
    EXPECT_GE(clock.time, 0.050);
    EXPECT_LT(clock.time, 0.0502);
    EXPECT_LE(clock.reads, 2 + clock.sleeps + 55);  // at most half a millisecond of reads
    EXPECT_GE(clock.sleeps, 1);

    FakeClock shortWaits;
    TransitionPacer spinner = shortWaits.Pacer();
    spinner.Wait(0.0004);
    EXPECT_EQ(shortWaits.sleeps, 0);
    EXPECT_GE(shortWaits.time, 0.0004);
}

TEST(TransitionPacer, OverrunSleepsAreTakenOffTheNextWaits) {
    FakeClock clock;
    clock.sleepOverrun = 0.0015;  // each sleep ends 1.5 ms late
    TransitionPacer pacer = clock.Pacer();
    for (int i = 0; i < 100; i++) pacer.Wait(0.004);
    EXPECT_NEAR(clock.time, 0.400, 0.004);
}
