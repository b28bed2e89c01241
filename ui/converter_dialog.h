// The program's main window: a modal dialog that owns the value, the options and a member for
// every control. Each user action changes the value, the width or the signedness and ends in
// RefreshFields; typed text changes nothing until its field is committed by CommitEdit.
#pragma once

#include "engine/number.h"
#include "platform/controls.h"
#include "platform/dialog.h"
#include "settings/settings.h"
#include "ui/color_swatch.h"

class CConverterDlg : public CDialog {
public:
    explicit CConverterDlg(CWnd* pParent = nullptr);
    ~CConverterDlg() override;

    // Writes the five renderings into the fields and the low 24 bits into the swatch.
    void RefreshFields();
    // Reads a field and, when the user changed it, parses it into the value; then refreshes.
    void CommitEdit(CEdit& edit);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnWndMsg(const platform::Message& m, LRESULT& result) override;

private:
    // Window commands (converter_commands.cpp)
    void OnContextMenu(HWND hWndClicked, POINT point);
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HICON OnQueryDragIcon();
    BOOL OnToolTipNotify(UINT id, NMHDR* pNMHDR, LRESULT* pResult);
    void OnEndSession(BOOL bEnding);
    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    void OnSettings();
    void AddSystemMenuItems();
    void ApplyStayOnTop();
    void CommitIfLeft();

    // Start and editing (converter_dialog.cpp)
    void OnTimer(UINT_PTR nIDEvent);
    void OnKillfocusText();
    void OnKillfocusDec();
    void OnKillfocusBin();
    void OnChar();
    void OnClear();
    void OnKillfocusHex();
    void OnKillfocusIP();
    void OnLong();
    void OnSigned();
    void OnWord();
    void OnSetfocusDec();
    void OnSetfocusBin();
    void OnSetfocusHex();
    void OnSetfocusIP();
    void OnSetfocusText();
    void OnUpdateIP();
    LRESULT OnColorPicked(WPARAM wParam, LPARAM lParam);

    // Stepping (converter_stepping.cpp)
    void OnDeltaposSpin(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, POINT pt);

    void SetWidth(int32_t nSize);
    void EnterField(CEdit& edit);
    CEdit* EditFromHandle(HWND hWnd);
    void LoadSettings();
    // Saves the options unless they are stored as they are already: at the end of the session,
    // and when the dialog goes.
    void SaveSettings(CWnd* reporter);

    static const platform::MessageMap<CConverterDlg> messageMap;

public:
    CColorSwatch m_wndColor;
    CSpinButtonCtrl m_spin;
    CButton m_btnSigned;
    CEdit m_editIP;
    CEdit m_editHex;
    CEdit m_editDec;
    CButton m_btnClear;
    CEdit m_editBin;
    CEdit m_editText;
    CButton m_btnLong;
    CButton m_btnWord;
    CButton m_btnChar;
    HICON m_hIcon;
    CNumber m_number;
    CString m_strWork;
    Settings m_settings;
    int16_t m_nWheelDelta;
    CEdit* m_pActiveEdit;
    bool m_bSettingsSaved;
    Settings m_savedSettings;  // as last saved
};
