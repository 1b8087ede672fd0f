// CEditorDlg: the point commands (step, insert, update, remove), the field
// readers, the unit changes and the event buttons.
#include "editor/EditorDlg.h"

#include "platform/MessageBox.h"
#include "pvt/PointInput.h"

BOOL CEditorDlg::ReadField(int id, CDK_ArrayParameter& param, double& value)
{
    return CPointInput::ReadField(param, GetChildText(id), value);
}

BOOL CEditorDlg::ReadPositionField(double& value) { return ReadField(IDC_POSITION, m_Data.m_Position, value); }

BOOL CEditorDlg::ReadVelocityField(double& value) { return ReadField(IDC_VELOCITY, m_Data.m_Velocity, value); }

BOOL CEditorDlg::ReadTimeField(double& value)
{
    return CPointInput::ReadTimeField(m_Data.m_Time, GetChildText(IDC_TIME), value);
}

void CEditorDlg::ClampToParameter(CDK_ArrayParameter& param, double& value)
{
    CPointInput::ClampToParameter(param, value);
}

void CEditorDlg::OnPreviousPoint()
{
    --m_nCrtPoint;
    SyncSelection();
    FocusTimeField();
}

void CEditorDlg::OnNextPoint()
{
    ++m_nCrtPoint;
    SyncSelection();
    FocusTimeField();
}

void CEditorDlg::OnInsertPoint()
{
    double position = 0, velocity = 0, time = 0;
    if (ReadPositionField(position) && ReadVelocityField(velocity) && ReadTimeField(time)) {
        if (time == 0) {
            m_nCrtPoint = 0;  // the start point is never changed
        } else {
            // The first point at or after the new time keeps the table sorted.
            const int n = m_Data.m_Time.GetValuesCount();
            int i = 0;
            while (i < n && !(m_Data.m_Time.GetValue(i) >= time))
                ++i;
            if (i < n && m_Data.m_Time.GetValue(i) == time) {
                m_Data.m_Position.SetValue(i, position);
                m_Data.m_Velocity.SetValue(i, velocity);
            } else {
                m_Data.m_Time.InsertValueAt(i, time);
                m_Data.m_Position.InsertValueAt(i, position);
                m_Data.m_Velocity.InsertValueAt(i, velocity);
            }
            m_nCrtPoint = i;
        }
    }
    RebuildPreview();
    FocusPositionField();
}

void CEditorDlg::OnUpdatePoint()
{
    double position = 0, velocity = 0, time = 0;
    if (ReadPositionField(position) && ReadVelocityField(velocity) && ReadTimeField(time) && m_nCrtPoint > 0) {
        const int n = m_Data.m_Time.GetValuesCount();
        const int c = m_nCrtPoint;
        if (c < n) {
            if (time > m_Data.m_Time.GetValue(c - 1) && (c == n - 1 || time < m_Data.m_Time.GetValue(c + 1))) {
                m_Data.m_Time.SetValue(c, time);
                m_Data.m_Position.SetValue(c, position);
                m_Data.m_Velocity.SetValue(c, velocity);
            } else {
                AfxMessageBox("Incorrect time value!", MB_OK);
            }
        }
    }
    RebuildPreview();
    FocusPositionField();
}

void CEditorDlg::OnRemovePoint()
{
    if (m_nCrtPoint <= 0 || m_nCrtPoint >= m_Data.m_Time.GetValuesCount())
        return;
    m_Data.m_Time.RemoveValueAt(m_nCrtPoint, 1);
    m_Data.m_Position.RemoveValueAt(m_nCrtPoint, 1);
    m_Data.m_Velocity.RemoveValueAt(m_nCrtPoint, 1);
    RebuildPreview();
    FocusPositionField();
}

// A point field's text is applied only by Insert, Update and the Enter
// chain, never when the field loses the focus.
void CEditorDlg::OnPointFieldKillFocus() {}

void CEditorDlg::OnPositionUnitChange()
{
    ChangeParameterUnit(m_Data.m_Position, m_nCrtPoint, IDC_POSITION, IDC_POSITION_UNIT);
    RebuildPreview();
}

void CEditorDlg::OnVelocityUnitChange()
{
    ChangeParameterUnit(m_Data.m_Velocity, m_nCrtPoint, IDC_VELOCITY, IDC_VELOCITY_UNIT);
    RebuildPreview();
}

void CEditorDlg::OnTimeUnitChange()
{
    ChangeParameterUnit(m_Data.m_Time, m_nCrtPoint, IDC_TIME, IDC_TIME_UNIT);
    RebuildPreview();
}

// The event buttons. The options are taken into the record first (without
// the host address's range check), so that the refresh after the event's
// dialog shows the user's choices; the refresh keeps what the user typed
// into the point fields and has not applied yet.
void CEditorDlg::OnEditEvent()
{
    UpdateData(TRUE);
    if (m_Data.m_Event.Edit())
        LoadControlsKeepingTypedText();
}

void CEditorDlg::OnChangeEvent()
{
    UpdateData(TRUE);
    if (m_Data.m_Event.ChangeType(0))
        LoadControlsKeepingTypedText();
}
