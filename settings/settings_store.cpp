#include "settings/settings_store.h"

#include "platform/services.h"
#include "settings/stored_options.h"

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
    for (int i = 0; i < kOptionCount; ++i) {
        const Option option = static_cast<Option>(i);
        LoadOption(s, option, ReadRegDword(product, kOptionNames[i], OptionValue(s, option)));
    }
    RegCloseKey(product);
    RegCloseKey(maker);
    RegCloseKey(software);
}

void SaveSettings(const Settings& s, CWnd* reporter) {
    // Writing is opt-in: with saving never on, no key is even opened.
    const uint32_t toSave = OptionsToSave(s);
    if (!toSave) return;

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
    for (int i = 0; i < kOptionCount; ++i)
        if (toSave & (1u << i)) WriteRegDword(product, kOptionNames[i], OptionValue(s, static_cast<Option>(i)));
    RegCloseKey(product);
    RegCloseKey(maker);
    RegCloseKey(software);
}
