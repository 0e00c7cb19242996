#include "leading_number.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <ostream>

using namespace Engine;

namespace {

struct NumberCase {
    const char* text;
    double value;
};

// Shown in test names: the text with its blanks and controls made visible.
void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << '"';
    for (const char* p = c.text; *p != '\0'; ++p) {
        if (*p == ' ')
            *os << "_";
        else if (*p == '\t' || *p == '\n' || *p == '\r')
            *os << "^" << int(*p);
        else
            *os << *p;
    }
    *os << '"';
}

class LeadingNumber : public ::testing::TestWithParam<NumberCase> {};

TEST_P(LeadingNumber, ReadsWhatTheBoxMeans) {
    EXPECT_EQ(ParseLeadingNumber(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LeadingNumber,
    ::testing::Values(NumberCase{"", 0}, NumberCase{"abc", 0}, NumberCase{"12abc", 12},
                      NumberCase{"-5", -5}, NumberCase{"2.5", 2.5}, NumberCase{"22,5", 22},
                      NumberCase{"22.5", 22.5}, NumberCase{"1e3", 1000}, NumberCase{"1.5D1", 15},
                      NumberCase{"1.5d1", 15}, NumberCase{"2E-1", 0.2}, NumberCase{"&H1F", 31},
                      NumberCase{"&h1f", 31}, NumberCase{"&O17", 15}, NumberCase{"&O19", 1},
                      NumberCase{"&HFFF", 4095}, NumberCase{"&H", 0}, NumberCase{"&X1", 0},
                      NumberCase{" 1 8", 18}, NumberCase{"\t3\n6", 36}, NumberCase{"+7", 7},
                      NumberCase{"--7", 0}, NumberCase{"-", 0}, NumberCase{".", 0},
                      NumberCase{".5", 0.5}, NumberCase{"5.", 5}, NumberCase{"1.2.3", 1.2},
                      NumberCase{"1e", 1}, NumberCase{"1e+", 1}, NumberCase{"1e+2x", 100},
                      NumberCase{"3e9", 3e9}, NumberCase{"9e99", 9e99}, NumberCase{"1 e 2", 100},
                      NumberCase{"\r5", 0}));

TEST(LeadingNumber, HugeExponentGivesInfinityNotFailure) {
    EXPECT_EQ(ParseLeadingNumber("9e999"), HUGE_VAL);
    EXPECT_EQ(ParseLeadingNumber("1e-999"), 0.0);
}

TEST(ToFrameCount, RoundsHalvesToEven) {
    EXPECT_EQ(ToFrameCount(2.5), 2);
    EXPECT_EQ(ToFrameCount(3.5), 4);
    EXPECT_EQ(ToFrameCount(-2.5), -2);
    EXPECT_EQ(ToFrameCount(27.5000001), 28);
}

TEST(ToFrameCount, ClampsBeyondThe32BitRange) {
    EXPECT_EQ(ToFrameCount(3e9), INT32_MAX);
    EXPECT_EQ(ToFrameCount(-3e9), INT32_MIN);
    EXPECT_EQ(ToFrameCount(HUGE_VAL), INT32_MAX);
}

TEST(ToFloat32, NearestFloatAndClampedBeyondRange) {
    EXPECT_EQ(ToFloat32(22.5), 22.5f);
    EXPECT_EQ(ToFloat32(0.1), 0.1f);
    EXPECT_EQ(ToFloat32(9e99), FLT_MAX);
    EXPECT_EQ(ToFloat32(-9e99), -FLT_MAX);
}

}  // namespace
