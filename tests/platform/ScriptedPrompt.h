// CScriptedPrompt: a prompt for tests. It answers message boxes and file
// choices from scripts, records what was asked, and drives each dialog whose
// modal run starts with the next scripted action. Installed while it lives.
//
//   CScriptedPrompt prompt;
//   prompt.m_MessageAnswers = {IDOK};
//   prompt.OnNextModal([](CDialog* dlg) { ...keys and clicks...; });
//   dlg.DoModal();
//   EXPECT_EQ(1u, prompt.m_Messages.size());
//
// A modal run with no action left is recorded in m_nUnscriptedModals and
// cancelled, so a test never waits for a person.
#pragma once

#include "platform/Dialog.h"
#include "platform/MessageBox.h"
#include "platform/Prompt.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class CScriptedPrompt : public CPrompt {
public:
    struct CMessage {
        std::string text;
        std::string caption;
        UINT type;
        UINT helpId;
        CWnd* owner;
    };
    using ModalAction = std::function<void(CDialog*)>;

    CScriptedPrompt() : m_pPrevious(CPrompt::Install(this)) {}
    ~CScriptedPrompt() override { CPrompt::Install(m_pPrevious); }

    int MessageBox(CWnd* owner, const char* text, const char* caption, UINT type, UINT helpId) override
    {
        m_Messages.push_back({text ? text : "", caption ? caption : "", type, helpId, owner});
        if (m_MessageAnswers.empty())
            return IDOK;
        const int answer = m_MessageAnswers.front();
        m_MessageAnswers.pop_front();
        return answer;
    }

    BOOL ChooseFileToOpen(CWnd* owner, const CFileRequest& request, CString& path) override
    {
        m_FileRequests.push_back(request);
        m_FileOwners.push_back(owner);
        if (m_FileAnswers.empty() || !m_FileAnswers.front()) {
            if (!m_FileAnswers.empty())
                m_FileAnswers.pop_front();
            return FALSE;
        }
        path = m_FileAnswers.front()->c_str();
        m_FileAnswers.pop_front();
        return TRUE;
    }

    void OnModalStart(CDialog* dialog) override
    {
        m_ModalTemplates.push_back(dialog->GetTemplateID());
        if (m_ModalActions.empty()) {
            ++m_nUnscriptedModals;
            dialog->EndDialog(IDCANCEL);
            return;
        }
        ModalAction action = std::move(m_ModalActions.front());
        m_ModalActions.pop_front();
        action(dialog);
    }

    void OnNextModal(ModalAction action) { m_ModalActions.push_back(std::move(action)); }

    std::vector<CMessage> m_Messages;
    std::deque<int> m_MessageAnswers;  // empty: IDOK
    std::vector<CFileRequest> m_FileRequests;
    std::vector<CWnd*> m_FileOwners;  // the owner of each file choice
    std::deque<std::optional<std::string>> m_FileAnswers;  // nullopt or empty: cancelled
    std::deque<ModalAction> m_ModalActions;
    std::vector<UINT> m_ModalTemplates;  // every modal run, in order of start
    int m_nUnscriptedModals = 0;

private:
    CPrompt* m_pPrevious;
};
