// Checks the resources linked into this executable (the same objects as the program's) against
// their definitions: every dialog template parsed from memory, the strings, the context menu,
// the icon, cursor and bitmap images, the version resource and the inventory of languages.
#include <windows.h>
#include <commctrl.h>
#include <winver.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include "../res/resource.h"

namespace {

constexpr WORD kEnglishUS = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
constexpr WORD kSwedish = MAKELANGID(LANG_SWEDISH, SUBLANG_SWEDISH);
constexpr WORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT);

HMODULE module() { return GetModuleHandleA(nullptr); }

// ---------------------------------------------------------------------------------------------
// Raw resource access

struct Bytes {
    const BYTE* data = nullptr;
    size_t size = 0;
};

Bytes resource(LPCSTR type, int id, WORD language) {
    HRSRC found = FindResourceExA(module(), type, MAKEINTRESOURCEA(id), language);
    REQUIRE_MESSAGE(found != nullptr, "resource ", id, " of type ", reinterpret_cast<ULONG_PTR>(type),
                    " in language ", language);
    HGLOBAL loaded = LoadResource(module(), found);
    REQUIRE(loaded != nullptr);
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module(), found)};
}

// All texts of the program are ASCII; anything else shows up as '?' and fails the comparison.
std::string narrow(const std::wstring& wide) {
    std::string out;
    for (wchar_t c : wide) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// A cursor over a resource's bytes; overrunning the end fails the test.
class Reader {
public:
    explicit Reader(Bytes bytes) : m_bytes(bytes) {}

    template <class T>
    T get() {
        REQUIRE_MESSAGE(m_pos + sizeof(T) <= m_bytes.size, "read past the end at offset ", m_pos);
        T value;
        std::memcpy(&value, m_bytes.data + m_pos, sizeof value);
        m_pos += sizeof value;
        return value;
    }
    std::string text() {
        std::wstring wide;
        for (WORD c = get<WORD>(); c != 0; c = get<WORD>()) wide += static_cast<wchar_t>(c);
        return narrow(wide);
    }
    void align(size_t to) { m_pos = (m_pos + to - 1) / to * to; }
    void skip(size_t count) { m_pos += count; }
    size_t pos() const { return m_pos; }
    size_t size() const { return m_bytes.size; }

private:
    Bytes m_bytes;
    size_t m_pos = 0;
};

// A template field that is either a number (0xFFFF, n) or a zero-terminated string.
struct NameOrNumber {
    std::optional<WORD> number;
    std::string text;

    bool operator==(const NameOrNumber&) const = default;
    friend std::ostream& operator<<(std::ostream& os, const NameOrNumber& n) {
        return n.number ? os << "#" << *n.number : os << '"' << n.text << '"';
    }
};

NameOrNumber nameOrNumber(Reader& in) {
    WORD first = in.get<WORD>();
    if (first == 0xFFFF) return {in.get<WORD>(), {}};
    std::wstring wide;
    for (WORD c = first; c != 0; c = in.get<WORD>()) wide += static_cast<wchar_t>(c);
    return {std::nullopt, narrow(wide)};
}

NameOrNumber text(const char* s) { return {std::nullopt, s}; }
NameOrNumber number(WORD n) { return {n, {}}; }

// ---------------------------------------------------------------------------------------------
// Dialog templates: DLGTEMPLATE / DLGTEMPLATEEX and their items, read field by field

struct Control {
    int id;
    NameOrNumber cls;
    NameOrNumber text;
    short x, y, cx, cy;
    DWORD style;  // WS_CHILD | WS_VISIBLE come on top of these
    DWORD exStyle;
};

struct Dialog {
    int id;
    bool extended;
    std::string caption;
    short cx, cy;
    DWORD style;
    DWORD exStyle;
    std::vector<Control> controls;
};

struct ParsedControl {
    DWORD helpId = 0, exStyle = 0, style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    NameOrNumber cls, text;
    WORD extraBytes = 0;
};

struct ParsedDialog {
    bool extended = false;
    DWORD helpId = 0, exStyle = 0, style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrNumber menu, cls;
    std::string caption;
    WORD pointSize = 0, weight = 0;
    BYTE italic = 0, charset = 0;
    std::string face;
    std::vector<ParsedControl> controls;
    size_t unread = 0;  // bytes left after the last control
};

ParsedDialog parseDialog(Bytes bytes) {
    Reader in(bytes);
    ParsedDialog d;
    WORD count = 0;
    DWORD head = in.get<DWORD>();
    d.extended = head == 0xFFFF0001;  // dlgVer 1, signature 0xFFFF
    if (d.extended) {
        d.helpId = in.get<DWORD>();
        d.exStyle = in.get<DWORD>();
        d.style = in.get<DWORD>();
    } else {
        d.style = head;
        d.exStyle = in.get<DWORD>();
    }
    count = in.get<WORD>();
    d.x = in.get<short>();
    d.y = in.get<short>();
    d.cx = in.get<short>();
    d.cy = in.get<short>();
    d.menu = nameOrNumber(in);
    d.cls = nameOrNumber(in);
    d.caption = in.text();
    if (d.style & DS_SETFONT) {
        d.pointSize = in.get<WORD>();
        if (d.extended) {
            d.weight = in.get<WORD>();
            d.italic = in.get<BYTE>();
            d.charset = in.get<BYTE>();
        }
        d.face = in.text();
    }
    for (WORD i = 0; i < count; ++i) {
        in.align(4);
        ParsedControl c;
        if (d.extended) {
            c.helpId = in.get<DWORD>();
            c.exStyle = in.get<DWORD>();
            c.style = in.get<DWORD>();
        } else {
            c.style = in.get<DWORD>();
            c.exStyle = in.get<DWORD>();
        }
        c.x = in.get<short>();
        c.y = in.get<short>();
        c.cx = in.get<short>();
        c.cy = in.get<short>();
        c.id = d.extended ? static_cast<int>(in.get<DWORD>()) : in.get<short>();
        c.cls = nameOrNumber(in);
        c.text = nameOrNumber(in);
        c.extraBytes = in.get<WORD>();
        in.skip(c.extraBytes);
        d.controls.push_back(c);
    }
    d.unread = in.size() - std::min(in.size(), in.pos());
    return d;
}

const NameOrNumber kButton = number(0x0080), kEdit = number(0x0081), kStatic = number(0x0082);
const NameOrNumber kUpDown = text("msctls_updown32");

constexpr DWORD kLabel = WS_GROUP | SS_LEFT;
constexpr DWORD kField = WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
constexpr DWORD kBox = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;

const Dialog kDialogs[] = {
    {IDD_CONVERTER, true, "Quendrix", 282, 69,
     WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT, WS_EX_APPWINDOW,
     {
         {IDC_STATIC, kStatic, text("&Dec:"), 5, 10, 16, 8, kLabel, 0},
         {IDC_DEC, kEdit, text(""), 25, 6, 50, 14, kField, 0},
         {IDC_STATIC, kStatic, text("&Hex:"), 85, 9, 16, 12, kLabel, 0},
         {IDC_HEX, kEdit, text(""), 105, 6, 45, 14, kField, 0},
         {IDC_STATIC, kStatic, text("&Text:"), 5, 30, 17, 8, kLabel, 0},
         {IDC_TEXT, kEdit, text(""), 25, 27, 40, 14, kField, 0},
         {IDC_STATIC, kStatic, text("&IP:"), 85, 30, 10, 12, kLabel, 0},
         {IDC_IP, kEdit, text(""), 105, 27, 64, 14, kField, 0},
         {IDC_STATIC, kStatic, text("&Bin:"), 5, 51, 13, 8, kLabel, 0},
         {IDC_BIN, kEdit, text(""), 25, 48, 144, 14, kField, 0},
         {IDC_LONG, kButton, text("&Long"), 189, 22, 32, 10, WS_TABSTOP | BS_AUTORADIOBUTTON, 0},
         {IDC_WORD, kButton, text("&Word"), 189, 34, 33, 10, BS_AUTORADIOBUTTON, 0},
         {IDC_CHAR, kButton, text("&Char"), 189, 46, 31, 10, BS_AUTORADIOBUTTON, 0},
         {IDC_SIGNED, kButton, text("&Signed"), 235, 22, 38, 10, WS_TABSTOP | BS_AUTOCHECKBOX, 0},
         {IDC_CLEAR, kButton, text("Cl&ear"), 235, 34, 32, 10, WS_TABSTOP | BS_AUTOCHECKBOX, 0},
         {IDC_STATIC, kButton, text("Mode"), 180, 11, 96, 52, BS_GROUPBOX, 0},
         {IDC_SPIN, kUpDown, text("Spin2"), 158, 3, 11, 21, UDS_ARROWKEYS, 0},
         {IDC_COLOR, kButton, text(""), 261, 2, 14, 11, WS_TABSTOP | BS_OWNERDRAW, WS_EX_STATICEDGE},
         {IDC_STATIC, kStatic, text("Color:"), 239, 3, 18, 8, kLabel, 0},
     }},
    {IDD_ABOUTBOX, false, "About Quendrix", 217, 55, kBox, 0,
     {
         {IDC_STATIC, kStatic, number(IDR_MAINFRAME), 11, 17, 20, 20, SS_ICON, 0},
         {IDC_STATIC, kStatic, text("Quendrix Version 1.1"), 40, 10, 119, 8, kLabel | SS_NOPREFIX, 0},
         {IDC_STATIC, kStatic, text("Copyright (C) 2026 Holvanta"), 39, 34, 150, 8, kLabel, 0},
         {IDOK, kButton, text("OK"), 178, 7, 32, 14, WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
         {IDC_STATIC, kStatic, text("Press F1 or use button ToolTips for help"), 39, 22, 150, 8, kLabel, 0},
     }},
    {IDD_SETTINGS, false, "Settings", 222, 68, kBox, 0,
     {
         {IDC_STATIC, kStatic, text("Spin button &increment"), 10, 9, 70, 8, kLabel, 0},
         {IDC_INCREMENT, kEdit, text(""), 85, 6, 40, 14, kField | ES_NUMBER, 0},
         {IDC_TOOLTIPS, kButton, text("Enable &ToolTips"), 7, 26, 67, 10, WS_TABSTOP | BS_AUTOCHECKBOX, 0},
         {IDC_STAYONTOP, kButton, text("Stay &on top"), 7, 39, 68, 9, WS_TABSTOP | BS_AUTOCHECKBOX, 0},
         {IDC_SAVEONEXIT, kButton, text("&Save settings on exit"), 7, 51, 81, 10, WS_TABSTOP | BS_AUTOCHECKBOX, 0},
         {IDOK, kButton, text("OK"), 165, 6, 50, 14, WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
         {IDCANCEL, kButton, text("Cancel"), 165, 23, 50, 14, WS_TABSTOP | BS_PUSHBUTTON, 0},
     }},
};

// Window classes are found without regard to case, and the resource compiler stores
// class names in capitals; the predefined classes must be numbers.
bool sameClass(const NameOrNumber& actual, const NameOrNumber& expected) {
    if (expected.number) return actual == expected;
    return !actual.number && lstrcmpiA(actual.text.c_str(), expected.text.c_str()) == 0;
}

TEST_CASE("dialog templates hold exactly the defined windows and controls") {
    for (const Dialog& want : kDialogs) {
        INFO("dialog ", want.id);
        ParsedDialog got = parseDialog(resource(RT_DIALOG, want.id, kEnglishUS));
        CHECK(got.extended == want.extended);
        CHECK(got.helpId == 0);
        CHECK(got.caption == want.caption);
        CHECK(got.x == 0);
        CHECK(got.y == 0);
        CHECK(got.cx == want.cx);
        CHECK(got.cy == want.cy);
        CHECK(got.style == want.style);
        CHECK(got.exStyle == want.exStyle);
        CHECK(got.menu == text(""));
        CHECK(got.cls == text(""));
        CHECK(got.pointSize == 8);
        CHECK(got.face == "MS Sans Serif");
        CHECK(got.weight == FW_DONTCARE);
        CHECK(got.italic == 0);
        CHECK(got.charset == (want.extended ? DEFAULT_CHARSET : 0));
        CHECK(got.unread < 4);
        REQUIRE(got.controls.size() == want.controls.size());
        for (size_t i = 0; i < want.controls.size(); ++i) {
            const Control& w = want.controls[i];
            const ParsedControl& g = got.controls[i];
            INFO("control #", i + 1, " ", w.text);
            CHECK(g.id == w.id);
            CHECK_MESSAGE(sameClass(g.cls, w.cls), "class ", g.cls, " expected ", w.cls);
            CHECK(g.text == w.text);
            CHECK(g.x == w.x);
            CHECK(g.y == w.y);
            CHECK(g.cx == w.cx);
            CHECK(g.cy == w.cy);
            CHECK(g.style == (WS_CHILD | WS_VISIBLE | w.style));
            CHECK(g.exStyle == w.exStyle);
            CHECK(g.helpId == 0);
            CHECK(g.extraBytes == 0);
        }
    }
}

INT_PTR CALLBACK quietDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

void initCommonControls() {
    // Loaded by name so that the test needs no import library beyond the resources' own.
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    REQUIRE(comctl != nullptr);
    auto init = reinterpret_cast<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(
        reinterpret_cast<void (*)()>(GetProcAddress(comctl, "InitCommonControlsEx")));
    REQUIRE(static_cast<bool>(init));
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
    REQUIRE(init(&icc));
}

TEST_CASE("the dialog manager builds every template into the defined child windows") {
    initCommonControls();
    const char* classNames[] = {"Button", "Edit", "Static"};  // atoms 0x80, 0x81, 0x82
    for (const Dialog& want : kDialogs) {
        INFO("dialog ", want.id);
        HWND dialog = CreateDialogParamA(module(), MAKEINTRESOURCEA(want.id), nullptr, quietDialogProc, 0);
        REQUIRE(dialog != nullptr);
        size_t i = 0;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT), ++i) {
            REQUIRE(i < want.controls.size());
            const Control& w = want.controls[i];
            INFO("control #", i + 1, " ", w.text);
            char name[64] = {};
            GetClassNameA(child, name, sizeof name);
            const char* expected = w.cls.number ? classNames[*w.cls.number - 0x80] : w.cls.text.c_str();
            CHECK(std::string(name) == expected);
            CHECK(static_cast<WORD>(GetDlgCtrlID(child)) == static_cast<WORD>(w.id));
        }
        CHECK(i == want.controls.size());
        DestroyWindow(dialog);
    }
}

// The face a font really draws with: a substitute's own family, not the name asked for.
std::string faceOf(HFONT font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, sizeof face, face);
    std::string result = face;
    if (UINT size = GetOutlineTextMetricsA(dc, 0, nullptr)) {
        std::vector<char> buffer(size);
        auto* metrics = reinterpret_cast<OUTLINETEXTMETRICA*>(buffer.data());
        if (GetOutlineTextMetricsA(dc, size, metrics))
            result = buffer.data() + reinterpret_cast<UINT_PTR>(metrics->otmpFamilyName);
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return result;
}

// How far right a text leaves ink: the advance of its last character may end in blank columns,
// which a control may cut without the user losing anything.
int inkWidth(HDC reference, const char* text, UINT flags) {
    RECT extent{};
    DrawTextA(reference, text, -1, &extent, flags | DT_CALCRECT);
    HDC dc = CreateCompatibleDC(reference);
    HBITMAP bitmap = CreateCompatibleBitmap(reference, extent.right + 1, extent.bottom + 1);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, GetCurrentObject(reference, OBJ_FONT));
    RECT all{0, 0, extent.right + 1, extent.bottom + 1};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, text, -1, &all, flags);
    int ink = 0;
    for (int x = 0; x <= extent.right; ++x)
        for (int y = 0; y <= extent.bottom; ++y)
            if (GetPixel(dc, x, y) != RGB(255, 255, 255)) ink = x + 1;
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return ink;
}

// Where a control draws its text: check and radio boxes leave room for the box and a half-digit
// gap, push buttons and group boxes for their edges.
int textRoom(HWND control, HDC dc, int dpi) {
    RECT client;
    GetClientRect(control, &client);
    char cls[16] = {};
    GetClassNameA(control, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") != 0) return client.right;
    LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_AUTOCHECKBOX || type == BS_AUTORADIOBUTTON) {
        SIZE digit{};
        GetTextExtentPoint32A(dc, "0", 1, &digit);
        return client.right - (MulDiv(12, dpi, 96) + 1) - digit.cx / 2;
    }
    return client.right - 2 * GetSystemMetrics(SM_CXEDGE);
}

TEST_CASE("every label and button text fits its control, in the faces Windows has") {
    initCommonControls();
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    INFO("at ", dpi, " DPI");
    HFONT shellDlg = CreateFontA(-MulDiv(8, dpi, 72), 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Shell Dlg");
    CHECK(faceOf(shellDlg) == "Tahoma");
    for (const Dialog& want : kDialogs) {
        INFO("dialog ", want.id);
        HWND dialog = CreateDialogParamA(module(), MAKEINTRESOURCEA(want.id), nullptr, quietDialogProc, 0);
        REQUIRE(dialog != nullptr);
        // The bitmap face has sizes for up to 144 DPI; above, the prefix gives the dialogs Tahoma.
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        const std::string face = faceOf(font);
        CHECK(face == (dpi <= 144 ? "MS Sans Serif" : "Tahoma"));
        RECT client;
        GetClientRect(dialog, &client);
        if (want.id == IDD_CONVERTER) {
            HDC dc = GetDC(dialog);
            HGDIOBJ old = SelectObject(dc, font);
            TEXTMETRICA metrics{};
            GetTextMetricsA(dc, &metrics);
            SelectObject(dc, old);
            ReleaseDC(dialog, dc);
            MESSAGE(dpi, " DPI: client ", client.right, " x ", client.bottom, ", ", face, " ", metrics.tmHeight,
                    " px high, ", metrics.tmAveCharWidth, " px average width");
            if (dpi == 96) {
                // What Windows gives this template: dialog base units of 6 x 13.
                CHECK(client.right == 423);
                CHECK(client.bottom == 112);
            } else {
                // Scaled with the desktop: within a tenth of the DPI's ratio to 96.
                CHECK(client.right * 96 * 10 >= 423 * dpi * 9);
                CHECK(client.right * 96 * 10 <= 423 * dpi * 11);
                CHECK(client.bottom * 96 * 10 >= 112 * dpi * 9);
                CHECK(client.bottom * 96 * 10 <= 112 * dpi * 11);
            }
        }
        // Every label and button with a text in the template is measured; one read as empty
        // would otherwise pass unseen.
        const auto labelled = std::count_if(want.controls.begin(), want.controls.end(), [](const Control& c) {
            return (c.cls == kStatic || c.cls == kButton) && !c.text.number && !c.text.text.empty();
        });
        long measured = 0;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char text[128] = {}, cls[16] = {};
            GetWindowTextA(child, text, sizeof text);
            GetClassNameA(child, cls, sizeof cls);
            LONG style = GetWindowLongA(child, GWL_STYLE);
            bool isStatic = lstrcmpiA(cls, "Static") == 0, isButton = lstrcmpiA(cls, "Button") == 0;
            if (!text[0] || !(isStatic || isButton) || (isStatic && (style & SS_TYPEMASK) == SS_ICON)) continue;
            INFO("\"", text, "\"");
            HDC dc = GetDC(child);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(child, WM_GETFONT, 0, 0)));
            UINT flags = DT_SINGLELINE | (isStatic && (style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
            RECT drawn{};
            DrawTextA(dc, text, -1, &drawn, DT_CALCRECT | flags);
            int ink = inkWidth(dc, text, flags), room = textRoom(child, dc, dpi);
            SelectObject(dc, old);
            ReleaseDC(child, dc);
            RECT box;
            GetClientRect(child, &box);
            CHECK(ink <= room);
            CHECK(drawn.bottom <= box.bottom);
            ++measured;
        }
        CHECK(measured == labelled);
        DestroyWindow(dialog);
    }
    DeleteObject(shellDlg);
}

// ---------------------------------------------------------------------------------------------
// Strings

struct StringEntry {
    UINT id;
    const char* text;
};

const StringEntry kStrings[] = {
    {IDS_ABOUTBOX, "&About Quendrix..."},
    {IDS_NOHELP, "Can't locate help file"},
    {IDS_SETTINGS, "&Settings..."},
    {IDC_TEXT, "ANSI text representation of actual value. Pressing enter will update window."},
    {IDC_HEX, "Hexadecimal numbers. Color is displayed in RRGGBB form"},
    {IDC_DEC, "Decimal numbers. Pressing enter will update window."},
    {IDC_BIN, "Binary numbers. Pressing enter will update window."},
    {IDC_IP, "IP adress in the form xxx.xxx.xxx.xxx. The comma key will produce a dot"},
    {IDC_LONG, "4-byte wide numbers"},
    {IDC_WORD, "2-byte wide numbers."},
    {IDC_CHAR, "1-byte wide numbers"},
    {IDC_SIGNED, "Display negative numbers in negative form in the Dec field."},
    {IDC_CLEAR, "Clear fields automatically before entering data."},
    {IDC_SPIN, "Increment/decrement value. Use [Settings...] menu to adjust stepping."},
    {IDC_COLOR, "Click and drag mouse to pick a color. Doubleclick to open color selector."},
};

TEST_CASE("every string loads verbatim by its number") {
    for (const StringEntry& s : kStrings) {
        INFO("string ", s.id);
        char buffer[512] = {};
        int length = LoadStringA(module(), s.id, buffer, sizeof buffer);
        CHECK(length == static_cast<int>(std::strlen(s.text)));
        CHECK(std::string(buffer) == s.text);
    }
}

TEST_CASE("no string exists beyond the defined ones") {
    // In particular no application title (57344): the program's name comes from its file name.
    std::set<UINT> found;
    for (UINT id = 0; id <= 0xFFFF; ++id) {
        const wchar_t* text = nullptr;
        if (LoadStringW(module(), id, reinterpret_cast<wchar_t*>(&text), 0) > 0) found.insert(id);
    }
    std::set<UINT> expected;
    for (const StringEntry& s : kStrings) expected.insert(s.id);
    CHECK(found == expected);
    CHECK(found.count(57344) == 0);
}

// ---------------------------------------------------------------------------------------------
// Context menu

struct MenuEntry {
    const char* text;
    UINT command;
};

const MenuEntry kContextMenu[] = {
    {"Cu&t", ID_EDIT_CUT},
    {"&Copy", ID_EDIT_COPY},
    {"&Paste", ID_EDIT_PASTE},
};

TEST_CASE("the context menu is one popup of three plain commands") {
    // Its only version is Swedish, in the classic (not extended) menu format.
    Reader raw(resource(RT_MENU, IDR_CONTEXTMENU, kSwedish));
    CHECK(raw.get<DWORD>() == 0);

    HMENU menu = LoadMenuA(module(), MAKEINTRESOURCEA(IDR_CONTEXTMENU));
    REQUIRE(menu != nullptr);
    REQUIRE(GetMenuItemCount(menu) == 1);
    char title[64] = {};
    GetMenuStringA(menu, 0, title, sizeof title, MF_BYPOSITION);
    CHECK(std::string(title) == "_POPUP_");
    HMENU popup = GetSubMenu(menu, 0);
    REQUIRE(popup != nullptr);
    REQUIRE(GetMenuItemCount(popup) == static_cast<int>(std::size(kContextMenu)));
    for (UINT i = 0; i < std::size(kContextMenu); ++i) {
        INFO("item ", i);
        char label[64] = {};
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        item.dwTypeData = label;
        item.cch = sizeof label;
        REQUIRE(GetMenuItemInfoA(popup, i, TRUE, &item));
        CHECK(std::string(label) == kContextMenu[i].text);
        CHECK(item.wID == kContextMenu[i].command);
        CHECK(item.fType == MFT_STRING);
        CHECK(item.fState == MFS_ENABLED);
        CHECK(item.hSubMenu == nullptr);
    }
    DestroyMenu(menu);
}

// ---------------------------------------------------------------------------------------------
// Inventory: every resource in the module, with its language, and nothing else

using Entry = std::tuple<ULONG_PTR, ULONG_PTR, WORD>;  // type, number, language

std::set<Entry> inventory() {
    std::set<Entry> all;
    struct Walk {
        static BOOL CALLBACK onLanguage(HMODULE, LPCSTR type, LPCSTR name, WORD lang, LONG_PTR out) {
            // Named (non-numeric) entries show up as a number no resource uses.
            auto key = [](LPCSTR p) { return IS_INTRESOURCE(p) ? reinterpret_cast<ULONG_PTR>(p) : ~ULONG_PTR{0}; };
            reinterpret_cast<std::set<Entry>*>(out)->emplace(key(type), key(name), lang);
            return TRUE;
        }
        static BOOL CALLBACK onName(HMODULE m, LPCSTR type, LPSTR name, LONG_PTR out) {
            return EnumResourceLanguagesA(m, type, name, onLanguage, out);
        }
        static BOOL CALLBACK onType(HMODULE m, LPSTR type, LONG_PTR out) {
            return EnumResourceNamesA(m, type, onName, out);
        }
    };
    EnumResourceTypesA(module(), Walk::onType, reinterpret_cast<LONG_PTR>(&all));
    return all;
}

// The numbers of the single images a group directory (icon or cursor) refers to.
std::vector<WORD> groupMembers(LPCSTR type, int id, WORD language) {
    Reader in(resource(type, id, language));
    in.skip(4);
    WORD count = in.get<WORD>();
    std::vector<WORD> ids;
    for (WORD i = 0; i < count; ++i) {
        in.skip(12);
        ids.push_back(in.get<WORD>());
    }
    return ids;
}

ULONG_PTR typeNumber(LPCSTR type) { return reinterpret_cast<ULONG_PTR>(type); }

TEST_CASE("the module holds each resource once, in its defined language") {
    std::set<Entry> expected = {
        {typeNumber(RT_DIALOG), IDD_ABOUTBOX, kEnglishUS},
        {typeNumber(RT_DIALOG), IDD_CONVERTER, kEnglishUS},
        {typeNumber(RT_DIALOG), IDD_SETTINGS, kEnglishUS},
        {typeNumber(RT_MENU), IDR_CONTEXTMENU, kSwedish},
        // String blocks hold sixteen numbers each: 96-111, 992-1007, 1008-1023
        {typeNumber(RT_STRING), IDS_ABOUTBOX / 16 + 1, kEnglishUS},
        {typeNumber(RT_STRING), IDC_TEXT / 16 + 1, kEnglishUS},
        {typeNumber(RT_STRING), IDC_COLOR / 16 + 1, kEnglishUS},
        {typeNumber(RT_GROUP_ICON), IDR_MAINFRAME, kEnglishUS},
        {typeNumber(RT_GROUP_CURSOR), IDC_PICKER, kNeutral},
        {typeNumber(RT_BITMAP), IDB_DISABLED, kEnglishUS},
        {typeNumber(RT_VERSION), 1, kEnglishUS},
        {typeNumber(RT_MANIFEST), 1, MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)},
    };
    for (WORD id : groupMembers(RT_GROUP_ICON, IDR_MAINFRAME, kEnglishUS))
        expected.emplace(typeNumber(RT_ICON), id, kEnglishUS);
    for (WORD id : groupMembers(RT_GROUP_CURSOR, IDC_PICKER, kNeutral))
        expected.emplace(typeNumber(RT_CURSOR), id, kNeutral);

    std::set<Entry> actual = inventory();
    for (const Entry& e : actual) {
        CHECK_MESSAGE(expected.count(e), "unexpected resource: type ", std::get<0>(e), " number ", std::get<1>(e),
                      " language ", std::get<2>(e));
    }
    for (const Entry& e : expected) {
        CHECK_MESSAGE(actual.count(e), "missing resource: type ", std::get<0>(e), " number ", std::get<1>(e),
                      " language ", std::get<2>(e));
    }
}

// ---------------------------------------------------------------------------------------------
// Images

// Colours as 0xRRGGBB
constexpr uint32_t kBlack = 0x000000, kWhite = 0xFFFFFF, kOlive = 0x808000, kNavy = 0x000080,
                   kYellow = 0xFFFF00, kSilver = 0xC0C0C0, kGrey = 0x808080;

const uint32_t kStandardPalette[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

uint32_t rgb(RGBQUAD q) { return uint32_t{q.rgbRed} << 16 | uint32_t{q.rgbGreen} << 8 | q.rgbBlue; }

// One DIB as stored in an icon, cursor or bitmap resource, rows top first.
struct Dib {
    BITMAPINFOHEADER header{};
    std::vector<uint32_t> palette;
    std::vector<std::vector<int>> colour;  // palette indices
    std::vector<std::vector<int>> mask;    // 1 = transparent; empty for a plain bitmap
};

std::vector<std::vector<int>> unpack(Reader& in, int width, int height, int bpp, bool bottomUp) {
    size_t stride = (static_cast<size_t>(width) * bpp + 31) / 32 * 4;
    std::vector<std::vector<int>> rows(height, std::vector<int>(width));
    for (int r = 0; r < height; ++r) {
        std::vector<BYTE> line(stride);
        for (BYTE& b : line) b = in.get<BYTE>();
        for (int x = 0; x < width; ++x) {
            int bit = x * bpp;
            rows[bottomUp ? height - 1 - r : r][x] = (line[bit / 8] >> (8 - bpp - bit % 8)) & ((1 << bpp) - 1);
        }
    }
    return rows;
}

Dib readDib(Bytes bytes, bool withMask) {
    Reader in(bytes);
    Dib dib;
    dib.header = in.get<BITMAPINFOHEADER>();
    REQUIRE(dib.header.biSize == sizeof(BITMAPINFOHEADER));
    REQUIRE(dib.header.biCompression == BI_RGB);
    REQUIRE(dib.header.biBitCount <= 8);
    size_t colours = dib.header.biClrUsed ? dib.header.biClrUsed : size_t{1} << dib.header.biBitCount;
    for (size_t i = 0; i < colours; ++i) dib.palette.push_back(rgb(in.get<RGBQUAD>()));
    int width = dib.header.biWidth;
    int height = std::abs(dib.header.biHeight) / (withMask ? 2 : 1);
    bool bottomUp = dib.header.biHeight > 0;
    dib.colour = unpack(in, width, height, dib.header.biBitCount, bottomUp);
    if (withMask) dib.mask = unpack(in, width, height, 1, bottomUp);
    return dib;
}

const int kIconSizes[] = {32, 16};

TEST_CASE("the application icon has a 32 and a 16 pixel image in the standard 16 colours") {
    Bytes group = resource(RT_GROUP_ICON, IDR_MAINFRAME, kEnglishUS);
    Reader in(group);
    CHECK(in.get<WORD>() == 0);  // reserved
    CHECK(in.get<WORD>() == 1);  // icon, not cursor
    REQUIRE(in.get<WORD>() == static_cast<WORD>(std::size(kIconSizes)));
    for (int size : kIconSizes) {
        INFO(size, " x ", size);
        // The entry the platform picks for this size must be an exact match.
        int id = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(group.data), TRUE, size, size,
                                             LR_DEFAULTCOLOR);
        REQUIRE(id != 0);
        Reader entries(group);
        entries.skip(6);
        bool listed = false;
        for (size_t i = 0; i < std::size(kIconSizes); ++i) {
            BYTE width = entries.get<BYTE>(), height = entries.get<BYTE>(), colours = entries.get<BYTE>();
            entries.skip(1);
            WORD planes = entries.get<WORD>(), bits = entries.get<WORD>();
            entries.skip(4);
            if (entries.get<WORD>() != id) continue;
            listed = true;
            CHECK(width == size);
            CHECK(height == size);
            CHECK(colours == 16);
            CHECK(planes == 1);
            CHECK(bits == 4);
        }
        CHECK(listed);

        Dib dib = readDib(resource(RT_ICON, id, kEnglishUS), true);
        CHECK(dib.header.biWidth == size);
        CHECK(dib.header.biHeight == 2 * size);  // colour bits and mask together
        CHECK(dib.header.biBitCount == 4);
        CHECK(dib.palette == std::vector<uint32_t>(std::begin(kStandardPalette), std::end(kStandardPalette)));

        // The motif: olive block (the main colour), navy shadow, yellow letters outlined in
        // black, a white and grey bar.
        std::map<uint32_t, int> seen;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if (!dib.mask[y][x]) ++seen[dib.palette[dib.colour[y][x]]];
        for (uint32_t colour : {kOlive, kNavy, kYellow, kBlack, kWhite}) {
            INFO("colour ", colour);
            CHECK(seen[colour] > 0);
        }
        CHECK(seen[kSilver] + seen[kGrey] > 0);
        auto most = std::max_element(seen.begin(), seen.end(), [](auto& a, auto& b) { return a.second < b.second; });
        CHECK(most->first == kOlive);

        HICON icon = static_cast<HICON>(LoadImageA(module(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, size,
                                                   size, LR_DEFAULTCOLOR));
        CHECK(icon != nullptr);
        DestroyIcon(icon);
    }
}

// Shown in failure messages as the characters of the cursor's art
enum class Pixel : char { Black = 'K', White = 'W', Transparent = '.', Inverted = '~' };

// The pixels of a GDI bitmap as 0xRRGGBB, rows top first.
std::vector<std::vector<uint32_t>> pixels(HBITMAP bitmap) {
    BITMAP info{};
    REQUIRE(GetObjectA(bitmap, sizeof info, &info) == sizeof info);
    BITMAPINFO request{};
    request.bmiHeader = {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> flat(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, info.bmHeight, flat.data(), &request, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    REQUIRE(rows == info.bmHeight);
    std::vector<std::vector<uint32_t>> out(info.bmHeight);
    for (int y = 0; y < info.bmHeight; ++y)
        for (int x = 0; x < info.bmWidth; ++x) out[y].push_back(flat[y * info.bmWidth + x] & 0xFFFFFF);
    return out;
}

Pixel classify(uint32_t andBit, uint32_t xorColour) {
    bool transparent = andBit == kWhite;
    if (xorColour == kBlack) return transparent ? Pixel::Transparent : Pixel::Black;
    return transparent ? Pixel::Inverted : Pixel::White;
}

struct CursorPixel {
    int x, y;
    Pixel pixel;
};

// The tip around the hot spot, a point well inside the bulb, and the hot spot itself.
const CursorPixel kCursorPixels[] = {
    {1, 15, Pixel::Black}, {0, 16, Pixel::Black},       {2, 16, Pixel::Black},
    {1, 17, Pixel::Black}, {1, 16, Pixel::Transparent}, {12, 4, Pixel::Black},
};

TEST_CASE("the picking cursor is a monochrome eyedropper whose hot spot is its transparent tip") {
    std::vector<WORD> images = groupMembers(RT_GROUP_CURSOR, IDC_PICKER, kNeutral);
    REQUIRE(images.size() == 1);
    Bytes raw = resource(RT_CURSOR, images[0], kNeutral);
    Reader hotspot(raw);
    CHECK(hotspot.get<WORD>() == 1);
    CHECK(hotspot.get<WORD>() == 16);
    Dib dib = readDib({raw.data + 4, raw.size - 4}, true);
    CHECK(dib.header.biWidth == 32);
    CHECK(dib.header.biHeight == 64);
    CHECK(dib.header.biBitCount == 1);

    HCURSOR cursor = LoadCursorA(module(), MAKEINTRESOURCEA(IDC_PICKER));
    REQUIRE(cursor != nullptr);
    ICONINFO info{};
    REQUIRE(GetIconInfo(cursor, &info));
    CHECK_FALSE(info.fIcon);
    CHECK(info.xHotspot == 1);
    CHECK(info.yHotspot == 16);

    // A monochrome cursor has no colour bitmap: its mask holds the AND bits above the XOR bits.
    CHECK(info.hbmColor == nullptr);
    std::vector<std::vector<uint32_t>> mask = pixels(info.hbmMask);
    std::vector<std::vector<uint32_t>> colour = info.hbmColor ? pixels(info.hbmColor) : mask;
    size_t colourTop = info.hbmColor ? 0 : 32;
    REQUIRE(mask.size() >= 32);
    REQUIRE(colour.size() >= colourTop + 32);
    auto at = [&](int x, int y) { return classify(mask[y][x], colour[colourTop + y][x]); };

    for (const CursorPixel& p : kCursorPixels) {
        INFO("pixel ", p.x, ", ", p.y);
        CHECK(at(p.x, p.y) == p.pixel);
    }
    // The tube: a white line inside a black outline on every row from 7 to 14.
    for (int y = 7; y <= 14; ++y) {
        INFO("row ", y);
        int white = 0, black = 0;
        for (int x = 0; x < 16; ++x) {
            white += at(x, y) == Pixel::White;
            black += at(x, y) == Pixel::Black;
        }
        CHECK(white + black > 0);
        if (y < 14) CHECK(white > 0);
        CHECK(black >= 2 * white);
    }
    // Nothing outside the dropper; nowhere is the screen inverted.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            Pixel p = at(x, y);
            if (x < 16 && y < 18 && p != Pixel::Inverted) continue;
            INFO("pixel ", x, ", ", y);
            CHECK(p == Pixel::Transparent);
        }
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
}

TEST_CASE("the disabled pattern is an 8 x 8 one-bit checkerboard, white at the top left") {
    Dib dib = readDib(resource(RT_BITMAP, IDB_DISABLED, kEnglishUS), false);
    CHECK(dib.header.biWidth == 8);
    CHECK(std::abs(dib.header.biHeight) == 8);
    CHECK(dib.header.biBitCount == 1);
    CHECK(dib.palette == std::vector<uint32_t>{kBlack, kWhite});

    HBITMAP bitmap = LoadBitmapA(module(), MAKEINTRESOURCEA(IDB_DISABLED));
    REQUIRE(bitmap != nullptr);
    std::vector<std::vector<uint32_t>> loaded = pixels(bitmap);
    REQUIRE(loaded.size() == 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            INFO("pixel ", x, ", ", y);
            CHECK(loaded[y][x] == ((x + y) % 2 == 0 ? kWhite : kBlack));
        }
    DeleteObject(bitmap);
}

// ---------------------------------------------------------------------------------------------
// Version resource, read back the way other programs read it: from the executable file

struct VersionString {
    const char* key;
    const char* value;
};

// In resource order
const VersionString kVersionStrings[] = {
    {"CompanyName", "Holvanta"},
    {"FileDescription", "Quendrix MFC Application"},
    {"FileVersion", "1, 2, 0, 1"},
    {"InternalName", "Quendrix"},
    {"LegalCopyright", "Copyright (C) 2026 Holvanta"},
    {"OriginalFilename", "Quendrix.EXE"},
    {"ProductName", "Quendrix Application"},
    {"ProductVersion", "1, 2, 0, 1"},
};

struct FixedField {
    const char* name;
    DWORD VS_FIXEDFILEINFO::*field;
    DWORD value;
};

const FixedField kFixedFields[] = {
    {"signature", &VS_FIXEDFILEINFO::dwSignature, 0xFEEF04BD},
    {"file version high", &VS_FIXEDFILEINFO::dwFileVersionMS, MAKELONG(2, 1)},
    {"file version low", &VS_FIXEDFILEINFO::dwFileVersionLS, MAKELONG(1, 0)},
    {"product version high", &VS_FIXEDFILEINFO::dwProductVersionMS, MAKELONG(2, 1)},
    {"product version low", &VS_FIXEDFILEINFO::dwProductVersionLS, MAKELONG(1, 0)},
    {"flags mask", &VS_FIXEDFILEINFO::dwFileFlagsMask, 0x3F},
    {"flags", &VS_FIXEDFILEINFO::dwFileFlags, 0},
    {"operating system", &VS_FIXEDFILEINFO::dwFileOS, VOS__WINDOWS32},
    {"file type", &VS_FIXEDFILEINFO::dwFileType, VFT_APP},
    {"subtype", &VS_FIXEDFILEINFO::dwFileSubtype, 0},
    {"date high", &VS_FIXEDFILEINFO::dwFileDateMS, 0},
    {"date low", &VS_FIXEDFILEINFO::dwFileDateLS, 0},
};

std::vector<BYTE> versionInfo() {
    char path[MAX_PATH] = {};
    REQUIRE(GetModuleFileNameA(nullptr, path, MAX_PATH) > 0);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    REQUIRE(size > 0);
    std::vector<BYTE> block(size);
    REQUIRE(GetFileVersionInfoA(path, 0, size, block.data()));
    return block;
}

TEST_CASE("the version resource's fixed part") {
    std::vector<BYTE> block = versionInfo();
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    REQUIRE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    REQUIRE(length == sizeof(VS_FIXEDFILEINFO));
    for (const FixedField& f : kFixedFields) {
        INFO(f.name);
        CHECK(fixed->*f.field == f.value);
    }
}

TEST_CASE("the version resource's strings and translation") {
    std::vector<BYTE> block = versionInfo();
    for (const VersionString& s : kVersionStrings) {
        INFO(s.key);
        char* value = nullptr;
        UINT length = 0;
        std::string query = std::string("\\StringFileInfo\\040904b0\\") + s.key;
        REQUIRE(VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length));
        CHECK(std::string(value) == s.value);
    }
    WORD* translation = nullptr;
    UINT length = 0;
    REQUIRE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                           &length));
    REQUIRE(length == 4);  // exactly one language and code page
    CHECK(translation[0] == kEnglishUS);
    CHECK(translation[1] == 1200);
}

// One node of the version tree: wLength, wValueLength, wType, key, value, children.
struct VersionNode {
    std::string key;
    std::vector<VersionNode> children;
};

VersionNode versionNode(const BYTE* data, size_t size) {
    Reader in({data, size});
    WORD length = in.get<WORD>();
    WORD valueLength = in.get<WORD>();
    WORD type = in.get<WORD>();
    REQUIRE(length <= size);
    VersionNode node{in.text(), {}};
    in.align(4);
    in.skip(type == 1 ? valueLength * 2u : valueLength);  // text values count characters
    in.align(4);
    while (in.pos() < length) {
        VersionNode child = versionNode(data + in.pos(), length - in.pos());
        WORD childLength = Reader({data + in.pos(), 2}).get<WORD>();
        REQUIRE(childLength > 0);
        in.skip(childLength);
        in.align(4);
        node.children.push_back(child);
    }
    return node;
}

TEST_CASE("the version strings stand in one English block, in the defined order") {
    Bytes raw = resource(RT_VERSION, 1, kEnglishUS);
    VersionNode root = versionNode(raw.data, raw.size);
    CHECK(root.key == "VS_VERSION_INFO");
    auto child = [](const VersionNode& n, const std::string& key) -> const VersionNode* {
        for (const VersionNode& c : n.children)
            if (c.key == key) return &c;
        return nullptr;
    };
    const VersionNode* strings = child(root, "StringFileInfo");
    REQUIRE(strings != nullptr);
    REQUIRE(strings->children.size() == 1);
    const VersionNode& table = strings->children[0];
    CHECK(table.key == "040904b0");
    std::vector<std::string> keys, expected;
    for (const VersionNode& c : table.children) keys.push_back(c.key);
    for (const VersionString& s : kVersionStrings) expected.push_back(s.key);
    CHECK(keys == expected);
    CHECK(child(root, "VarFileInfo") != nullptr);
}

}  // namespace
