// CEditorDlg: construction, the data exchange, OK and the message map.
#include "editor/EditorDlg.h"

#include "editor/PreviewGraph.h"
#include "platform/DataExchange.h"
#include "platform/MessageBox.h"
#include "platform/Runtime.h"
#include "platform/WindowMessages.h"

#include <utility>

BEGIN_MESSAGE_MAP(CEditorDlg, CDK_EditMotionDlg)
ON_BN_CLICKED(IDC_PREVIOUS, OnPreviousPoint)
ON_BN_CLICKED(IDC_NEXT, OnNextPoint)
ON_BN_CLICKED(IDC_REMOVE, OnRemovePoint)
ON_BN_CLICKED(IDC_UPDATE, OnUpdatePoint)
ON_BN_CLICKED(IDC_INSERT, OnInsertPoint)
ON_BN_CLICKED(IDC_IMPORT, OnImportFromFile)
ON_EN_KILLFOCUS(IDC_POSITION, OnPointFieldKillFocus)
ON_EN_KILLFOCUS(IDC_VELOCITY, OnPointFieldKillFocus)
ON_EN_KILLFOCUS(IDC_TIME, OnPointFieldKillFocus)
ON_CBN_SELCHANGE(IDC_POSITION_UNIT, OnPositionUnitChange)
ON_CBN_SELCHANGE(IDC_VELOCITY_UNIT, OnVelocityUnitChange)
ON_CBN_SELCHANGE(IDC_TIME_UNIT, OnTimeUnitChange)
ON_BN_CLICKED(IDC_CHANGE_EVENT, OnChangeEvent)
ON_BN_CLICKED(IDC_EDIT_EVENT, OnEditEvent)
END_MESSAGE_MAP()

CEditorDlg::CEditorDlg(CDK_Setup& setup, CDK_Motion& motion, CString& params, CWnd* pParent)
    : CDK_EditMotionDlg(setup, motion, params, IDD, pParent),
      m_Data(setup, motion),
      m_nCrtPoint(0),
      m_Graph(3, 0),
      m_Filter(nullptr, nullptr, nullptr, nullptr)
{
    // Errors of the host's text are not shown: the dialog edits whatever was
    // read; OK validates again.
    CString errors;
    m_Data.ReadParameters(params, errors);
    m_nCrtPoint = 0;
    m_Graph.m_pPointToSample = &m_PointToSample;
    m_Data.NormalizePoints();
}

// The members go in the reverse order of their declaration: the
// point-to-sample table, the filter (with its XY curves), the series, the
// graph, the record; then the base.
CEditorDlg::~CEditorDlg() = default;

CDK_EditMotionInternalData* CEditorDlg::GetInternalData() { return &m_Data; }

void CEditorDlg::SyncSelection()
{
    const int n = m_Data.m_Time.GetValuesCount();
    if (m_nCrtPoint >= n)
        m_nCrtPoint = n - 1;
    else if (m_nCrtPoint < 0)
        m_nCrtPoint = 0;
    m_Graph.SelectPoint(0, m_nCrtPoint);
    UpdateData(FALSE);
}

void CEditorDlg::FocusField(int id)
{
    CWnd* field = GetDlgItem(id);
    if (!field)
        return;
    field->SetFocus();
    SendMessageA(field->GetSafeHwnd(), EM_SETSEL, 0, -1);
    SendMessageA(field->GetSafeHwnd(), EM_SCROLLCARET, 0, 0);
}

void CEditorDlg::FocusPositionField() { FocusField(IDC_POSITION); }

void CEditorDlg::FocusVelocityField() { FocusField(IDC_VELOCITY); }

void CEditorDlg::FocusTimeField() { FocusField(IDC_TIME); }

BOOL CEditorDlg::OnInitDialog()
{
    m_nCrtPoint = 0;
    CPreviewGraph::SetUp(m_Curves, m_Filter);
    CDK_EditMotionDlg::OnInitDialog();  // the first exchange towards the controls
    FocusPositionField();
    m_Graph.SubclassDlgItem(IDC_GRAPH, this, &m_Filter);
    RebuildPreview();
    // The dialog then gives the initial focus to its first tab stop, the
    // host address check box.
    return TRUE;
}

void CEditorDlg::DoDataExchange(CDataExchange* pDX)
{
    CInternalData& d = m_Data;
    if (!pDX->m_bSaveAndValidate) {
        SetChildCheck(IDC_HOST_ADDRESS_CHECK, d.m_bHostAddress ? TRUE : FALSE);
        EnableChild(IDC_HOST_ADDRESS, d.m_bHostAddress ? TRUE : FALSE);
        CString address;
        if (d.m_bHostAddress)
            address.Format("%d", d.m_nHostAddress);
        SetChildText(IDC_HOST_ADDRESS, address);
        SetChildCheck(IDC_CLEAR_BUFFER, d.m_nClearBuffer ? TRUE : FALSE);

        ShowParameter(d.m_Position, m_nCrtPoint, IDC_POSITION, IDC_POSITION_UNIT, 1, 1);
        ShowParameter(d.m_Velocity, m_nCrtPoint, IDC_VELOCITY, IDC_VELOCITY_UNIT, 1, 1);
        ShowParameter(d.m_Time, m_nCrtPoint, IDC_TIME, IDC_TIME_UNIT, 1, 1);

        const int n = d.m_Time.GetValuesCount();
        EnableChild(IDC_PREVIOUS, m_nCrtPoint > 0 ? TRUE : FALSE);
        EnableChild(IDC_NEXT, m_nCrtPoint < n - 1 ? TRUE : FALSE);
        EnableChild(IDC_REMOVE, m_nCrtPoint > 0 ? TRUE : FALSE);  // the start point stays
        EnableChild(IDC_UPDATE, TRUE);
        EnableChild(IDC_INSERT, TRUE);
        EnableChild(IDC_IMPORT, TRUE);

        SetChildCheck(IDC_START_REFERENCE, d.m_nStartPoint == 0 ? TRUE : FALSE);
        SetChildCheck(IDC_START_MEASURED, d.m_nStartPoint == 1 ? TRUE : FALSE);
        CheckRadioButton(IDC_IMMEDIATE, IDC_ON_EVENT, IDC_IMMEDIATE + d.m_nExecute);

        EnableChild(IDC_WAIT, d.m_nExecute == 0 ? TRUE : FALSE);
        SetChildCheck(IDC_WAIT, d.m_nExecute == 0 && d.m_nWaitForCompletion ? TRUE : FALSE);
        EnableChild(IDC_CHANGE_EVENT, d.m_nExecute == 1 ? TRUE : FALSE);
        EnableChild(IDC_EDIT_EVENT, d.m_nExecute == 1 && d.m_Event.IsEditable() ? TRUE : FALSE);
        SetChildText(IDC_EVENT_DESCRIPTION, d.m_nExecute == 1 ? d.m_Event.GetDescription(0) : CString());
        return;
    }

    // From the controls. The point fields and the unit boxes are not read
    // here: the table changes only through the point commands and the
    // import, the units through their boxes' handlers.
    if (IsChildEnabled(IDC_HOST_ADDRESS_CHECK))
        d.m_bHostAddress = GetChildCheck(IDC_HOST_ADDRESS_CHECK);
    if (IsChildEnabled(IDC_HOST_ADDRESS)) {
        pDX->PrepareEditCtrl(IDC_HOST_ADDRESS);
        int address = 0;
        if (sscanf_s(GetChildText(IDC_HOST_ADDRESS), "%d", &address) != 1)
            address = 0;  // not a number
        if (m_bValidating)
            DDV_MinMaxInt(pDX, address, 1, 255);
        d.m_nHostAddress = address;
    }
    d.m_nClearBuffer = GetChildCheck(IDC_CLEAR_BUFFER) ? 1 : 0;
    if (GetChildCheck(IDC_START_REFERENCE))
        d.m_nStartPoint = 0;
    else if (GetChildCheck(IDC_START_MEASURED))
        d.m_nStartPoint = 1;
    if (GetChildCheck(IDC_IMMEDIATE)) {
        d.m_nExecute = 0;
        d.m_nWaitForCompletion = IsChildEnabled(IDC_WAIT) ? (GetChildCheck(IDC_WAIT) ? 1 : 0) : 1;
    } else if (GetChildCheck(IDC_ON_EVENT)) {
        d.m_nExecute = 1;
    }
}

void CEditorDlg::OnOK()
{
    // Enter walks the point fields: position, velocity, time, then inserts.
    const CWnd* focus = CWnd::FromHandle(GetFocus());
    switch (focus ? focus->GetDlgCtrlID() : 0) {
    case IDC_POSITION:
        FocusVelocityField();
        return;
    case IDC_VELOCITY:
        FocusTimeField();
        return;
    case IDC_TIME:
        OnInsertPoint();
        return;
    default:
        break;
    }

    struct SValidating {
        BOOL& flag;
        explicit SValidating(BOOL& f) : flag(f) { flag = 1; }
        ~SValidating() { flag = 0; }
    } validating(m_bValidating);

    if (!UpdateData(TRUE))
        return;  // the host address is outside 1 ... 255: the user was told
    const CString message = m_Data.CheckPoints(m_nCrtPoint);
    if (message.IsEmpty()) {
        // The text is made first and handed over at once, so that the host's
        // text is either the old one or the whole new one.
        CString text;
        GetInternalData()->WriteParameters(text);
        EndDialog(IDOK);
        m_Params = std::move(text);
    } else {
        AfxMessageBox(message, MB_OK);
        RebuildPreview();  // its SyncSelection shows the failing point
    }
}
