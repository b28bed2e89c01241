// The options' registry load and save, through the real window and the real registry of the test's
// prefix: what a stored state makes the window show, and what a run leaves stored.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include "res/resource.h"
#include "tests/support/ui_driver.h"
#include "ui/converter_dialog.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

using namespace uitest;

namespace {

constexpr char kMakerPath[] = "Software\\Holvanta";
constexpr char kProductPath[] = "Software\\Holvanta\\Quendrix";

// Every test starts without the maker's key and leaves none behind.
struct RegistryGuard {
    RegistryGuard() { Remove(); }
    ~RegistryGuard() { Remove(); }
    static void Remove() { RegDeleteTreeA(HKEY_CURRENT_USER, kMakerPath); }
};

bool KeyExists(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string KeyClass(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    char cls[64] = "";
    DWORD length = sizeof cls;
    LONG status = RegQueryInfoKeyA(key, cls, &length, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::string(cls, length) : "<no class>";
}

struct RawValue {
    DWORD type;
    std::vector<BYTE> data;
};

RawValue Dword(uint32_t v) {
    return {REG_DWORD, {BYTE(v), BYTE(v >> 8), BYTE(v >> 16), BYTE(v >> 24)}};
}

struct NamedValue {
    const char* name;
    RawValue value;
};

// Creates the keys and stores the values as given.
void Seed(const std::vector<NamedValue>& values) {
    HKEY key;
    REQUIRE(RegCreateKeyExA(HKEY_CURRENT_USER, kProductPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
            ERROR_SUCCESS);
    for (const NamedValue& v : values)
        REQUIRE(RegSetValueExA(key, v.name, 0, v.value.type, v.value.data.data(),
                               static_cast<DWORD>(v.value.data.size())) == ERROR_SUCCESS);
    RegCloseKey(key);
}

std::optional<RawValue> Stored(const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProductPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    RawValue v{0, std::vector<BYTE>(64)};
    DWORD size = static_cast<DWORD>(v.data.size());
    LONG status = RegQueryValueExA(key, name, nullptr, &v.type, v.data.data(), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return std::nullopt;
    v.data.resize(size);
    return v;
}

DWORD ValueCount() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kProductPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return 0;
    DWORD count = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return count;
}

// "REG_DWORD 7" for a 4-byte REG_DWORD, otherwise the type and bytes; "missing" when absent.
std::string Describe(const std::optional<RawValue>& v) {
    if (!v) return "missing";
    if (v->type == REG_DWORD && v->data.size() == 4) {
        uint32_t n;
        std::memcpy(&n, v->data.data(), 4);
        return "REG_DWORD " + std::to_string(n);
    }
    std::string s = "type " + std::to_string(v->type) + ":";
    for (BYTE b : v->data) s += " " + std::to_string(b);
    return s;
}

std::string Dw(uint32_t n) { return "REG_DWORD " + std::to_string(n); }

const char* const kValueNames[] = {"Size", "Clear", "Signed", "Spin increment", "Tool Tips", "Stay on top",
                                   "Save on exit"};

// The seven stored values, as Describe shows them, in the program's order.
std::vector<std::string> StoredOptions() {
    std::vector<std::string> all;
    for (const char* name : kValueNames) all.push_back(Describe(Stored(name)));
    return all;
}

std::string Show(const Settings& s) {
    return "size " + std::to_string(s.nSize) + ", clear " + std::to_string(s.bClear) + ", signed " +
           std::to_string(s.bSigned) + ", increment " + std::to_string(s.nIncrement) + ", tooltips " +
           std::to_string(s.bToolTips) + ", top " + std::to_string(s.bStayOnTop) + ", save " +
           std::to_string(s.bSaveOnExit) + ", loaded " + std::to_string(s.bSaveOnExitLoaded);
}

// Records every key the program opens, and refuses full access to "Software" when asked to,
// as a hive that may be read but not written would.
class RegistryServices : public RecordingServices {
public:
    bool softwareReadOnly = false;
    struct Open {
        std::string name;
        REGSAM access;
    };
    std::vector<Open> opens;

    LONG OpenRegistryKey(HKEY parent, const char* name, REGSAM access, HKEY* result) override {
        opens.push_back({name, access});
        if (softwareReadOnly && std::string(name) == "Software" && (access & KEY_SET_VALUE))
            return ERROR_ACCESS_DENIED;
        return RecordingServices::OpenRegistryKey(parent, name, access, result);
    }
    bool OpenedForWriting() const {
        for (const Open& o : opens)
            if (o.access & KEY_SET_VALUE) return true;
        return false;
    }
};

// One run of the real window: plays `script` in a fresh dialog, which is destroyed (and saves)
// before the constructor returns. `loaded` holds the options the window started with.
struct Run {
    RegistryServices services;
    Settings finalSettings{};
    Settings loaded{};

    explicit Run(const std::function<void(CConverterDlg&, HWND)>& script, bool softwareReadOnly = false) {
        services.softwareReadOnly = softwareReadOnly;
        CConverterDlg dlg;
        RunModal(dlg, [&](HWND h) {
            loaded = dlg.Converter().Options();
            script(dlg, h);
            finalSettings = dlg.Converter().Options();
        });
    }
};

void Nothing(CConverterDlg&, HWND) {}

// One wheel notch, delivered to the window as a focused control hands it on.
void WheelNotch(HWND dlg, short delta) {
    SendMessageA(dlg, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
    Pump();
}

struct Window {
    bool longChecked, wordChecked, charChecked, signedChecked, clearChecked, ipEnabled, swatchEnabled;
};

void CheckWindow(HWND dlg, const Window& want) {
    CHECK(Checked(dlg, IDC_LONG) == want.longChecked);
    CHECK(Checked(dlg, IDC_WORD) == want.wordChecked);
    CHECK(Checked(dlg, IDC_CHAR) == want.charChecked);
    CHECK(Checked(dlg, IDC_SIGNED) == want.signedChecked);
    CHECK(Checked(dlg, IDC_CLEAR) == want.clearChecked);
    CHECK(Enabled(dlg, IDC_IP) == want.ipEnabled);
    CHECK(Enabled(dlg, IDC_COLOR) == want.swatchEnabled);
}

constexpr Window kDefaultWindow{true, false, false, true, false, true, true};

}  // namespace

TEST_CASE("without stored options the window starts with the defaults and a run stores nothing") {
    struct Row {
        const char* name;
        bool makerKey;
    };
    for (const Row& row : {Row{"no maker's key", false}, Row{"maker's key without the product key", true}}) {
        CAPTURE(std::string(row.name));
        RegistryGuard guard;
        if (row.makerKey) {
            HKEY key;
            REQUIRE(RegCreateKeyExA(HKEY_CURRENT_USER, kMakerPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                    nullptr) == ERROR_SUCCESS);
            RegCloseKey(key);
        }
        Run run([](CConverterDlg&, HWND dlg) { CheckWindow(dlg, kDefaultWindow); });
        CHECK(Show(run.loaded) == Show(kDefaultSettings));
        CHECK(KeyExists(kMakerPath) == row.makerKey);
        CHECK_FALSE(KeyExists(kProductPath));
        CHECK_FALSE(run.services.OpenedForWriting());
        CHECK(run.services.boxes.empty());
    }
}

TEST_CASE("loading opens the three keys for reading only") {
    RegistryGuard guard;
    Seed({{"Size", Dword(2)}});
    Run run(Nothing);
    REQUIRE(run.services.opens.size() == 3);
    const char* names[] = {"Software", "Holvanta", "Quendrix"};
    for (size_t i = 0; i < 3; ++i) {
        CHECK(run.services.opens[i].name == names[i]);
        CHECK(run.services.opens[i].access == 0x20019u);
    }
}

TEST_CASE("switching saving on creates the keys with class ??? and stores seven REG_DWORD values") {
    // (Wine's registry also gives an existing key the class passed when it is opened this way,
    // so only keys the run created show whose they are.)
    struct Row {
        const char* name;
        bool makerKeyBefore;
    };
    const Row rows[] = {{"no keys before", false}, {"maker's key already there", true}};
    for (const Row& row : rows) {
        CAPTURE(std::string(row.name));
        RegistryGuard guard;
        if (row.makerKeyBefore) {
            HKEY key;
            REQUIRE(RegCreateKeyExA(HKEY_CURRENT_USER, kMakerPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                    nullptr) == ERROR_SUCCESS);
            RegCloseKey(key);
        }
        Run run([](CConverterDlg& d, HWND dlg) {
            Click(GetDlgItem(dlg, IDC_CHAR));
            Click(GetDlgItem(dlg, IDC_SIGNED));
            d.Converter().Options().nIncrement = 0x8000000;
            d.Converter().Options().bToolTips = 0;
            d.Converter().Options().bSaveOnExit = 1;
        });
        if (!row.makerKeyBefore) CHECK(KeyClass(kMakerPath) == "???");
        CHECK(KeyClass(kProductPath) == "???");
        CHECK(ValueCount() == 7);
        CHECK(StoredOptions() == std::vector<std::string>{Dw(1), Dw(0), Dw(0), Dw(0x8000000), Dw(0), Dw(1), Dw(1)});
        CHECK(run.services.boxes.empty());
    }
}

TEST_CASE("what the two save flags make of the end of a run") {
    // Stored beforehand: options that differ from every default, and "Save on exit" as given.
    struct Row {
        const char* name;
        int32_t storedSave;  // -1: no "Save on exit" value
        int32_t saveAtEnd;
        std::vector<std::string> after;
    };
    const std::string missing = "missing";
    const Row rows[] = {
        {"no Save on exit value, left off: nothing written", -1, 0,
         {Dw(2), Dw(1), Dw(0), Dw(5), Dw(0), Dw(0), missing}},
        {"no Save on exit value, switched on: all written", -1, 1,
         {Dw(4), Dw(1), Dw(0), Dw(5), Dw(0), Dw(0), Dw(1)}},
        {"stored 0, left off: nothing written", 0, 0, {Dw(2), Dw(1), Dw(0), Dw(5), Dw(0), Dw(0), Dw(0)}},
        {"stored 1, left on: all written", 1, 1, {Dw(4), Dw(1), Dw(0), Dw(5), Dw(0), Dw(0), Dw(1)}},
        {"stored 1, switched off: only Save on exit = 0", 1, 0, {Dw(2), Dw(1), Dw(0), Dw(5), Dw(0), Dw(0), Dw(0)}},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.name));
        RegistryGuard guard;
        std::vector<NamedValue> seed = {{"Size", Dword(2)},           {"Clear", Dword(1)},     {"Signed", Dword(0)},
                                        {"Spin increment", Dword(5)}, {"Tool Tips", Dword(0)}, {"Stay on top", Dword(0)}};
        if (row.storedSave >= 0) seed.push_back({"Save on exit", Dword(static_cast<uint32_t>(row.storedSave))});
        Seed(seed);
        Run run([&](CConverterDlg& d, HWND dlg) {
            CheckWindow(dlg, {false, true, false, false, true, false, false});
            Click(GetDlgItem(dlg, IDC_LONG));  // a change that shows whether the options were written
            d.Converter().Options().bSaveOnExit = row.saveAtEnd;
        });
        CHECK(run.loaded.bSaveOnExit == (row.storedSave > 0));
        CHECK(run.loaded.bSaveOnExitLoaded == run.loaded.bSaveOnExit);
        CHECK(StoredOptions() == row.after);
        CHECK(run.services.OpenedForWriting() == (row.storedSave > 0 || row.saveAtEnd));
    }
}

TEST_CASE("after saving is switched off the next start still loads the options stored earlier") {
    RegistryGuard guard;
    Seed({{"Size", Dword(1)},
          {"Clear", Dword(1)},
          {"Signed", Dword(0)},
          {"Spin increment", Dword(9)},
          {"Tool Tips", Dword(0)},
          {"Stay on top", Dword(0)},
          {"Save on exit", Dword(1)}});
    Run first([](CConverterDlg& d, HWND dlg) {
        Click(GetDlgItem(dlg, IDC_WORD));
        Click(GetDlgItem(dlg, IDC_SIGNED));
        d.Converter().Options().bSaveOnExit = 0;
    });
    Run second([](CConverterDlg&, HWND dlg) { CheckWindow(dlg, {false, false, true, false, true, false, false}); });
    CHECK(Show(second.loaded) == Show(Settings{1, 1, 0, 9, 0, 0, 0, 0}));
    CHECK_FALSE(second.services.OpenedForWriting());
}

TEST_CASE("a stored width of 3 checks no width button and is written back unchanged") {
    RegistryGuard guard;
    Seed({{"Size", Dword(3)}, {"Save on exit", Dword(1)}});
    Run run([](CConverterDlg&, HWND dlg) {
        CheckWindow(dlg, {false, false, false, true, false, false, false});
        Type("-70000");
        Key(VK_TAB);
        // The value record keeps its 4-byte width.
        CHECK(Text(dlg, IDC_HEX) == "FFFEEE90");
        CHECK(Text(dlg, IDC_DEC) == "-70000");
        CHECK(Text(dlg, IDC_BIN) == "11111111 11111110 11101110 10010000");
    });
    CHECK(run.loaded.nSize == 3);
    CHECK(Describe(Stored("Size")) == Dw(3));
}

TEST_CASE("a stored increment is taken without a range test") {
    struct Row {
        uint32_t stored;
        const char* decAfterOneNotch;
    };
    for (const Row& row : {Row{0, "0"}, Row{0x8000001, "134217729"}, Row{4294967295u, "-1"}}) {
        CAPTURE(row.stored);
        RegistryGuard guard;
        Seed({{"Spin increment", Dword(row.stored)}});
        Run run([&](CConverterDlg&, HWND dlg) {
            WheelNotch(dlg, WHEEL_DELTA);
            CHECK(Text(dlg, IDC_DEC) == std::string(row.decAfterOneNotch));
        });
        CHECK(run.loaded.nIncrement == row.stored);
    }
}

TEST_CASE("only a value of exactly four bytes is taken, whatever its type") {
    struct Row {
        const char* name;
        RawValue stored;
        int32_t size;  // the width the window then starts with
    };
    auto bytes = [](DWORD type, std::vector<BYTE> data) { return RawValue{type, std::move(data)}; };
    const Row rows[] = {
        {"REG_DWORD 2", Dword(2), 2},
        {"4-byte REG_BINARY", bytes(REG_BINARY, {1, 0, 0, 0}), 1},
        {"4-byte string \"ab\\0\\0\" as a number", bytes(REG_SZ, {'a', 'b', 0, 0}), 0x6261},
        {"string of four characters (5 bytes)", bytes(REG_SZ, {'2', '2', '2', '2', 0}), 4},
        {"8-byte number", bytes(REG_QWORD, {2, 0, 0, 0, 0, 0, 0, 0}), 4},
        {"5-byte REG_BINARY", bytes(REG_BINARY, {2, 0, 0, 0, 0}), 4},
        // Shorter data would fill only part of the field: such a value counts as missing.
        {"empty REG_BINARY", bytes(REG_BINARY, {}), 4},
        {"1-byte REG_BINARY", bytes(REG_BINARY, {2}), 4},
        {"2-byte REG_BINARY", bytes(REG_BINARY, {1, 0}), 4},
        {"3-byte REG_DWORD", bytes(REG_DWORD, {2, 0, 0}), 4},
        {"1-character string (2 bytes)", bytes(REG_SZ, {'2', 0}), 4},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.name));
        RegistryGuard guard;
        Seed({{"Size", row.stored}, {"Signed", row.stored}});
        Run run([&](CConverterDlg&, HWND dlg) {
            CHECK(Checked(dlg, IDC_LONG) == (row.size == 4));
            CHECK(Checked(dlg, IDC_WORD) == (row.size == 2));
            CHECK(Checked(dlg, IDC_CHAR) == (row.size == 1));
            CHECK(Enabled(dlg, IDC_IP) == (row.size == 4));
        });
        CHECK(run.loaded.nSize == row.size);
        // "Signed" read from the same data: taken, or left at its default of 1.
        CHECK(run.loaded.bSigned == (row.size == 4 ? 1 : row.size));
    }
}

TEST_CASE("a 'Software' key that cannot be opened for writing is reported and nothing is written") {
    struct Row {
        const char* name;
        bool stored;       // options stored beforehand, "Save on exit" 1
        int32_t saveAtEnd;
    };
    const Row rows[] = {{"saving on at start, switched off", true, 0},
                        {"saving on at start and end", true, 1},
                        {"nothing stored, saving switched on", false, 1}};
    for (const Row& row : rows) {
        CAPTURE(std::string(row.name));
        RegistryGuard guard;
        if (row.stored) Seed({{"Size", Dword(2)}, {"Save on exit", Dword(1)}});
        Run run(
            [&](CConverterDlg& d, HWND dlg) {
                CHECK(Checked(dlg, IDC_WORD) == row.stored);  // loading is not affected
                Click(GetDlgItem(dlg, IDC_CHAR));
                d.Converter().Options().bSaveOnExit = row.saveAtEnd;
            },
            true);
        REQUIRE(run.services.boxes.size() == 1);
        const RecordingServices::Box& box = run.services.boxes[0];
        CHECK(box.text == "Couldn't open 'Software' key");
        CHECK(box.owner == nullptr);  // the window is gone by then
        CHECK(box.caption == "settings_test");
        CHECK(box.type == static_cast<UINT>(MB_OK));
        if (row.stored) {
            CHECK(StoredOptions() == std::vector<std::string>{Dw(2), "missing", "missing", "missing", "missing",
                                                              "missing", Dw(1)});
        } else {
            CHECK_FALSE(KeyExists(kMakerPath));
        }
    }
}

TEST_CASE("the end of the session saves the options as the end of the run would, once and without a box") {
    const std::vector<std::string> none(7, "missing");
    const std::vector<std::string> all = {Dw(2), Dw(0), Dw(1), Dw(1), Dw(1), Dw(1), Dw(1)};
    std::vector<std::string> allChar = all;
    allChar[0] = Dw(1);
    struct Row {
        const char* name;
        int32_t saveOnExit;
        BOOL ending;  // FALSE: another program refused, the session goes on
        LPARAM how;
        bool softwareReadOnly;
        bool changeAfter;  // Char clicked after the end of the session
        std::vector<std::string> atSessionEnd, afterDestructor;
    };
    const Row rows[] = {
        {"saving on: stored as the session ends, not again", 1, TRUE, ENDSESSION_LOGOFF, false, false, all, none},
        {"saving off: nothing stored", 0, TRUE, ENDSESSION_LOGOFF, false, false, none, none},
        {"the end cancelled: stored at the end of the run instead", 1, FALSE, ENDSESSION_LOGOFF, false, false, none,
         all},
        {"a 'Software' key that cannot be written: no box, nothing stored", 1, TRUE, ENDSESSION_LOGOFF, true, false,
         none, none},
        {"closed for an update, the run goes on: a later change stored at its end", 1, TRUE, ENDSESSION_CLOSEAPP,
         false, true, all, allChar},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.name));
        RegistryGuard guard;
        std::vector<std::string> atSessionEnd;
        Run run(
            [&](CConverterDlg& d, HWND dlg) {
                Click(GetDlgItem(dlg, IDC_WORD));
                d.Converter().Options().bSaveOnExit = row.saveOnExit;
                CHECK(SendMessageA(dlg, WM_QUERYENDSESSION, 0, row.how) != 0);
                SendMessageA(dlg, WM_ENDSESSION, row.ending, row.how);
                atSessionEnd = StoredOptions();
                RegistryGuard::Remove();  // whatever the dialog stores later shows
                if (row.changeAfter) Click(GetDlgItem(dlg, IDC_CHAR));
            },
            row.softwareReadOnly);
        CHECK(atSessionEnd == row.atSessionEnd);
        CHECK(StoredOptions() == row.afterDestructor);
        CHECK(run.services.boxes.empty());
    }
}

TEST_CASE("a dialog whose window never opened saves nothing") {
    RegistryGuard guard;
    RegistryServices services;
    { CConverterDlg dlg; }
    CHECK(services.opens.empty());
    CHECK(services.boxes.empty());
    CHECK_FALSE(KeyExists(kMakerPath));
}

TEST_CASE("round trip: every option is found as the previous run left it") {
    RegistryGuard guard;
    Run first([](CConverterDlg& d, HWND dlg) {
        Click(GetDlgItem(dlg, IDC_WORD));
        Click(GetDlgItem(dlg, IDC_SIGNED));
        Click(GetDlgItem(dlg, IDC_CLEAR));
        d.Converter().Options().nIncrement = 300;
        d.Converter().Options().bToolTips = 0;
        d.Converter().Options().bStayOnTop = 0;
        d.Converter().Options().bSaveOnExit = 1;
    });
    Run second([](CConverterDlg&, HWND dlg) {
        CheckWindow(dlg, {false, true, false, false, true, false, false});
        // Unsigned, 2 bytes wide, stepping by 300: one notch down from 0 shows 65236.
        WheelNotch(dlg, -WHEEL_DELTA);
        CHECK(Text(dlg, IDC_DEC) == "65236");
        CHECK(Text(dlg, IDC_HEX) == "FED4");
    });
    CHECK(Show(second.loaded) == Show(Settings{2, 1, 0, 300, 0, 0, 1, 1}));
    Settings left = first.finalSettings;
    left.bSaveOnExitLoaded = left.bSaveOnExit;
    CHECK(Show(second.loaded) == Show(left));
}
