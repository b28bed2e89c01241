// Reads the running Quendrix from outside, as another process would: its window, controls,
// focus, the windows it has open, the screen under its colour swatch, the clipboard and the
// options it keeps in the registry. Prints one JSON object a line; a snapshot in which a window
// did not answer within 5 s says how many questions went unanswered ("unanswered").
//
//   e2e_probe state          one snapshot
//   e2e_probe serve          one snapshot per "state" line on stdin; also "clipboard",
//                            "clip TEXT" (sets it),
//                            "reg-clear", "reg-set NAME NUMBER", "pixel X Y",
//                            "htm-assoc" (HTML pages to the browser), "sync" (every other
//                            program's window has handled what was sent to it), "quit"
//   e2e_probe reg-clear      removes the maker's key with everything under it
//   "objects" (served)       the program's working set and, in the soak's build, its live GDI
//                            and USER objects as its own counter tells them
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

const char kMakerKey[] = "Software\\Holvanta";
const char kProductKey[] = "Software\\Holvanta\\Quendrix";
const int kControls[] = {1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011, 1015, 1018};
const int kSwatch = 1018;

std::string Quote(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c >= 0x7F) {
                // Latin-1 reading of the ANSI byte: the text field may hold any byte
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string Handle(HWND w) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "\"%llx\"", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w)));
    return buf;
}

std::string Rect(const RECT& r) {
    char buf[80];
    std::snprintf(buf, sizeof buf, "[%ld,%ld,%ld,%ld]", r.left, r.top, r.right, r.bottom);
    return buf;
}

// Questions a snapshot asked of a window that still exists and got no answer: a program that
// does not answer is reported as such, never as empty fields.
int g_unanswered = 0;

// Another process's control answers WM_GETTEXT through its own thread; a bounded wait keeps a
// busy program from hanging the probe.
bool Ask(HWND w, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result) {
    if (g_unanswered) return false;  // one silence fails the snapshot; no need to wait for more
    if (SendMessageTimeoutA(w, msg, wp, lp, SMTO_ABORTIFHUNG, 5000, result)) return true;
    if (IsWindow(w)) ++g_unanswered;  // a window gone meanwhile simply has nothing to say
    return false;
}

std::string Text(HWND w) {
    DWORD_PTR len = 0;
    if (!Ask(w, WM_GETTEXTLENGTH, 0, 0, &len)) return "";
    std::vector<char> buf(len + 2);
    DWORD_PTR got = 0;
    if (!Ask(w, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), &got)) return "";
    return std::string(buf.data(), got);
}

std::string ClassOf(HWND w) {
    char cls[128] = "";
    GetClassNameA(w, cls, sizeof cls);
    return cls;
}

bool IsClass(HWND w, const char* name) { return lstrcmpiA(ClassOf(w).c_str(), name) == 0; }

bool Topmost(HWND w) { return (GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// The converter window: captioned "Quendrix" and holding the Dec field. A message box of the
// program may carry the same caption, so the caption alone is not enough.
HWND FindMain() {
    for (HWND w = FindWindowA(nullptr, "Quendrix"); w; w = FindWindowExA(nullptr, w, nullptr, "Quendrix"))
        if (GetDlgItem(w, 1004)) return w;
    return nullptr;
}

std::string Pixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    if (c == CLR_INVALID) return "null";
    char buf[16];
    std::snprintf(buf, sizeof buf, "\"%02X%02X%02X\"", GetRValue(c), GetGValue(c), GetBValue(c));
    return buf;
}

std::string ControlJson(HWND c) {
    std::string cls = ClassOf(c);
    RECT r;
    GetWindowRect(c, &r);
    std::string out = "{\"class\":" + Quote(cls) + ",\"text\":" + Quote(Text(c)) +
                      ",\"enabled\":" + (IsWindowEnabled(c) ? "true" : "false") +
                      ",\"visible\":" + (IsWindowVisible(c) ? "true" : "false") + ",\"rect\":" + Rect(r) +
                      ",\"hwnd\":" + Handle(c);
    DWORD_PTR v = 0;
    if (lstrcmpiA(cls.c_str(), "Button") == 0 && Ask(c, BM_GETCHECK, 0, 0, &v))
        out += ",\"check\":" + std::to_string(v);
    if (lstrcmpiA(cls.c_str(), "Edit") == 0) {
        if (Ask(c, EM_GETMODIFY, 0, 0, &v)) out += std::string(",\"modified\":") + (v ? "true" : "false");
        if (Ask(c, EM_GETSEL, 0, 0, &v))
            out += ",\"sel\":[" + std::to_string(LOWORD(v)) + "," + std::to_string(HIWORD(v)) + "]";
    }
    return out + "}";
}

struct ChildList {
    std::string json;
    bool first = true;
    bool full = true;  // false: the converter window, whose controls are listed on their own
};

BOOL CALLBACK AddChild(HWND c, LPARAM lp) {
    auto* list = reinterpret_cast<ChildList*>(lp);
    if (!list->first) list->json += ",";
    list->first = false;
    std::string ctl;
    if (list->full) {
        ctl = ControlJson(c);
    } else {
        // Labels and the group box: their captions, without asking the program's thread.
        char caption[256] = "";
        GetWindowTextA(c, caption, sizeof caption);
        RECT r;
        GetWindowRect(c, &r);
        ctl = "{\"class\":" + Quote(ClassOf(c)) + ",\"text\":" + Quote(caption) + ",\"rect\":" + Rect(r) + "}";
    }
    list->json += "{\"id\":" + std::to_string(GetDlgCtrlID(c)) + ",\"ctl\":" + ctl + "}";
    return TRUE;
}

struct TopList {
    std::string json;
    bool first = true;
};

BOOL CALLBACK AddTop(HWND w, LPARAM lp) {
    if (!IsWindowVisible(w)) return TRUE;
    auto* list = reinterpret_cast<TopList*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == GetCurrentProcessId()) return TRUE;
    RECT r;
    GetWindowRect(w, &r);
    char caption[512] = "";
    GetWindowTextA(w, caption, sizeof caption);
    std::string item = "{\"hwnd\":" + Handle(w) + ",\"class\":" + Quote(ClassOf(w)) + ",\"caption\":" + Quote(caption) +
                       ",\"pid\":" + std::to_string(pid) + ",\"rect\":" + Rect(r) +
                       ",\"topmost\":" + (Topmost(w) ? "true" : "false") +
                       ",\"enabled\":" + (IsWindowEnabled(w) ? "true" : "false") +
                       ",\"owner\":" + Handle(GetWindow(w, GW_OWNER));
    // A tooltip's and a menu's text live in the control, not in the caption.
    if (IsClass(w, "tooltips_class32")) item += ",\"text\":" + Quote(Text(w));
    ChildList children;
    children.full = !GetDlgItem(w, 1004);
    EnumChildWindows(w, AddChild, reinterpret_cast<LPARAM>(&children));
    item += ",\"children\":[" + children.json + "]}";
    if (!list->first) list->json += ",";
    list->first = false;
    list->json += item;
    return TRUE;
}

std::string Registry() {
    std::string out = "{";
    HKEY maker = nullptr;
    bool makerExists = RegOpenKeyExA(HKEY_CURRENT_USER, kMakerKey, 0, KEY_READ, &maker) == ERROR_SUCCESS;
    if (maker) RegCloseKey(maker);
    out += std::string("\"maker\":") + (makerExists ? "true" : "false");
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProductKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return out + ",\"product\":false}";
    char cls[64] = "";
    DWORD clsLen = sizeof cls;
    RegQueryInfoKeyA(key, cls, &clsLen, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    out += ",\"product\":true,\"class\":" + Quote(std::string(cls, clsLen)) + ",\"values\":{";
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameLen = sizeof name, type = 0;
        BYTE data[64];
        DWORD size = sizeof data;
        if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
        if (i) out += ",";
        out += Quote(std::string(name, nameLen)) + ":{\"type\":" + std::to_string(type) + ",\"size\":" + std::to_string(size);
        if (size == 4) {
            DWORD dw;
            std::memcpy(&dw, data, 4);
            out += ",\"dword\":" + std::to_string(dw);
        }
        out += "}";
    }
    RegCloseKey(key);
    return out + "}}";
}

std::string Clipboard() {
    std::string text;
    bool have = false;
    for (int i = 0; i < 50 && !(have = OpenClipboard(nullptr)); ++i) Sleep(10);  // another process may hold it
    if (!have) return "null";
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) text = p;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return Quote(text);
}

bool SetClipboard(const std::string& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(GlobalLock(mem), text.c_str(), text.size() + 1);
    GlobalUnlock(mem);
    bool ok = SetClipboardData(CF_TEXT, mem) != nullptr;
    CloseClipboard();
    return ok;
}

std::string Snapshot() {
    g_unanswered = 0;
    std::string out = "{";
    HWND main = FindMain();
    if (main) {
        DWORD pid = 0;
        DWORD tid = GetWindowThreadProcessId(main, &pid);
        RECT r, client;
        GetWindowRect(main, &r);
        GetClientRect(main, &client);
        MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&client), 2);
        out += "\"main\":{\"hwnd\":" + Handle(main) + ",\"pid\":" + std::to_string(pid) + ",\"rect\":" + Rect(r) +
               ",\"client\":" + Rect(client) + ",\"topmost\":" + (Topmost(main) ? "true" : "false") +
               ",\"enabled\":" + (IsWindowEnabled(main) ? "true" : "false") +
               ",\"visible\":" + (IsWindowVisible(main) ? "true" : "false") +
               ",\"iconic\":" + (IsIconic(main) ? "true" : "false") + ",\"caption\":" + Quote(Text(main)) + "}";
        out += ",\"controls\":{";
        bool first = true;
        for (int id : kControls) {
            HWND c = GetDlgItem(main, id);
            if (!c) continue;
            if (!first) out += ",";
            first = false;
            out += "\"" + std::to_string(id) + "\":" + ControlJson(c);
        }
        out += "}";
        // The swatch as drawn: the screen pixel at its centre.
        if (HWND sw = GetDlgItem(main, kSwatch)) {
            RECT s;
            GetWindowRect(sw, &s);
            out += ",\"swatch_pixel\":" + Pixel((s.left + s.right) / 2, (s.top + s.bottom) / 2);
        }
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        if (GetGUIThreadInfo(tid, &gui)) {
            auto idOf = [&](HWND w) { return w && GetParent(w) == main ? GetDlgCtrlID(w) : 0; };
            HWND focusTop = gui.hwndFocus ? GetAncestor(gui.hwndFocus, GA_ROOT) : nullptr;
            out += ",\"gui\":{\"focus\":" + Handle(gui.hwndFocus) + ",\"focus_id\":" + std::to_string(idOf(gui.hwndFocus)) +
                   ",\"focus_ctl\":" + std::to_string(gui.hwndFocus ? GetDlgCtrlID(gui.hwndFocus) : 0) +
                   ",\"focus_class\":" + Quote(gui.hwndFocus ? ClassOf(gui.hwndFocus) : "") +
                   ",\"focus_top\":" + Handle(focusTop) + ",\"active\":" + Handle(gui.hwndActive) +
                   ",\"capture\":" + Handle(gui.hwndCapture) + ",\"capture_id\":" + std::to_string(idOf(gui.hwndCapture)) +
                   ",\"menu_owner\":" + Handle(gui.hwndMenuOwner) + ",\"flags\":" + std::to_string(gui.flags) + "}";
        }
    }
    // Keys and buttons held down as Wine sees them, for a failure's report.
    out += std::string(out.size() > 1 ? "," : "") + "\"held\":[";
    const std::pair<int, const char*> keys[] = {{VK_SHIFT, "Shift"}, {VK_CONTROL, "Ctrl"}, {VK_MENU, "Alt"},
                                                {VK_LBUTTON, "left"}, {VK_RBUTTON, "right"}, {VK_MBUTTON, "middle"}};
    bool firstKey = true;
    for (const auto& [vk, name] : keys)
        if (GetAsyncKeyState(vk) < 0) {
            out += std::string(firstKey ? "" : ",") + "\"" + name + "\"";
            firstKey = false;
        }
    out += "]";
    TopList tops;
    EnumWindows(AddTop, reinterpret_cast<LPARAM>(&tops));
    out += ",\"windows\":[" + tops.json + "]";
    out += ",\"registry\":" + Registry();
    if (g_unanswered) out += ",\"unanswered\":" + std::to_string(g_unanswered);
    return out + "}";
}

// The program's working set, and the counts of the counter window its soak build carries
// (GDI, USER, and of these the windows and menus, 16 bits each).
std::string Objects() {
    HWND main = FindMain();
    if (!main) return "{\"error\":\"no converter window\"}";
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    std::string out = "{";
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid)) {
        if (GetProcessMemoryInfo(process, &memory, sizeof memory))
            out += "\"working_set\":" + std::to_string(memory.WorkingSetSize) + ",";
        CloseHandle(process);
    }
    HWND counter = nullptr;
    for (HWND w = FindWindowExA(HWND_MESSAGE, nullptr, "QuendrixObjectCount", nullptr); w && !counter;
         w = FindWindowExA(HWND_MESSAGE, w, "QuendrixObjectCount", nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) counter = w;
    }
    DWORD_PTR counts = 0;
    if (!counter || !SendMessageTimeoutA(counter, WM_APP, 0, 0, SMTO_ABORTIFHUNG, 20000, &counts))
        return out + "\"error\":\"no answer from the program's object counter\"}";
    const auto field = [&](int shift) { return std::to_string((static_cast<unsigned long long>(counts) >> shift) & 0xFFFF); };
    return out + "\"gdi\":" + field(0) + ",\"user\":" + field(16) + ",\"windows\":" + field(32) +
           ",\"menus\":" + field(48) + "}";
}

bool ClearRegistry() {
    LSTATUS s = RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
    if (s == ERROR_SUCCESS || s == ERROR_FILE_NOT_FOUND) {
        RegDeleteKeyA(HKEY_CURRENT_USER, kMakerKey);
        return true;
    }
    return false;
}

// Plants one stored option as a previous run would have left it.
bool SetRegistry(const std::string& name, DWORD value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kProductKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

// HTML pages opened by the shell with the browser, as on a usual desktop and as the prepared
// prefix has it; a prefix an older suite left without it gets it back. Wine's shell reads the
// machine's classes only, so the association goes there.
bool AssociateHtml() {
    HKEY h = nullptr;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, ".htm", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr) != ERROR_SUCCESS)
        return false;
    const char type[] = "htmlfile";
    bool ok = RegSetValueExA(h, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(type), sizeof type) == ERROR_SUCCESS;
    RegCloseKey(h);
    return ok;
}

// Lets every other process's window handle what it has been sent: a window answers only from
// its message loop, where Wine first reads the X events waiting for it. After the pointer was
// let go over another program's window, that program resets the keyboard state Wine keeps from
// the keymap it was told of then; a key pressed before it has done so can lose its Alt.
BOOL CALLBACK SyncTop(HWND w, LPARAM) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    DWORD_PTR ignored = 0;
    if (pid != GetCurrentProcessId() && IsWindowVisible(w))
        SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
    return TRUE;
}

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            ++i;
            out += s[i] == 'n' ? '\n' : s[i] == 't' ? '\t' : s[i];
        } else {
            out += s[i];
        }
    }
    return out;
}

std::string Answer(const std::string& line) {
    std::string cmd = line.substr(0, line.find(' '));
    std::string rest = line.size() > cmd.size() ? line.substr(cmd.size() + 1) : "";
    if (cmd == "state") return Snapshot();
    if (cmd == "objects") return Objects();
    if (cmd == "clipboard") return "{\"clipboard\":" + Clipboard() + "}";
    if (cmd == "clip") return SetClipboard(Unescape(rest)) ? "{\"ok\":true}" : "{\"ok\":false}";
    if (cmd == "reg-clear") return ClearRegistry() ? "{\"ok\":true}" : "{\"ok\":false}";
    if (cmd == "reg-set") {
        size_t cut = rest.rfind(' ');
        if (cut == std::string::npos) return "{\"ok\":false}";
        DWORD value = static_cast<DWORD>(std::strtoul(rest.c_str() + cut + 1, nullptr, 0));
        return SetRegistry(rest.substr(0, cut), value) ? "{\"ok\":true}" : "{\"ok\":false}";
    }
    if (cmd == "sync") {
        EnumWindows(SyncTop, 0);
        return "{\"ok\":true}";
    }
    if (cmd == "htm-assoc") return AssociateHtml() ? "{\"ok\":true}" : "{\"ok\":false}";
    if (cmd == "pixel") {
        int x = 0, y = 0;
        std::sscanf(rest.c_str(), "%d %d", &x, &y);
        return "{\"pixel\":" + Pixel(x, y) + "}";
    }
    return "{\"error\":" + Quote("unknown command " + cmd) + "}";
}

}  // namespace

int main(int argc, char** argv) {
    std::string mode = argc > 1 ? argv[1] : "state";
    if (mode == "serve") {
        char buf[4096];
        while (std::fgets(buf, sizeof buf, stdin)) {
            std::string line = buf;
            while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
            if (line == "quit") break;
            std::string reply = Answer(line);
            std::fwrite(reply.data(), 1, reply.size(), stdout);
            std::fputc('\n', stdout);
            std::fflush(stdout);
        }
        return 0;
    }
    std::string line = mode;
    for (int i = 2; i < argc; ++i) line += std::string(" ") + argv[i];
    std::string reply = Answer(line);
    std::puts(reply.c_str());
    return reply.find("\"ok\":false") == std::string::npos && reply.find("\"error\"") == std::string::npos ? 0 : 1;
}
