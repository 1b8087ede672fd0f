// CEditorDlg: the import of a point table from a text file. The line rules
// live in CImportReader, which `motionhost import` uses as well.
#include "editor/EditorDlg.h"

#include "pvt/ImportReader.h"

BOOL CEditorDlg::ParseImportLine(const char* text, double& position, double& velocity, double& time)
{
    const CImportReader reader(m_Data.m_Position, m_Data.m_Velocity, m_Data.m_Time);
    return reader.ParseLine(text ? text : "", position, velocity, time);
}
