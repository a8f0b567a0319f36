// The planned colours of a pass against the control's colours: only what changes is written.
#include "colouring/ColourPlan.h"

#include <gtest/gtest.h>

using platform::ColourRun;

namespace {

constexpr quint32 kBlack = 0;
constexpr quint32 kNavy = 0x800000;
constexpr quint32 kRed = 0xFF;

std::vector<ColourRun> writes(const ColourPlan& plan, const QList<ColourRun>& current) {
    return plan.writesAgainst(current);
}

}  // namespace

TEST(ColourPlan, LaterPaintsWinAndUnchangedCharactersAreNotWritten) {
    ColourPlan plan(10);
    plan.paint(0, 10, kBlack);
    plan.paint(0, 6, kNavy);
    plan.paint(3, 1, kRed);
    // Already: 0-2 navy, 3-9 black.
    const std::vector<ColourRun> expected{{3, 1, kRed}, {4, 2, kNavy}};
    EXPECT_EQ(writes(plan, {{0, 3, kNavy}, {3, 7, kBlack}}), expected);
}

TEST(ColourPlan, AWriteSpansFromTheFirstToTheLastDifferingCharacterOfARun) {
    ColourPlan plan(8);
    plan.paint(0, 8, kNavy);
    const std::vector<ColourRun> expected{{1, 6, kNavy}};
    EXPECT_EQ(writes(plan, {{0, 1, kNavy}, {1, 1, kBlack}, {2, 4, kNavy}, {6, 1, kRed}, {7, 1, kNavy}}),
              expected);
}

TEST(ColourPlan, UntouchedAndOutsideCharactersAreLeftAlone) {
    ColourPlan plan(6);
    plan.paint(-3, 5, kNavy);  // only 0-1 are inside
    plan.paint(5, 10, kRed);   // only 5
    plan.paint(3, 0, kRed);    // nothing
    // Characters the current runs leave out count as black.
    const std::vector<ColourRun> expected{{0, 2, kNavy}, {5, 1, kRed}};
    EXPECT_EQ(writes(plan, {{0, 1, kBlack}}), expected);
    EXPECT_TRUE(writes(ColourPlan(0), {}).empty());
}
