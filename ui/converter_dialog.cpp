#include "ui/converter_dialog.h"

#include "platform/services.h"
#include "res/resource.h"
#include "settings/settings_store.h"

#include <cstring>

using namespace platform;

// The comma rewrite of the IP field: shared by the whole program, kept between notifications.
static int32_t s_bRewriteArmed = 1;  // 0: the next EN_UPDATE is the echo of our own rewrite
static int32_t s_nSelStart = 0;
static int32_t s_nSelEnd = 0;

const MessageMap<CConverterDlg> CConverterDlg::messageMap = {
    onContextMenu(&CConverterDlg::OnContextMenu),
    onSysCommand(&CConverterDlg::OnSysCommand),
    onPaint(&CConverterDlg::OnPaint),
    onQueryDragIcon(&CConverterDlg::OnQueryDragIcon),
    onCommand(IDC_TEXT, EN_KILLFOCUS, &CConverterDlg::OnKillfocusText),
    onCommand(IDC_DEC, EN_KILLFOCUS, &CConverterDlg::OnKillfocusDec),
    onCommand(IDC_BIN, EN_KILLFOCUS, &CConverterDlg::OnKillfocusBin),
    onCommand(IDC_CHAR, BN_CLICKED, &CConverterDlg::OnChar),
    onCommand(IDC_CLEAR, BN_CLICKED, &CConverterDlg::OnClear),
    onCommand(IDC_HEX, EN_KILLFOCUS, &CConverterDlg::OnKillfocusHex),
    onCommand(IDC_IP, EN_KILLFOCUS, &CConverterDlg::OnKillfocusIP),
    onCommand(IDC_LONG, BN_CLICKED, &CConverterDlg::OnLong),
    onCommand(IDC_SIGNED, BN_CLICKED, &CConverterDlg::OnSigned),
    onCommand(IDC_WORD, BN_CLICKED, &CConverterDlg::OnWord),
    onCommand(IDC_DEC, EN_SETFOCUS, &CConverterDlg::OnSetfocusDec),
    onCommand(IDC_BIN, EN_SETFOCUS, &CConverterDlg::OnSetfocusBin),
    onCommand(IDC_HEX, EN_SETFOCUS, &CConverterDlg::OnSetfocusHex),
    onCommand(IDC_IP, EN_SETFOCUS, &CConverterDlg::OnSetfocusIP),
    onCommand(IDC_TEXT, EN_SETFOCUS, &CConverterDlg::OnSetfocusText),
    onCommand(IDC_IP, EN_UPDATE, &CConverterDlg::OnUpdateIP),
    onNotify(IDC_SPIN, UDN_DELTAPOS, &CConverterDlg::OnDeltaposSpin),
    onMessage(WM_COLORPICKED, &CConverterDlg::OnColorPicked),
    onMouseWheel(&CConverterDlg::OnMouseWheel),
    onNotifyEx(0, TTN_NEEDTEXTA, &CConverterDlg::OnToolTipNotify),
    onNotifyEx(0, TTN_NEEDTEXTW, &CConverterDlg::OnToolTipNotify),
    onCommand(ID_EDIT_CUT, 0, &CConverterDlg::OnEditCut),
    onCommand(ID_EDIT_COPY, 0, &CConverterDlg::OnEditCopy),
    onCommand(ID_EDIT_PASTE, 0, &CConverterDlg::OnEditPaste),
    onEndSession(&CConverterDlg::OnEndSession),
    onTimer(&CConverterDlg::OnTimer),
};

namespace {
// What can wait until the window has been shown and painted: a timer's message comes only once
// nothing else is waiting, paints included.
constexpr UINT_PTR kAfterFirstPaintTimer = 1;
}  // namespace

CConverterDlg::CConverterDlg(CWnd* pParent)
    : CDialog(IDD_CONVERTER, pParent),
      m_hIcon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_number(0),
      m_settings(kDefaultSettings),  // so a dialog whose window never opened saves nothing
      m_nWheelDelta(0),
      m_pActiveEdit(nullptr),
      m_bSettingsSaved(false),
      m_savedSettings{},
      m_converter(*this, m_number, m_settings, m_nWheelDelta) {}

CConverterDlg::~CConverterDlg() {
    // The window is gone by now: a failure box has no owner.
    SaveSettings(this);
}

bool CConverterDlg::OnWndMsg(const Message& m, LRESULT& result) {
    return messageMap.Dispatch(*this, m, result) || CDialog::OnWndMsg(m, result);
}

void CConverterDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_COLOR, m_wndColor);
    DDX_Control(pDX, IDC_SPIN, m_spin);
    DDX_Control(pDX, IDC_SIGNED, m_btnSigned);
    DDX_Control(pDX, IDC_IP, m_editIP);
    DDX_Control(pDX, IDC_HEX, m_editHex);
    DDX_Control(pDX, IDC_DEC, m_editDec);
    DDX_Control(pDX, IDC_CLEAR, m_btnClear);
    DDX_Control(pDX, IDC_BIN, m_editBin);
    DDX_Control(pDX, IDC_TEXT, m_editText);
    DDX_Control(pDX, IDC_LONG, m_btnLong);
    DDX_Control(pDX, IDC_WORD, m_btnWord);
    DDX_Control(pDX, IDC_CHAR, m_btnChar);
}

BOOL CConverterDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AddSystemMenuItems();
    SetIcon(m_hIcon, TRUE);

    m_settings = kDefaultSettings;
    LoadSettings();

    m_number.SetSigned(m_settings.bSigned);
    m_number.SetSize(m_settings.nSize);
    m_btnSigned.SetCheck(m_settings.bSigned);
    m_btnClear.SetCheck(m_settings.bClear);
    EnableLongOnly(m_settings.nSize == 4);
    switch (m_settings.nSize) {
    case 1: m_btnChar.SetCheck(BST_CHECKED); break;
    case 2: m_btnWord.SetCheck(BST_CHECKED); break;
    case 4: m_btnLong.SetCheck(BST_CHECKED); break;
    default: break;  // a stored width we do not know checks no button
    }
    // The up-down control's position means nothing: it sits at 0 and moves one notch a report.
    m_spin.SetPos(0);
    m_spin.SetRange(-1, 1);
    UDACCEL accel{1, 1};
    m_spin.SetAccel(1, &accel);
    m_nWheelDelta = 0;
    // Never made non-topmost at start; made topmost as the window is centred, not activated:
    // the dialog manager activates it as it shows it.
    if (m_settings.bStayOnTop) m_hWndPlaceAfter = HWND_TOPMOST;
    // Tooltips are not seen before the pointer has rested on a control: they are set up once
    // the window is up (OnTimer), or now if no timer can be had.
    if (!SetTimer(m_hWnd, kAfterFirstPaintTimer, USER_TIMER_MINIMUM, nullptr)) EnableToolTips(m_settings.bToolTips);
    return TRUE;  // the focus goes to the first tab stop, Dec
}

void CConverterDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kAfterFirstPaintTimer) {
        Default();
        return;
    }
    KillTimer(m_hWnd, nIDEvent);
    EnableToolTips(m_settings.bToolTips);
}

void CConverterDlg::LoadSettings() { ::LoadSettings(m_settings); }

void CConverterDlg::SaveSettings(CWnd* reporter) {
    if (m_bSettingsSaved && std::memcmp(&m_savedSettings, &m_settings, sizeof m_settings) == 0) return;
    m_bSettingsSaved = true;
    m_savedSettings = m_settings;
    ::SaveSettings(m_settings, reporter);
}

void CConverterDlg::RefreshFields() { m_converter.Refresh(); }

void CConverterDlg::CommitEdit(CEdit& edit) {
    if (std::optional<Field> field = FieldOf(edit)) m_converter.Commit(*field);
}

void CConverterDlg::OnKillfocusText() { CommitEdit(m_editText); }
void CConverterDlg::OnKillfocusDec() { CommitEdit(m_editDec); }
void CConverterDlg::OnKillfocusBin() { CommitEdit(m_editBin); }
void CConverterDlg::OnKillfocusHex() { CommitEdit(m_editHex); }
void CConverterDlg::OnKillfocusIP() { CommitEdit(m_editIP); }

void CConverterDlg::EnterField(CEdit& edit) {
    if (std::optional<Field> field = FieldOf(edit)) m_converter.Enter(*field);
    m_pActiveEdit = &edit;
}

void CConverterDlg::OnSetfocusDec() { EnterField(m_editDec); }
void CConverterDlg::OnSetfocusBin() { EnterField(m_editBin); }
void CConverterDlg::OnSetfocusHex() { EnterField(m_editHex); }
void CConverterDlg::OnSetfocusIP() { EnterField(m_editIP); }
void CConverterDlg::OnSetfocusText() { EnterField(m_editText); }

void CConverterDlg::OnLong() { m_converter.SetWidth(4); }
void CConverterDlg::OnWord() { m_converter.SetWidth(2); }
void CConverterDlg::OnChar() { m_converter.SetWidth(1); }
void CConverterDlg::OnSigned() { m_converter.SetSigned(m_btnSigned.GetCheck()); }
void CConverterDlg::OnClear() { m_converter.SetClear(m_btnClear.GetCheck()); }

CEdit* CConverterDlg::EditFromHandle(HWND hWnd) {
    for (CEdit* edit : {&m_editDec, &m_editHex, &m_editText, &m_editIP, &m_editBin})
        if (hWnd && edit->m_hWnd == hWnd) return edit;
    return nullptr;
}

void CConverterDlg::OnOK() {
    // Enter commits the field in place and leaves the focus in it; it never closes the window.
    CEdit* edit = EditFromHandle(GetFocus());
    if (!edit) return;
    int start = 0, end = 0;
    edit->GetSel(start, end);
    ::SetFocus(m_hWnd);
    edit->SetFocus();
    edit->SetSel(start, end);
    edit->ScrollCaret();
}

void CConverterDlg::OnCancel() {
    CDialog::OnCancel();
}

void CConverterDlg::OnUpdateIP() {
    if (!s_bRewriteArmed) {
        // The echo of our own rewrite: put the caret back and re-arm.
        s_bRewriteArmed = 1;
        m_editIP.SetSel(s_nSelStart, s_nSelEnd);
        m_editIP.ScrollCaret();
        return;
    }
    m_editIP.GetWindowText(m_strWork);
    if (!CConverter::ReplaceCommas(m_strWork.begin(), m_strWork.end())) return;

    int start = 0, end = 0;
    m_editIP.GetSel(start, end);
    s_nSelStart = start;
    s_nSelEnd = end;
    // The user's edit is still pending after the rewrite: keep its modified state, so leaving
    // the field commits a pasted or comma-typed address instead of throwing it away.
    BOOL modified = m_editIP.GetModify();
    s_bRewriteArmed = 0;
    m_editIP.SetWindowText(m_strWork.c_str());  // its EN_UPDATE echo re-arms and restores the caret
    if (modified) m_editIP.SetModify(TRUE);
}

LRESULT CConverterDlg::OnColorPicked(WPARAM, LPARAM lParam) {
    m_converter.PickColor(static_cast<uint32_t>(lParam));
    return 0;
}

std::optional<Field> CConverterDlg::FieldOf(const CEdit& edit) const {
    // By the control's identifier: only these five fields are ever committed.
    switch (edit.GetDlgCtrlID()) {
    case IDC_TEXT: return Field::Text;
    case IDC_HEX: return Field::Hex;
    case IDC_DEC: return Field::Dec;
    case IDC_BIN: return Field::Bin;
    case IDC_IP: return Field::IP;
    default: return std::nullopt;
    }
}

CEdit& CConverterDlg::EditOf(Field field) {
    switch (field) {
    case Field::Dec: return m_editDec;
    case Field::Hex: return m_editHex;
    case Field::Text: return m_editText;
    case Field::IP: return m_editIP;
    case Field::Bin: return m_editBin;
    }
    return m_editDec;
}

const char* CConverterDlg::ReadField(Field field) {
    EditOf(field).GetWindowText(m_strWork);
    return m_strWork.c_str();
}

bool CConverterDlg::IsFieldModified(Field field) { return EditOf(field).GetModify(); }

void CConverterDlg::WriteField(Field field, const char* text) { EditOf(field).SetWindowText(text); }

void CConverterDlg::ShowColor(uint32_t rgb) {
    m_wndColor.SetColor(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
}

void CConverterDlg::EnableLongOnly(bool enable) {
    m_editIP.EnableWindow(enable);
    m_wndColor.EnableWindow(enable);
}

void CConverterDlg::Refuse() { Beep(0); }
