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
    onCommand(IDM_SETTINGS, 0, &CConverterDlg::OnSettings),
    onCommand(IDM_ABOUTBOX, 0, &CConverterDlg::OnAbout),
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
      m_bSettingsSaved(false),
      m_bTextCp1252(false),
      m_savedSettings{},
      m_converter(*this) {}

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
    for (int i = 0; i < kFieldCount; ++i) DDX_Control(pDX, kFieldIds[i], m_edits[i]);
    DDX_Control(pDX, IDC_CLEAR, m_btnClear);
    DDX_Control(pDX, IDC_LONG, m_btnLong);
    DDX_Control(pDX, IDC_WORD, m_btnWord);
    DDX_Control(pDX, IDC_CHAR, m_btnChar);
}

BOOL CConverterDlg::OnInitDialog() {
    // Where one byte is no longer one character of the ANSI code page (Chinese, Japanese, Korean,
    // UTF-8), Text holds its bytes as Windows-1252 characters in a Unicode field, as qx and the
    // page show them; elsewhere the field stays as it is.
    m_bTextCp1252 = AnsiCodePageIsMultiByte() && RecreateAsUnicodeEdit(::GetDlgItem(m_hWnd, IDC_TEXT)) != nullptr;
    CDialog::OnInitDialog();
    AppendWindowCommands(GetSystemMenu(FALSE));
    SetIcon(m_hIcon, TRUE);

    Settings& options = m_converter.Options();
    options = kDefaultSettings;
    LoadSettings(options);
    m_converter.Start();
    // The up-down control's position means nothing: it sits at 0 and moves one notch a report.
    m_spin.SetPos(0);
    m_spin.SetRange(-1, 1);
    UDACCEL accel{1, 1};
    m_spin.SetAccel(1, &accel);
    // Never made non-topmost at start; made topmost as the window is centred, not activated:
    // the dialog manager activates it as it shows it.
    if (options.bStayOnTop) m_hWndPlaceAfter = HWND_TOPMOST;
    // Tooltips are not seen before the pointer has rested on a control: they are set up once
    // the window is up (OnTimer), or now if no timer can be had.
    if (!SetTimer(m_hWnd, kAfterFirstPaintTimer, USER_TIMER_MINIMUM, nullptr)) EnableToolTips(options.bToolTips);
    return TRUE;  // the focus goes to the first tab stop, Dec
}

void CConverterDlg::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kAfterFirstPaintTimer) {
        Default();
        return;
    }
    KillTimer(m_hWnd, nIDEvent);
    EnableToolTips(m_converter.Options().bToolTips);
}

void CConverterDlg::SaveSettings(CWnd* reporter) {
    const Settings& options = m_converter.Options();
    if (m_bSettingsSaved && std::memcmp(&m_savedSettings, &options, sizeof options) == 0) return;
    m_bSettingsSaved = true;
    m_savedSettings = options;
    ::SaveSettings(options, reporter);
}

void CConverterDlg::OnKillfocusText() { m_converter.Commit(Field::Text); }
void CConverterDlg::OnKillfocusDec() { m_converter.Commit(Field::Dec); }
void CConverterDlg::OnKillfocusBin() { m_converter.Commit(Field::Bin); }
void CConverterDlg::OnKillfocusHex() { m_converter.Commit(Field::Hex); }
void CConverterDlg::OnKillfocusIP() { m_converter.Commit(Field::IP); }

void CConverterDlg::OnSetfocusDec() { m_converter.Enter(Field::Dec); }
void CConverterDlg::OnSetfocusBin() { m_converter.Enter(Field::Bin); }
void CConverterDlg::OnSetfocusHex() { m_converter.Enter(Field::Hex); }
void CConverterDlg::OnSetfocusIP() { m_converter.Enter(Field::IP); }
void CConverterDlg::OnSetfocusText() { m_converter.Enter(Field::Text); }

void CConverterDlg::OnLong() { m_converter.SetWidth(4); }
void CConverterDlg::OnWord() { m_converter.SetWidth(2); }
void CConverterDlg::OnChar() { m_converter.SetWidth(1); }
void CConverterDlg::OnSigned() { m_converter.SetSigned(m_btnSigned.GetCheck()); }
void CConverterDlg::OnClear() { m_converter.SetClear(m_btnClear.GetCheck()); }

std::optional<Field> CConverterDlg::FieldOf(HWND hWnd) const {
    for (int i = 0; i < kFieldCount; ++i)
        if (hWnd && m_edits[i].m_hWnd == hWnd) return static_cast<Field>(i);
    return std::nullopt;
}

CEdit* CConverterDlg::ActiveEdit() {
    const std::optional<Field> field = m_converter.ActiveField();
    return field ? &Edit(*field) : nullptr;
}

void CConverterDlg::OnOK() {
    // Enter commits the field in place and leaves the focus in it; it never closes the window.
    const std::optional<Field> field = FieldOf(GetFocus());
    if (!field) return;
    CEdit* edit = &Edit(*field);
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
        Edit(Field::IP).SetSel(s_nSelStart, s_nSelEnd);
        Edit(Field::IP).ScrollCaret();
        return;
    }
    CEdit& editIP = Edit(Field::IP);
    editIP.GetWindowText(m_strWork);
    if (!CConverter::ReplaceCommas(m_strWork.begin(), m_strWork.end())) return;

    int start = 0, end = 0;
    editIP.GetSel(start, end);
    s_nSelStart = start;
    s_nSelEnd = end;
    // The user's edit is still pending after the rewrite: keep its modified state, so leaving
    // the field commits a pasted or comma-typed address instead of throwing it away.
    BOOL modified = editIP.GetModify();
    s_bRewriteArmed = 0;
    editIP.SetWindowText(m_strWork.c_str());  // its EN_UPDATE echo re-arms and restores the caret
    if (modified) editIP.SetModify(TRUE);
}

LRESULT CConverterDlg::OnColorPicked(WPARAM, LPARAM lParam) {
    m_converter.SetValue(static_cast<uint32_t>(lParam));
    return 0;
}

const char* CConverterDlg::ReadField(Field field) {
    if (field == Field::Text && m_bTextCp1252)
        return Edit(field).GetWindowTextCp1252(m_strWork) ? m_strWork.c_str() : nullptr;
    Edit(field).GetWindowText(m_strWork);
    return m_strWork.c_str();
}

bool CConverterDlg::IsFieldModified(Field field) { return Edit(field).GetModify(); }

void CConverterDlg::WriteField(Field field, const char* text) {
    if (field == Field::Text && m_bTextCp1252) Edit(field).SetWindowTextCp1252(text);
    else Edit(field).SetWindowText(text);
}

void CConverterDlg::ShowColor(uint32_t rgb) {
    m_wndColor.SetColor(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
}

void CConverterDlg::ShowMode(int32_t nSize, int32_t bSigned, int32_t bClear) {
    m_btnSigned.SetCheck(bSigned);
    m_btnClear.SetCheck(bClear);
    switch (nSize) {
    case 1: m_btnChar.SetCheck(BST_CHECKED); break;
    case 2: m_btnWord.SetCheck(BST_CHECKED); break;
    case 4: m_btnLong.SetCheck(BST_CHECKED); break;
    default: break;  // a stored width we do not know checks no button
    }
}

void CConverterDlg::EnableIPAndColor(bool enable) {
    Edit(Field::IP).EnableWindow(enable);
    m_wndColor.EnableWindow(enable);
}

void CConverterDlg::Refuse() { Beep(0); }
