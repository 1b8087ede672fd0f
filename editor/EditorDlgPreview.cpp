// CEditorDlg: the trajectory preview. The graph objects are set up by
// OnInitDialog (CPreviewGraph::SetUp, the same set-up `motionhost preview`
// draws with) and rebuilt from the table after every change of the table or
// of a unit.
#include "editor/EditorDlg.h"

#include "editor/PreviewGraph.h"
#include "pvt/PreviewBuilder.h"

void CEditorDlg::RebuildPreview()
{
    m_Graph.SelectPoint(0, -1);  // no point is marked while the series change
    // Labels, lengths, samples and the point-to-sample table; the points
    // that do not advance in whole internal time units leave the table.
    const CPreviewBuilder::SResult result =
        CPreviewBuilder::Rebuild(m_Data, CPreviewGraph::SeriesOf(m_Curves), m_PointToSample);
    CPreviewGraph::Show(result, m_Curves, m_Graph);
    m_Graph.Recalculate();
    m_Graph.RefreshWindow();
    SyncSelection();  // the table may have shrunk
}
