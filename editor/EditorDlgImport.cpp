// CEditorDlg: the import of a point table from a text file. The line rules
// live in CImportReader, which `motionhost import` uses as well.
#include "editor/EditorDlg.h"

#include "platform/Exception.h"
#include "platform/File.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "pvt/ImportReader.h"

#include <exception>

BOOL CEditorDlg::ParseImportLine(const char* text, double& position, double& velocity, double& time)
{
    const CImportReader reader(m_Data.m_Position, m_Data.m_Velocity, m_Data.m_Time);
    return reader.ParseLine(text ? text : "", position, velocity, time);
}

void CEditorDlg::OnImportFromFile()
{
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_HIDEREADONLY,
                    "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||", this);
    if (dlg.DoModal() != IDOK)
        return;  // nothing changes, nothing is refreshed
    try {
        // Others may read the file but not write it while it is read.
        CFile file(dlg.GetPathName(), CFile::modeRead | CFile::shareDenyWrite);
        // The table becomes the start point, then every point line is
        // appended (ParseImportLine's rules); a read error keeps the points
        // taken before it.
        CImportReader reader(m_Data.m_Position, m_Data.m_Velocity, m_Data.m_Time);
        reader.Import(file);
    } catch (CException* e) {
        e->ReportError(MB_OK, 0);
        e->Delete();
    } catch (const std::exception& e) {
        // Out of memory on a huge file: the columns are made equally long
        // again (a point may have reached one column and not the next).
        m_Data.NormalizePoints();
        AfxMessageBox(CString("The file could not be imported: ") + e.what(), MB_OK | MB_ICONEXCLAMATION);
    }
    m_nCrtPoint = 0;
    RebuildPreview();
}
