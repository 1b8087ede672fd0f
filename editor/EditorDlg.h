// CEditorDlg: the modal editor "Motion - PVT" (dialog template 214) of one
// PVT motion. It reads the host's parameter text into its own record, lets
// the user edit the execution options and the point table, shows the
// trajectory in its preview graph, and on OK validates the table and writes
// the record back into the host's text. Cancel leaves the host's text as it
// was.
//
// Between two commands the three point columns of m_Data have the same
// number of values, at least 1; point 0 is the start point (0, 0, 0); and
// 0 <= m_nCrtPoint <= count - 1. Every command that changes the table or a
// unit ends with RebuildPreview, which ends with SyncSelection: the point
// fields then show the stored values of the selected point, and typed text
// that no command applied is gone.
//
// The operations are spread by concern: EditorDlg.cpp (construction, data
// exchange, OK, the message map), EditorDlgCommands.cpp (the point
// commands, units, events), EditorDlgImport.cpp (the text file import),
// EditorDlgPreview.cpp (the preview graph).
#pragma once

#include "kernel/CurveArray.h"
#include "kernel/EditMotionDlg.h"
#include "kernel/GraphFilter.h"
#include "kernel/GraphWindow.h"
#include "platform/DWordArray.h"
#include "platform/String.h"
#include "platform/Types.h"
#include "pvt/InternalData.h"

class CDK_ArrayParameter;
class CDK_Motion;
class CDK_Setup;

class CEditorDlg : public CDK_EditMotionDlg {
public:
    // The dialog's template and controls.
    enum : UINT { IDD = 214 };
    enum : int {
        IDC_HOST_ADDRESS_CHECK = 1507,
        IDC_HOST_ADDRESS = 1508,
        IDC_CLEAR_BUFFER = 1509,
        IDC_POSITION = 1010,
        IDC_POSITION_UNIT = 1018,
        IDC_VELOCITY = 1022,
        IDC_VELOCITY_UNIT = 1021,
        IDC_TIME = 1009,
        IDC_TIME_UNIT = 1017,
        IDC_PREVIOUS = 1013,
        IDC_NEXT = 1014,
        IDC_REMOVE = 1000,
        IDC_UPDATE = 1001,
        IDC_INSERT = 1002,
        IDC_IMMEDIATE = 1011,
        IDC_ON_EVENT = 1012,
        IDC_WAIT = 1023,
        IDC_CHANGE_EVENT = 1503,
        IDC_EDIT_EVENT = 1504,
        IDC_EVENT_DESCRIPTION = 1505,
        IDC_GRAPH = 1016,
        IDC_IMPORT = 1003,
        IDC_START_REFERENCE = 1019,
        IDC_START_MEASURED = 1020,
    };

    // Reads `params` into the record (its errors are not shown) and makes
    // the three columns equally long with the start point.
    CEditorDlg(CDK_Setup& setup, CDK_Motion& motion, CString& params, CWnd* pParent);
    ~CEditorDlg() override;

    CDK_EditMotionInternalData* GetInternalData() override;

    // Keeps the selection inside the table, marks it in the graph and loads
    // every control from the record.
    void SyncSelection();
    // Give a point field the keyboard focus with its whole text selected.
    void FocusPositionField();
    void FocusVelocityField();
    void FocusTimeField();

    // Read a point field with "%lf", clamped to its column's limits and
    // reduced to what the column's drive type holds. FALSE when the field
    // does not begin with a number or the number is not finite; the time
    // also when it is negative after clamping.
    BOOL ReadPositionField(double& value);
    BOOL ReadVelocityField(double& value);
    BOOL ReadTimeField(double& value);
    // Clamps a value in the column's display unit to the column's limits and
    // reduces it to what the column's drive data type holds.
    void ClampToParameter(CDK_ArrayParameter& param, double& value);
    // One line of an import file (commas already full stops): three
    // numbers, a time that is not negative, each value clamped.
    BOOL ParseImportLine(const char* text, double& position, double& velocity, double& time);

    // Recomputes the preview from the table, dropping the points that do
    // not advance in whole internal time units, redraws the graph and ends
    // with SyncSelection.
    void RebuildPreview();

    // The record and the selection, for the dialog's users (a host shows
    // what was edited; tests read them back).
    const CInternalData& GetData() const { return m_Data; }
    int GetCurrentPoint() const { return m_nCrtPoint; }
    const CGraphWindow& GetGraph() const { return m_Graph; }
    const CCurveArray& GetCurves() const { return m_Curves; }
    const CDWordArray& GetPointToSample() const { return m_PointToSample; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    // The handlers of the message map.
    void OnPreviousPoint();
    void OnNextPoint();
    void OnInsertPoint();
    void OnUpdatePoint();
    void OnRemovePoint();
    void OnImportFromFile();
    void OnPointFieldKillFocus();
    void OnPositionUnitChange();
    void OnVelocityUnitChange();
    void OnTimeUnitChange();
    void OnChangeEvent();
    void OnEditEvent();

    DECLARE_MESSAGE_MAP()

private:
    void FocusField(int id);
    BOOL ReadField(int id, CDK_ArrayParameter& param, double& value);

    CInternalData m_Data;
    int m_nCrtPoint;
    CGraphWindow m_Graph;
    CCurveArray m_Curves;
    CGraphFilter m_Filter;
    CDWordArray m_PointToSample;
};
