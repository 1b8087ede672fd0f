// The preview graph's set-up and rebuild, as the editor and `motionhost
// preview` both use them.
#include "pvt/PreviewGraph.h"

#include "kernel/CurveArray.h"
#include "kernel/GraphFilter.h"
#include "kernel/GraphWindow.h"
#include "platform/DWordArray.h"
#include "PvtTestUtil.h"

#include <gtest/gtest.h>

namespace {

struct PreviewGraphTest : ::testing::Test {
    pvt_test::Record r;
    CCurveArray curves;
    CGraphFilter filter{nullptr, nullptr, nullptr, nullptr};
    CGraphWindow graph{3, 0};
    CDWordArray pointToSample;

    void SetUp() override { CPreviewGraph::SetUp(curves, filter); }
    CPreviewGraph::SResult Rebuild() { return CPreviewGraph::Rebuild(curves, r.data, pointToSample, graph); }
    std::string Label(int i) { return pvt_test::Str(curves.GetAt(i)->m_strLabel); }
};

TEST_F(PreviewGraphTest, SetUpLinksThreeSeriesAndTwoCurves)
{
    ASSERT_EQ(3, curves.GetSize());
    ASSERT_EQ(2, filter.GetCurveCount());
    EXPECT_EQ(&curves, filter.m_pCurves);
    EXPECT_EQ(1, filter.GetCurve(0)->m_nYSeries);
    EXPECT_EQ(2, filter.GetCurve(1)->m_nYSeries);
    EXPECT_EQ(0, filter.GetCurve(0)->m_nXSeries);
    EXPECT_EQ(0, filter.GetCurve(1)->m_nXSeries);
    EXPECT_EQ(RGB16(16), filter.GetCurve(0)->m_crColor);
    EXPECT_EQ(RGB16(11), filter.GetCurve(1)->m_crColor);
    EXPECT_EQ(RGB16(27), filter.m_crBackground);
    EXPECT_EQ(RGB16(20), filter.m_crGrid);
}

TEST_F(PreviewGraphTest, LabelsFollowTheUnitsAndSeriesSpanTheMotion)
{
    r.Read("ATIME = 0, 5, 9\nTPOS = 0, 100, 50\nTSPD = 0, 30.5, 0\nExecute = 0\n");
    const auto result = Rebuild();
    EXPECT_EQ("Time[s]", Label(0));
    EXPECT_EQ("Position[rot]", Label(1));
    EXPECT_EQ("Velocity[rpm]", Label(2));
    EXPECT_EQ(CPreviewSampler::EXTENT_DRAWN, result.extent);
    EXPECT_EQ(10, result.samples);
    EXPECT_EQ(10, curves.GetAt(1)->GetSize());
    EXPECT_EQ(r.data.m_Time.GetValue(2), curves.GetAt(0)->GetAt(9));  // the point's own time, in s
    EXPECT_TRUE(graph.GetMessage().IsEmpty());

    ASSERT_TRUE(r.data.m_Time.SelectUnit("ms"));
    ASSERT_TRUE(r.data.m_Position.SelectUnit("IU"));
    Rebuild();
    EXPECT_EQ("Time[ms]", Label(0));
    EXPECT_EQ("Position[IU]", Label(1));
    EXPECT_EQ(50, curves.GetAt(1)->GetAt(9));
}

TEST_F(PreviewGraphTest, TooLongIsSaidAndStillDropsPointsThatDoNotAdvance)
{
    r.Read("ATIME = 0, 1\nTPOS = 0, 0\nTSPD = 0, 0\nExecute = 0\n");
    // A last time beyond the sample budget, and a point that does not advance.
    r.SetColumns({0, 3, 3.5, 60000000}, {0, 1, 2, 3}, {0, 0, 0, 0});
    const auto result = Rebuild();
    EXPECT_EQ(CPreviewSampler::EXTENT_TOO_LONG, result.extent);
    EXPECT_EQ(0, curves.GetAt(0)->GetSize());
    EXPECT_EQ(pvt_test::Str(CPreviewGraph::TooLongMessage(60000001)), pvt_test::Str(graph.GetMessage()));
    EXPECT_EQ((std::vector<double>{0, 3, 60000000}), r.data.m_Time.GetValuesInInternalUnit());

    // Back to a short table: the curves are drawn again.
    r.SetColumns({0, 3}, {0, 1}, {0, 0});
    Rebuild();
    EXPECT_TRUE(graph.GetMessage().IsEmpty());
    EXPECT_EQ(4, curves.GetAt(0)->GetSize());
}

}  // namespace
