// The platform behaviours the window logic relies on, checked on real controls under the real
// dialog manager: edit notifications, focus order, message maps and default processing,
// subclassing, owner draw, data exchange, tooltips, help routing and nested modal loops.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include "platform/app.h"
#include "platform/controls.h"
#include "res/resource.h"
#include "tests/support/ui_driver.h"

#include <string>
#include <vector>

using namespace uitest;
using platform::Message;
using platform::MessageMap;

namespace {

// Records every help request instead of opening anything.
class CTestApp : public CWinApp {
public:
    void WinHelp(DWORD_PTR data, UINT cmd) override { requests.push_back({data, cmd}); }
    std::vector<std::pair<DWORD_PTR, UINT>> requests;
};
CTestApp g_app;

// A field that eats the letter x and passes every other key to the edit control.
class CNoXEdit : public CEdit {
public:
    void OnChar(UINT, POINT) {}
    bool OnWndMsg(const Message& m, LRESULT& result) override {
        if (m.message == WM_CHAR && m.wParam == 'x') return map.Dispatch(*this, m, result);
        return CEdit::OnWndMsg(m, result);
    }
    static const MessageMap<CNoXEdit> map;
};
const MessageMap<CNoXEdit> CNoXEdit::map = {platform::onMouse(WM_CHAR, &CNoXEdit::OnChar)};

// An owner-drawn button that counts its draws.
class CCountingButton : public CButton {
public:
    void DrawItem(DRAWITEMSTRUCT* dis) override {
        ++draws;
        FillRect(dis->hDC, &dis->rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    int draws = 0;
};

// The converter template with a probe for notifications and map behaviour.
class CProbeDlg : public CDialog {
public:
    CProbeDlg() : CDialog(IDD_CONVERTER) {}

    std::vector<std::string> log;
    CEdit m_editDec, m_editHex;
    CNoXEdit m_editText;
    CCountingButton m_color;
    int hitTests = 0;

    void Note(const char* what) { log.emplace_back(what); }
    void OnUpdateDec() { Note("update dec"); }
    void OnKillDec() { Note("kill dec"); }
    void OnSetDec() { Note("set dec"); }
    void OnKillHex() { Note("kill hex"); }
    void OnSetHex() { Note("set hex"); }
    void OnLongFirst() { Note("long first"); }
    void OnLongSecond() { Note("long second"); }
    // Default processing in the middle of a handler: the hit test's answer, plus a mark when
    // the test asks (wParam 1; the system sends 0). A message without text, so the answer is
    // the same whatever the window's character form.
    LRESULT OnHitTest(WPARAM wp, LPARAM) {
        ++hitTests;
        return Default() + (wp == 1 ? 1000 : 0);
    }
    // Either form, as the window is ANSI (Wine) or Unicode (Windows' subclassing).
    template <class ToolTipText>
    static BOOL NameString(NMHDR* hdr) {
        auto* tip = reinterpret_cast<ToolTipText*>(hdr);
        if (!(tip->uFlags & TTF_IDISHWND)) return FALSE;
        int id = ::GetDlgCtrlID(reinterpret_cast<HWND>(hdr->idFrom));
        tip->lpszText = reinterpret_cast<decltype(tip->lpszText)>(static_cast<ULONG_PTR>(id));
        tip->hinst = GetModuleHandleA(nullptr);
        return TRUE;
    }
    BOOL OnNeedText(UINT, NMHDR* hdr, LRESULT*) {
        return hdr->code == TTN_NEEDTEXTW ? NameString<TOOLTIPTEXTW>(hdr) : NameString<TOOLTIPTEXTA>(hdr);
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_DEC, m_editDec);
        DDX_Control(pDX, IDC_HEX, m_editHex);
        DDX_Control(pDX, IDC_TEXT, m_editText);
        DDX_Control(pDX, IDC_COLOR, m_color);
    }
    bool OnWndMsg(const Message& m, LRESULT& result) override {
        return map.Dispatch(*this, m, result) || CDialog::OnWndMsg(m, result);
    }
    static const MessageMap<CProbeDlg> map;
};

const MessageMap<CProbeDlg> CProbeDlg::map = {
    platform::onCommand(IDC_DEC, EN_UPDATE, &CProbeDlg::OnUpdateDec),
    platform::onCommand(IDC_DEC, EN_KILLFOCUS, &CProbeDlg::OnKillDec),
    platform::onCommand(IDC_DEC, EN_SETFOCUS, &CProbeDlg::OnSetDec),
    platform::onCommand(IDC_HEX, EN_KILLFOCUS, &CProbeDlg::OnKillHex),
    platform::onCommand(IDC_HEX, EN_SETFOCUS, &CProbeDlg::OnSetHex),
    platform::onCommand(IDC_LONG, BN_CLICKED, &CProbeDlg::OnLongFirst),
    platform::onCommand(IDC_LONG, BN_CLICKED, &CProbeDlg::OnLongSecond),
    platform::onMessage(WM_NCHITTEST, &CProbeDlg::OnHitTest),
    platform::onNotifyEx(0, TTN_NEEDTEXTA, &CProbeDlg::OnNeedText),
    platform::onNotifyEx(0, TTN_NEEDTEXTW, &CProbeDlg::OnNeedText),
};

// The Settings template exchanging an increment and a check box.
class CExchangeDlg : public CDialog {
public:
    CExchangeDlg() : CDialog(IDD_SETTINGS) {}
    UINT m_nIncrement = 1;
    int m_bToolTips = 1;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, IDC_INCREMENT, m_nIncrement);
        DDV_MinMaxUInt(pDX, m_nIncrement, 1, 134217728);
        DDX_Check(pDX, IDC_TOOLTIPS, m_bToolTips);
    }
};

}  // namespace

TEST_CASE("setting an edit's text clears its modified flag and raises EN_UPDATE before it returns") {
    CProbeDlg dlg;
    RunModal(dlg, [&](HWND h) {
        Type("12");
        CHECK(Modified(h, IDC_DEC));
        dlg.log.clear();
        dlg.m_editDec.SetWindowText("7");
        CHECK(dlg.log == std::vector<std::string>{"update dec"});  // synchronously
        CHECK_FALSE(Modified(h, IDC_DEC));
        dlg.m_editDec.SetWindowText("7");  // unchanged text: still notified
        CHECK(dlg.log.size() == 2);
        Type("3");
        CHECK(Modified(h, IDC_DEC));
    });
}

TEST_CASE("moving the focus raises kill-focus before set-focus, before SetFocus returns") {
    struct Move {
        int to;
        std::vector<std::string> expected;
    };
    const Move moves[] = {
        {IDC_HEX, {"kill dec", "set hex"}},
        {IDC_DEC, {"kill hex", "set dec"}},
    };
    CProbeDlg dlg;
    RunModal(dlg, [&](HWND h) {
        CHECK(FocusId() == IDC_DEC);
        for (const Move& move : moves) {
            dlg.log.clear();
            SetFocus(GetDlgItem(h, move.to));
            CHECK(dlg.log == move.expected);
        }
    });
}

TEST_CASE("message maps: the first matching entry ends a message; the rest goes to default") {
    CProbeDlg dlg;
    RunModal(dlg, [&](HWND h) {
        dlg.log.clear();
        Click(GetDlgItem(h, IDC_LONG));
        CHECK(dlg.log == std::vector<std::string>{"kill dec", "long first"});
        // Not in the map: the dialog's own default answers.
        CHECK(Text(h) == "Quendrix");
        // A handler that asks for the default in the middle of its work.
        POINT inside{5, 5};
        ClientToScreen(h, &inside);
        CHECK(SendMessageA(h, WM_NCHITTEST, 1, MAKELPARAM(inside.x, inside.y)) == HTCLIENT + 1000);
        CHECK(dlg.hitTests >= 1);
    });
}

TEST_CASE("a subclassed control's map runs before the control's own procedure") {
    CProbeDlg dlg;
    RunModal(dlg, [&](HWND h) {
        Key('T', kAlt);
        Type("axbx");
        CHECK(Text(h, IDC_TEXT) == "ab");
        CHECK(CWnd::FromHandle(GetDlgItem(h, IDC_TEXT)) == &dlg.m_editText);
        CHECK(CWnd::FromHandle(h) == &dlg);
    });
    CHECK(dlg.m_hWnd == nullptr);  // unbound once the window is gone
    CHECK(dlg.m_editText.m_hWnd == nullptr);
}

TEST_CASE("an owner-drawn control draws itself when its parent is asked to") {
    CProbeDlg dlg;
    RunModal(dlg, [&](HWND) {
        int before = dlg.m_color.draws;
        dlg.m_color.InvalidateRect(nullptr, FALSE);
        UpdateWindow(dlg.m_color.m_hWnd);
        CHECK(dlg.m_color.draws == before + 1);
    });
}

TEST_CASE("data exchange: the increment field's accepted and refused texts") {
    const char* positive = "Please enter a positive integer.";
    const char* range = "Please enter an integer between 1 and 134217728.";
    struct Row {
        const char* text;
        const char* message;  // nullptr: accepted
        UINT value;
    };
    const Row rows[] = {
        {"1", nullptr, 1},
        {"134217728", nullptr, 134217728},
        {" +5 ", nullptr, 5},
        {"\t7\t", nullptr, 7},
        {"007", nullptr, 7},
        {"0", range, 0},
        {"134217729", range, 0},
        {"4294967295", range, 0},
        {"4294967296", range, 0},
        {"99999999999999999999", range, 0},
        {"", positive, 0},
        {"-1", positive, 0},
        {"+", positive, 0},
        {"5a", positive, 0},
        {"1 2", positive, 0},
        {"0x10", positive, 0},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.text));
        RecordingServices services;
        CExchangeDlg dlg;
        bool stayedOpen = false;
        std::pair<int, int> selection{};
        int focus = 0;
        HWND window = nullptr;
        INT_PTR result = RunModal(dlg, [&](HWND h) {
            window = h;
            SetText(h, IDC_INCREMENT, row.text);
            Key(VK_RETURN);
            stayedOpen = IsWindowVisible(h) != FALSE;
            focus = FocusId();
            selection = Selection(h, IDC_INCREMENT);
        });
        if (!row.message) {
            CHECK(result == IDOK);
            CHECK(services.boxes.empty());
            CHECK(dlg.m_nIncrement == row.value);
        } else {
            CHECK(result == kLeftOpen);
            CHECK(stayedOpen);
            REQUIRE(services.boxes.size() == 1);
            CHECK(services.boxes[0].text == row.message);
            CHECK(services.boxes[0].caption == platform::AppName());
            CHECK(services.boxes[0].owner == window);
            CHECK(focus == IDC_INCREMENT);
            CHECK(selection == std::pair{0, static_cast<int>(std::string(row.text).size())});
        }
    }
}

TEST_CASE("data exchange: a check flag outside 0 to 2 is shown unchecked and becomes 0") {
    struct Row {
        int stored, shown, after;
    };
    // A two-state box shows 2 as checked (the system may draw it greyed).
    const Row rows[] = {{0, BST_UNCHECKED, 0}, {1, BST_CHECKED, 1}, {2, BST_CHECKED, 2},
                        {3, BST_UNCHECKED, 0}, {-1, BST_UNCHECKED, 0}};
    for (const Row& row : rows) {
        CAPTURE(row.stored);
        CExchangeDlg dlg;
        dlg.m_bToolTips = row.stored;
        int shown = -1;
        RunModal(dlg, [&](HWND h) { shown = static_cast<int>(SendDlgItemMessageA(h, IDC_TOOLTIPS, BM_GETCHECK, 0, 0)); });
        CHECK((shown == row.shown || (row.stored == 2 && shown == BST_INDETERMINATE)));
        CHECK(dlg.m_bToolTips == row.after);
    }
}

TEST_CASE("the increment field takes only digits as typed characters") {
    CExchangeDlg dlg;
    RunModal(dlg, [&](HWND h) {
        SetText(h, IDC_INCREMENT, "");
        Type("1a-2 +3");
        CHECK(Text(h, IDC_INCREMENT) == "123");
    });
}

TEST_CASE("a real message box is found and answered from inside its own loop") {
    RecordingServices services;
    services.realMessageBoxes = true;
    CExchangeDlg dlg;
    std::string shown;
    INT_PTR result = RunModal(dlg, [&](HWND h) {
        SetText(h, IDC_INCREMENT, "0");
        WhenWindowAppears(IsMessageBox, [&](HWND box) {
            shown = MessageBoxText(box);
            Key(VK_RETURN);
        });
        Key(VK_RETURN);
        SetText(h, IDC_INCREMENT, "9");
        Key(VK_RETURN);
    });
    CHECK(shown == "Please enter an integer between 1 and 134217728.");
    CHECK(result == IDOK);
    CHECK(dlg.m_nIncrement == 9);
}

TEST_CASE("tooltips show the string whose number is the control's, and none when switched off") {
    CProbeDlg dlg;
    // Hovers over a control; the tip of `tool` (nullptr: any tip) that shows within `ms`.
    auto hover = [](HWND dlgWnd, int id, HWND tool, DWORD ms) {
        RECT r;
        GetWindowRect(GetDlgItem(dlgWnd, id), &r);
        SetCursorPos(r.left + 3, r.top + 3);
        Pump();
        SetCursorPos(r.left + 4, r.top + 4);
        return WaitForToolTip(tool, ms);
    };
    RunModal(dlg, [&](HWND h) {
        dlg.EnableToolTips(TRUE);
        HWND tip = hover(h, IDC_HEX, GetDlgItem(h, IDC_HEX), 5000);
        REQUIRE(tip != nullptr);
        CHECK(Text(tip) == "Hexadecimal numbers. Color is displayed in RRGGBB form");
        dlg.EnableToolTips(FALSE);
        SetCursorPos(0, 0);
        Pump();
        CHECK(hover(h, IDC_DEC, nullptr, NoToolTipWait()) == nullptr);
    });
}

TEST_CASE("F1 ends in the application's help with the asking dialog's context") {
    RecordingServices services;
    CProbeDlg main;
    g_app.m_pMainWnd = &main;
    g_app.requests.clear();
    RunModal(main, [&](HWND) {
        Key(VK_F1);
        CExchangeDlg nested;
        HWND owner = nullptr;
        bool mainDisabled = false;
        RunModal(nested, [&](HWND n) {
            owner = GetWindow(n, GW_OWNER);
            mainDisabled = !IsWindowEnabled(main.m_hWnd);
            Key(VK_F1);
            Key(VK_F1, kShift);
        });
        CHECK(owner == main.m_hWnd);
        CHECK(mainDisabled);
        CHECK(IsWindowEnabled(main.m_hWnd));
        Key(VK_F1, kCtrl);
    });
    g_app.m_pMainWnd = nullptr;
    using Request = std::pair<DWORD_PTR, UINT>;
    CHECK(g_app.requests == std::vector<Request>{{0x20000 + IDD_CONVERTER, HELP_CONTEXT},
                                                 {0x20000 + IDD_SETTINGS, HELP_CONTEXT}});
}

TEST_CASE("system libraries come from the system directory, by the loader's flag and by full path") {
    char system[MAX_PATH];
    REQUIRE(GetSystemDirectoryA(system, MAX_PATH) > 0);
    struct Row { const char* name; bool loads; };
    for (bool flag : {true, false})
        for (Row row : {Row{"comdlg32.dll", true}, Row{"shell32.dll", true}, Row{"nosuch.dll", false}}) {
            char path[MAX_PATH] = "";
            if (HMODULE module = platform::LoadSystemLibrary(row.name, flag)) GetModuleFileNameA(module, path, MAX_PATH);
            CHECK_MESSAGE(lstrcmpiA(path, row.loads ? (std::string(system) + "\\" + row.name).c_str() : "") == 0, row.name, flag);
        }
}
