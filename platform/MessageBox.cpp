#include "platform/MessageBox.h"

#include "platform/Dialog.h"
#include "platform/Prompt.h"
#include "platform/WinApp.h"

int AfxMessageBox(const char* text, UINT type, UINT helpId)
{
    return CPrompt::Get().MessageBox(CDialog::GetModalDialog(), text ? text : "", AfxGetAppName(), type, helpId);
}
