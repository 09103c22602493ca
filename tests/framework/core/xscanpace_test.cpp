#include "xscanpace.h"

#include <gtest/gtest.h>
#include <tuple>

namespace {

using ScanPace::KeyKind;
using ScanPace::Verdict;

// kind, characters pending, ms since the previous key (-1: none), ms the box is visible
using Case = std::tuple<const char*, KeyKind, bool, qint64, qint64, Verdict>;

class ScanPaceTest : public testing::TestWithParam<Case>
{};

TEST_P(ScanPaceTest, TellsAScannerFromAPerson)
{
    const auto& [name, kind, pending, quiet, visible, expected] = GetParam();
    EXPECT_EQ(ScanPace::Classify(kind, pending, quiet, visible), expected) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ScanPaceTest,
    testing::Values(
        Case{"scanner_digit", KeyKind::Character, false, 8, 50, Verdict::Collect},
        Case{"first_digit_after_a_pause", KeyKind::Character, false, 5000, 5000, Verdict::Collect},
        Case{"scanner_enter_ends_its_code", KeyKind::Enter, true, 9, 120, Verdict::CompleteCode},
        Case{"slow_typed_digits_end_as_a_code", KeyKind::Enter, true, 900, 3000,
             Verdict::CompleteCode},
        Case{"tab_suffix_ends_a_code", KeyKind::Navigation, true, 10, 700, Verdict::CompleteCode},
        Case{"enter_right_after_the_scan_enter", KeyKind::Enter, false, 12, 600, Verdict::Ignore},
        Case{"enter_within_reaction_time", KeyKind::Enter, false, 299, 2000, Verdict::Ignore},
        Case{"deliberate_enter", KeyKind::Enter, false, 300, 400, Verdict::Act},
        Case{"enter_before_the_box_was_seen", KeyKind::Enter, false, 5000, 399, Verdict::Ignore},
        Case{"enter_with_no_key_before", KeyKind::Enter, false, -1, 400, Verdict::Act},
        Case{"deliberate_escape", KeyKind::Answer, false, 800, 900, Verdict::Act},
        Case{"space_inside_a_code", KeyKind::Answer, true, 800, 900, Verdict::Ignore},
        Case{"space_at_scanner_pace", KeyKind::Answer, false, 15, 900, Verdict::Ignore},
        Case{"deliberate_tab", KeyKind::Navigation, false, 1000, 1000, Verdict::Act},
        Case{"modifier_key", KeyKind::Other, false, 1000, 1000, Verdict::Ignore}),
    [](const testing::TestParamInfo<Case>& info) { return std::get<0>(info.param); });

} // namespace
