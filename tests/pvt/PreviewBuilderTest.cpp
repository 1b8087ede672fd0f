// The preview's rebuild, as the editor and `motionhost preview` both run it.
#include "pvt/PreviewBuilder.h"

#include "platform/DWordArray.h"
#include "PvtTestUtil.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct PreviewBuilderTest : ::testing::Test {
    pvt_test::Record r;
    std::vector<double> time, position, velocity;
    CDWordArray pointToSample;

    CPreviewBuilder::SResult Rebuild()
    {
        return CPreviewBuilder::Rebuild(r.data, {time, position, velocity}, pointToSample);
    }
};

TEST_F(PreviewBuilderTest, LabelsFollowTheUnitsAndSeriesSpanTheMotion)
{
    r.Read("ATIME = 0, 5, 9\nTPOS = 0, 100, 50\nTSPD = 0, 30.5, 0\nExecute = 0\n");
    auto result = Rebuild();
    EXPECT_EQ("Time[s]", pvt_test::Str(result.timeLabel));
    EXPECT_EQ("Position[rot]", pvt_test::Str(result.positionLabel));
    EXPECT_EQ("Velocity[rpm]", pvt_test::Str(result.velocityLabel));
    EXPECT_EQ(CPreviewSampler::EXTENT_DRAWN, result.extent);
    EXPECT_EQ(10, result.samples);
    EXPECT_EQ(10u, position.size());
    EXPECT_EQ(r.data.m_Time.GetValue(2), time.at(9));  // the point's own time, in s
    EXPECT_TRUE(result.message.IsEmpty());

    ASSERT_TRUE(r.data.m_Time.SelectUnit("ms"));
    ASSERT_TRUE(r.data.m_Position.SelectUnit("IU"));
    result = Rebuild();
    EXPECT_EQ("Time[ms]", pvt_test::Str(result.timeLabel));
    EXPECT_EQ("Position[IU]", pvt_test::Str(result.positionLabel));
    EXPECT_EQ(50, position.at(9));
}

TEST_F(PreviewBuilderTest, TooLongIsSaidAndStillDropsPointsThatDoNotAdvance)
{
    r.Read("ATIME = 0, 1\nTPOS = 0, 0\nTSPD = 0, 0\nExecute = 0\n");
    // A last time beyond the sample budget, and a point that does not advance.
    r.SetColumns({0, 3, 3.5, 60000000}, {0, 1, 2, 3}, {0, 0, 0, 0});
    constexpr DWORD kStale = 0xDEADBEEF;
    pointToSample.SetSize(9);
    for (int i = 0; i < pointToSample.GetSize(); ++i)
        pointToSample.SetAt(i, kStale);
    const auto result = Rebuild();
    EXPECT_EQ(CPreviewSampler::EXTENT_TOO_LONG, result.extent);
    EXPECT_TRUE(time.empty());
    EXPECT_EQ(pvt_test::Str(CPreviewBuilder::TooLongMessage(60000001)), pvt_test::Str(result.message));
    EXPECT_EQ((std::vector<double>{0, 3, 60000000}), r.data.m_Time.GetValuesInInternalUnit());
    // One element per point the table had; beyond the points left, what it held.
    ASSERT_EQ(4, pointToSample.GetSize());
    EXPECT_EQ(60000000u, pointToSample.GetAt(2));
    EXPECT_EQ(kStale, pointToSample.GetAt(3));

    // Back to a short table: the curves are drawn again.
    r.SetColumns({0, 3}, {0, 1}, {0, 0});
    EXPECT_TRUE(Rebuild().message.IsEmpty());
    EXPECT_EQ(4u, time.size());
}

}  // namespace
