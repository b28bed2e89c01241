#include "settings/settings_store.h"

#include "platform/services.h"

namespace {

constexpr REGSAM kLoadAccess = KEY_READ;        // 0x20019
constexpr REGSAM kSaveAccess = KEY_ALL_ACCESS;  // 0xF003F

LONG CreateKey(HKEY parent, const char* name, HKEY* result) {
    char keyClass[] = "???";
    return RegCreateKeyExA(parent, name, 0, keyClass, REG_OPTION_NON_VOLATILE, kSaveAccess, nullptr, result,
                           nullptr);
}

}  // namespace

int32_t ReadRegDword(HKEY key, const char* name, int32_t fallback) {
    int32_t value = 0;
    DWORD size = sizeof value;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
        return fallback;
    // Shorter data also succeeds but fills only part of the buffer: count it as missing.
    return size == sizeof value ? value : fallback;
}

LONG WriteRegDword(HKEY key, const char* name, int32_t value) {
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void LoadSettings(Settings& s) {
    HKEY software = nullptr, maker = nullptr, product = nullptr;
    if (platform::OpenRegistryKey(HKEY_CURRENT_USER, "Software", kLoadAccess, &software) != ERROR_SUCCESS) return;
    if (platform::OpenRegistryKey(software, "Holvanta", kLoadAccess, &maker) != ERROR_SUCCESS) {
        RegCloseKey(software);
        return;
    }
    if (platform::OpenRegistryKey(maker, "Quendrix", kLoadAccess, &product) != ERROR_SUCCESS) {
        RegCloseKey(maker);
        RegCloseKey(software);
        return;
    }
    // No range checks: each field takes what is stored.
    s.nSize = ReadRegDword(product, "Size", s.nSize);
    s.bClear = ReadRegDword(product, "Clear", s.bClear);
    s.bSigned = ReadRegDword(product, "Signed", s.bSigned);
    s.nIncrement = static_cast<uint32_t>(ReadRegDword(product, "Spin increment", static_cast<int32_t>(s.nIncrement)));
    s.bToolTips = ReadRegDword(product, "Tool Tips", s.bToolTips);
    s.bStayOnTop = ReadRegDword(product, "Stay on top", s.bStayOnTop);
    s.bSaveOnExit = ReadRegDword(product, "Save on exit", s.bSaveOnExit);
    s.bSaveOnExitLoaded = s.bSaveOnExit;
    RegCloseKey(product);
    RegCloseKey(maker);
    RegCloseKey(software);
}

void SaveSettings(const Settings& s, CWnd* reporter) {
    // Writing is opt-in: with saving never on, no key is even opened.
    if (!s.bSaveOnExit && !s.bSaveOnExitLoaded) return;

    auto report = [reporter](const char* text) {
        if (reporter) reporter->MessageBox(text);
    };
    HKEY software = nullptr, maker = nullptr, product = nullptr;
    if (platform::OpenRegistryKey(HKEY_CURRENT_USER, "Software", kSaveAccess, &software) != ERROR_SUCCESS) {
        report("Couldn't open 'Software' key");
        return;
    }
    if (CreateKey(software, "Holvanta", &maker) != ERROR_SUCCESS) {
        report("Couldn't open 'Holvanta' key");
        RegCloseKey(software);
        return;
    }
    if (CreateKey(maker, "Quendrix", &product) != ERROR_SUCCESS) {
        report("Couldn't open 'Quendrix' key");
        RegCloseKey(maker);
        RegCloseKey(software);
        return;
    }
    // Saving switched off keeps the options an earlier run stored; only the switch is written.
    if (s.bSaveOnExit) {
        WriteRegDword(product, "Size", s.nSize);
        WriteRegDword(product, "Clear", s.bClear);
        WriteRegDword(product, "Signed", s.bSigned);
        WriteRegDword(product, "Spin increment", static_cast<int32_t>(s.nIncrement));
        WriteRegDword(product, "Tool Tips", s.bToolTips);
        WriteRegDword(product, "Stay on top", s.bStayOnTop);
    }
    WriteRegDword(product, "Save on exit", s.bSaveOnExit);
    RegCloseKey(product);
    RegCloseKey(maker);
    RegCloseKey(software);
}
