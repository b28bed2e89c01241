// CDialog: a modal dialog on a template number, run by the platform's own modal loop
// (DialogBoxParamA). Its window is subclassed as it is created, so the class's message map sees
// every message from WM_INITDIALOG on. Enter arrives as IDOK, Escape and Close as IDCANCEL.
// Also the dialog data exchange the Settings dialog uses.
#pragma once

#include "platform/window.h"

#include <type_traits>

class CDialog;
class CButton;
class CSpinButtonCtrl;

// One run of a dialog's DoDataExchange: loading the controls, or saving and validating them.
class CDataExchange {
public:
    CDataExchange(CDialog* dlg, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlg) {}

    BOOL m_bSaveAndValidate;
    CDialog* m_pDlgWnd;

    // The control an exchange works on; a refusal returns the focus to the last edit prepared.
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    // A refusal after its message: focus back to the field with its whole text selected.
    void Fail();
    bool Failed() const { return m_bFailed; }

private:
    HWND m_hWndLastControl = nullptr;
    bool m_bEditLastControl = false;
    bool m_bFailed = false;
};

// Binds a control object to the dialog's child with this identifier: its messages reach the
// object's map first.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);
// A plain button or up-down control handles none of its messages, so it is bound without routing
// them: under Wine every message to a routed window costs two trips to the server for the
// subclass's data, and the window's first paint sends many.
void DDX_ControlUnrouted(CDataExchange* pDX, int id, CWnd& control);
template <class Control>
    requires(std::is_same_v<Control, CButton> || std::is_same_v<Control, CSpinButtonCtrl>)
void DDX_Control(CDataExchange* pDX, int id, Control& control) {
    DDX_ControlUnrouted(pDX, id, control);
}
// An unsigned 32-bit number in an edit field: blanks and tabs, an optional plus, digits, blanks
// and tabs, nothing else. Anything else is refused with "Please enter a positive integer.".
// A number too large for 32 bits is taken as 0xFFFFFFFF, which the range check then refuses.
void DDX_Text(CDataExchange* pDX, int id, UINT& value);
// Refuses a number outside [min, max] with "Please enter an integer between min and max.".
void DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT min, UINT max);
// A check box; a flag outside 0 to 2 is shown unchecked and becomes 0.
void DDX_Check(CDataExchange* pDX, int id, int& value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

    // Runs the dialog modally; the result of EndDialog, or -1 when it could not be created.
    INT_PTR DoModal();
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }
    // Runs DoDataExchange; FALSE when saving refused a value.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    const UINT m_nIDTemplate;

protected:
    // Binds controls and moves data between members and controls.
    virtual void DoDataExchange(CDataExchange*) {}
    // When the window has been created and before it is shown: loads the controls.
    virtual BOOL OnInitDialog();
    // Enter or the OK button: saves and validates, then ends with IDOK.
    virtual void OnOK();
    // Escape, Cancel or the close box: ends with IDCANCEL.
    virtual void OnCancel();

    bool OnWndMsg(const platform::Message& m, LRESULT& result) override;

    // Where the window goes in the z-order as it is centred, before it shows (HWND_TOPMOST,
    // say); none leaves the order alone. One move does both: each costs Wine a trip to X.
    HWND m_hWndPlaceAfter = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);
    void CenterOnOwner();

    CWnd* m_pParentWnd;
};
