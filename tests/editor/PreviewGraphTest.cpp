// The preview graph's objects, as the editor and `motionhost preview` set
// them up, and a rebuild's result handed to them.
#include "editor/PreviewGraph.h"

#include "kernel/ColorRef16.h"
#include "kernel/CurveArray.h"
#include "kernel/GraphFilter.h"
#include "kernel/GraphWindow.h"
#include "kernel/XYCurve.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PreviewGraphTest : ::testing::Test {
    CCurveArray curves;
    CGraphFilter filter{nullptr, nullptr, nullptr, nullptr};

    void SetUp() override { CPreviewGraph::SetUp(curves, filter); }
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

TEST_F(PreviewGraphTest, ShowHandsLabelsSeriesAndMessageToTheGraph)
{
    CGraphWindow graph(3, 0);
    const CPreviewBuilder::SSeries series = CPreviewGraph::SeriesOf(curves);
    series.position.assign({1, 2, 3});  // the curve's own storage
    EXPECT_EQ(3, curves.GetAt(1)->GetSize());
    EXPECT_EQ(0, curves.GetAt(2)->GetSize());

    CPreviewBuilder::SResult result;
    result.timeLabel = "Time[ms]";
    result.positionLabel = "Position[IU]";
    result.velocityLabel = "Velocity[rpm]";
    result.message = CPreviewBuilder::TooLongMessage(60000001);
    CPreviewGraph::Show(result, curves, graph);
    EXPECT_EQ("Velocity[rpm]", std::string(curves.GetAt(2)->m_strLabel.View()));
    EXPECT_EQ("Time[ms]", std::string(curves.GetAt(0)->m_strLabel.View()));
    EXPECT_EQ(std::string(result.message.View()), std::string(graph.GetMessage().View()));
    CPreviewGraph::Show(CPreviewBuilder::SResult{}, curves, graph);
    EXPECT_TRUE(graph.GetMessage().IsEmpty());
}

}  // namespace
