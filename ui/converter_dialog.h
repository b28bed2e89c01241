// The program's main window: a modal dialog with a member for every control, which hands each
// user action to the converter's rules (m_converter, owner of the value and the options) and
// shows their results through CConverterView. Typed text changes nothing until its field is
// left or Enter is pressed in it.
#pragma once

#include "converter/converter.h"
#include "engine/number.h"
#include "platform/controls.h"
#include "platform/dialog.h"
#include "res/resource.h"
#include "settings/settings.h"
#include "ui/color_swatch.h"

class CConverterDlg : public CDialog, private CConverterView {
public:
    explicit CConverterDlg(CWnd* pParent = nullptr);
    ~CConverterDlg() override;

    // What the tests read and preset: the rules with the value and options they own, the swatch.
    CConverter& Converter() { return m_converter; }
    const CColorSwatch& Swatch() const { return m_wndColor; }

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
    void OnAbout();
    // A separator, Settings... and About...: the caption's menu, and the context menu under Wine.
    void AppendWindowCommands(HMENU menu);
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

    CEdit& Edit(Field field) { return m_edits[IndexOf(field)]; }
    // The field whose edit has the handle, if any.
    std::optional<Field> FieldOf(HWND hWnd) const;
    // The edit of the field that last received the focus; none before any.
    CEdit* ActiveEdit();

    // The converter's view of the window (converter_dialog.cpp)
    const char* ReadField(Field field) override;
    bool IsFieldModified(Field field) override;
    void WriteField(Field field, const char* text) override;
    void ShowColor(uint32_t rgb) override;
    void ShowMode(int32_t nSize, int32_t bSigned, int32_t bClear) override;
    void EnableIPAndColor(bool enable) override;
    void Refuse() override;

    // Saves the options unless they are stored as they are already: at the end of the session,
    // and when the dialog goes.
    void SaveSettings(CWnd* reporter);

    static const platform::MessageMap<CConverterDlg> messageMap;

    // The five edits in field order, and their control identifiers.
    static constexpr int kFieldIds[kFieldCount] = {IDC_DEC, IDC_HEX, IDC_TEXT, IDC_IP, IDC_BIN};
    CEdit m_edits[kFieldCount];
    CColorSwatch m_wndColor;
    CSpinButtonCtrl m_spin;
    CButton m_btnSigned;
    CButton m_btnClear;
    CButton m_btnLong;
    CButton m_btnWord;
    CButton m_btnChar;
    HICON m_hIcon;
    CString m_strWork;
    bool m_bSettingsSaved;
    bool m_bTextCp1252;  // Text is a Unicode field holding Windows-1252 characters
    Settings m_savedSettings;  // as last saved
    CConverter m_converter;
};
