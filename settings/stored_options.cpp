#include "settings/stored_options.h"

#include "engine/text.h"

#include <cstddef>
#include <cstring>

namespace {

// Where each option lives in the record; all seven are 32 bits.
constexpr std::size_t kOffsets[kOptionCount] = {
    offsetof(Settings, nSize),     offsetof(Settings, bClear),     offsetof(Settings, bSigned),
    offsetof(Settings, nIncrement), offsetof(Settings, bToolTips), offsetof(Settings, bStayOnTop),
    offsetof(Settings, bSaveOnExit)};

}  // namespace

int32_t OptionValue(const Settings& settings, Option option) {
    int32_t value;
    std::memcpy(&value, reinterpret_cast<const char*>(&settings) + kOffsets[static_cast<int>(option)], sizeof value);
    return value;
}

void SetOption(Settings& settings, Option option, int32_t value) {
    std::memcpy(reinterpret_cast<char*>(&settings) + kOffsets[static_cast<int>(option)], &value, sizeof value);
}

void LoadOption(Settings& settings, Option option, int32_t value) {
    SetOption(settings, option, value);
    if (option == Option::SaveOnExit) settings.bSaveOnExitLoaded = value;
}

uint32_t OptionsToSave(const Settings& settings) {
    if (!settings.bSaveOnExit && !settings.bSaveOnExitLoaded) return 0;
    if (!settings.bSaveOnExit) return OptionBit(Option::SaveOnExit);
    return (1u << kOptionCount) - 1;
}

bool ReadStoredOption(const char* text, int32_t& value) {
    const bool negative = *text == '-';
    const char* p = negative ? text + 1 : text;
    const uint64_t limit = negative ? 0x80000000u : 0xFFFFFFFFu;
    uint64_t n = 0;
    const char* const end = text::ReadDigits(p, 10, limit + 1, n);
    if (end == p || *end || n > limit) return false;
    value = static_cast<int32_t>(static_cast<uint32_t>(negative ? 0 - n : n));
    return true;
}
