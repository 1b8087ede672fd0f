// CDialog: a dialog built from a template of the loaded modules' resources
// (CModuleResources::AddDialog), run modally with DoModal.
//
// Building: the template's font (DS_SETFONT; the installed family that
// CWindowSystem::ResolveFontFamily gives for its face) sets the dialog base
// units: x = the font's average character width, the width of
// "A".."Z""a".."z" divided by 52 (computed as (width / 26 + 1) / 2), and
// y = the font's height (ascent + descent), in pixels. A horizontal dialog
// unit is x / 4 pixels and a vertical one y / 8: a control at (x, y) of size
// (cx, cy) in dialog units is at MulDiv(x, bx, 4), MulDiv(y, by, 8) with
// size MulDiv(cx, bx, 4) x MulDiv(cy, by, 8) in the dialog's client area,
// whose size is the template's converted the same way. The dialog has the
// template's caption, a close box with WS_SYSMENU, a context-help button
// with DS_CONTEXTHELP, and a fixed size; Qt centres it over its parent.
//
// Running (DoModal):
//  1. the window and every control are made (hidden), one permanent CWnd
//     per control;
//  2. OnInitDialog runs; when it returns TRUE the first control in template
//     order that is visible, enabled and has WS_TABSTOP takes the focus (an
//     edit with its whole text selected);
//  3. the dialog is shown and activated, the prompt's OnModalStart runs;
//  4. the dialog waits for the user until EndDialog; DoModal then destroys
//     the window and returns EndDialog's result (-1 when the template is
//     missing, there is no display, or OnInitDialog threw).
//
// Keyboard: Enter presses the default button (the template's
// BS_DEFPUSHBUTTON, else IDOK) and leaves the focus where it is, whatever
// control has it (a multi-line edit with ES_WANTRETURN keeps Enter); when a
// push button has the focus, Enter and Space press that button. Escape and
// the close box send IDCANCEL (nothing happens while the Cancel button is
// disabled). Tab and Shift+Tab go through the WS_TABSTOP controls in template
// order; the others take the focus by a click only. Alt with a caption's
// mnemonic ("&x") clicks a push button (the focus stays), focuses and clicks
// a check box or radio button, and focuses the control after a static text
// or group box.
//
// Commands: IDOK reaches OnOK and IDCANCEL OnCancel through CDialog's message
// map, unless a derived map handles them first; other notifications go
// through the message maps and then to OnCommand (MessageMap.h).
#pragma once

#include "platform/MessageMap.h"
#include "platform/String.h"
#include "platform/Types.h"
#include "platform/Wnd.h"

#include <memory>
#include <vector>

class CDialogTemplate;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Runs the dialog modally (above) and returns EndDialog's result.
    virtual INT_PTR DoModal();
    // Ends the modal run with `nResult` once the current handler returns;
    // the window stays until DoModal destroys it. May be called from
    // OnInitDialog (the dialog is then never shown) or from the prompt's
    // OnModalStart.
    void EndDialog(int nResult);

    // The framework's initialisation: the first exchange towards the
    // controls (UpdateData(FALSE)). TRUE lets the dialog give the initial
    // focus (above); an override that sets the focus itself returns FALSE.
    virtual BOOL OnInitDialog();
    // The OK command: UpdateData(TRUE), then EndDialog(IDOK) when the
    // exchange succeeded; the dialog stays open otherwise.
    virtual void OnOK();
    // The cancel command (Cancel button, Escape, close box): EndDialog(IDCANCEL).
    virtual void OnCancel();

    // Builds the dialog without running it (modeless): steps 1 and 2 above,
    // then shows it. For tools and tests; DestroyWindow ends it. FALSE when
    // it cannot be built or already has a window.
    BOOL Create(CWnd* pParentWnd = nullptr);
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd);
    BOOL DestroyWindow() override;

    // Gives `control` the focus as the dialog manager does (an edit with its
    // whole text selected).
    void GotoDlgCtrl(CWnd* control);
    // Converts a rectangle from dialog units to pixels (each edge with MulDiv).
    void MapDialogRect(CRect* rect) const;
    // The dialog base units in pixels (0 before the window is built).
    int GetBaseUnitX() const { return m_nBaseUnitX; }
    int GetBaseUnitY() const { return m_nBaseUnitY; }
    // The font family the dialog is shown in.
    const CString& GetFontFamily() const { return m_strFontFamily; }
    UINT GetTemplateID() const { return m_nIDTemplate; }
    // The module whose resources hold the template. Null (the default):
    // every loaded module is searched, the most recently loaded first. A
    // library's own dialogs name the library, so that a module's template
    // with the same id never takes their place.
    void SetTemplateModule(HMODULE hModule) { m_hTemplateModule = hModule; }

    // The innermost dialog whose modal run is in progress, or null.
    static CDialog* GetModalDialog();

    DECLARE_MESSAGE_MAP()

protected:
    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    class CDialogWindow;
    friend HWND GetFocus();

    const CDialogTemplate* FindTemplate() const;
    BOOL Build(const CDialogTemplate& dialog, CWnd* parent);
    void Initialise();
    void OnChildNotify(int id, UINT code, HWND hCtrl);
    // Enter, Escape and the close box.
    void PressEnter();
    void PressCommand(int id);
    void ShowDefaultButton(CWnd* focusedButton);

    HMODULE m_hTemplateModule = nullptr;
    CDialogWindow* m_pWindow = nullptr;
    std::vector<std::unique_ptr<CWnd>> m_Controls;  // the controls' permanent CWnds
    int m_nDefID = 1;
    int m_nBaseUnitX = 0;
    int m_nBaseUnitY = 0;
    CString m_strFontFamily;
    INT_PTR m_nModalResult = -1;
    bool m_bEnded = false;
    bool m_bDestroying = false;
};
