// Point tables found by the preview fuzzer (fuzz/fuzz_preview.cpp): the
// kept points must strictly increase in whole time units, however far apart
// the times lie. A time far below the previous one once passed for a step
// forward, because the step was taken in 32 bits and wrapped.
#include "kernel/Motion.h"
#include "kernel/Setup.h"
#include "pvt/InternalData.h"
#include "pvt/PreviewSampler.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using Doubles = std::vector<double>;

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

struct SCase {
    const char* name;
    Doubles t, p, v;                    // the table, internal units
    Doubles keptT, keptP, keptV;        // the table after the preview
    int written;                        // samples written
};

const SCase kCases[] = {
    // -2147483648 after 10 was a step of 2147483638; 20 then seemed to go back.
    {"a time beyond the 32-bit range", {0, 10, 1e300, 20}, {0, 1, 2, 3}, {0, 0, 0, 0},
     {0, 10, 20}, {0, 1, 3}, {0, 0, 0}, 21},
    {"a time that is not a number after a large one", {0, 2147483640, kNaN, 5}, {0, 5, 7, 9}, {0, 1, 2, 0},
     {0, 2147483640}, {0, 5}, {0, 1}, 6},
    {"a negative time after a positive one", {0, 10, -2147483000, 20}, {0, 1, 2, 3}, {0, 0, 0, 0},
     {0, 10, 20}, {0, 1, 3}, {0, 0, 0}, 21},
    // The fuzzer's input as it read it: two points in all three columns.
    {"fuzzer input, columns of different lengths", {30, 1e300, 4, 10, 12, 1, 3}, {0, kInf, 1, 5, 20}, {0, -kInf},
     {30, 4, 10, 12, 1, 3}, {0, 1, 5, 20}, {0}, 1},
};

class PreviewSamplerRobustnessTest : public ::testing::TestWithParam<SCase> {};

TEST_P(PreviewSamplerRobustnessTest, KeptPointsAdvanceInWholeTimeUnits)
{
    const SCase& c = GetParam();
    CDK_Setup setup;
    CDK_Motion motion;
    CInternalData data(setup, motion);
    data.m_Time.Bind("ATIME", "ATIME");
    data.m_Position.Bind("TPOS", "TPOS");
    data.m_Velocity.Bind("TSPD", "TSPD");
    for (CDK_ArrayParameter* column : {&data.m_Time, &data.m_Position, &data.m_Velocity})
        ASSERT_TRUE(column->SelectUnit("IU"));
    data.m_Time.SetValuesInInternalUnit(c.t);
    data.m_Position.SetValuesInInternalUnit(c.p);
    data.m_Velocity.SetValuesInInternalUnit(c.v);

    const STrajectoryTable table = STrajectoryTable::FromColumns(data.m_Time, data.m_Position, data.m_Velocity);
    const int length = CPreviewSampler::GetSeriesLength(table);
    ASSERT_EQ(CPreviewSampler::GetExtent(length), CPreviewSampler::EXTENT_DRAWN);
    Doubles t(static_cast<std::size_t>(length)), p(t.size()), v(t.size());
    CPreviewSampler::SSamples out;
    out.time = t;
    out.position = p;
    out.velocity = v;
    CPreviewSampler::Sample(table, length, out);
    CPreviewSampler::RemovePoints(data.m_Time, data.m_Position, data.m_Velocity, out.dropped);
    EXPECT_EQ(out.written, c.written);
    EXPECT_EQ(data.m_Time.GetValuesInInternalUnit(), c.keptT);
    EXPECT_EQ(data.m_Position.GetValuesInInternalUnit(), c.keptP);
    EXPECT_EQ(data.m_Velocity.GetValuesInInternalUnit(), c.keptV);
    const std::size_t points = std::min({c.keptT.size(), c.keptP.size(), c.keptV.size()});
    for (std::size_t i = 1; i < points; ++i) {
        EXPECT_GT(CPreviewSampler::TimeOf(c.keptT[i]), CPreviewSampler::TimeOf(c.keptT[i - 1])) << i;
        // The sample of a kept point is its whole time minus point 0's.
        EXPECT_EQ(static_cast<std::int64_t>(out.pointToSample.at(i)),
                  static_cast<std::int64_t>(CPreviewSampler::TimeOf(c.keptT[i])) - CPreviewSampler::TimeOf(c.keptT[0]))
            << i;
    }
    // Sample 0 is point 0 itself.
    EXPECT_EQ(t[0], c.t[0]);
}

INSTANTIATE_TEST_SUITE_P(FuzzerFindings, PreviewSamplerRobustnessTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<SCase>& info) {
                             std::string name;
                             for (const char* p = info.param.name; *p; ++p)
                                 name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return name;
                         });

}  // namespace
