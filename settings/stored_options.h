// The options as every front-end keeps them: seven values, by the names the registry gives them,
// read back only when whole, and written only while saving is on or was on at the start. The
// registry store, the page's storage and the Linux window's settings file all follow these.
#pragma once

#include "settings/settings.h"

#include <cstdint>

enum class Option : uint8_t { Size, Clear, Signed, Increment, ToolTips, StayOnTop, SaveOnExit };
constexpr int kOptionCount = 7;

// In the order they are written.
inline constexpr const char* kOptionNames[kOptionCount] = {"Size",      "Clear",       "Signed",      "Spin increment",
                                                           "Tool Tips", "Stay on top", "Save on exit"};

constexpr uint32_t OptionBit(Option option) { return 1u << static_cast<int>(option); }

// An option's 32 bits as stored (the increment's unsigned bits as they are).
int32_t OptionValue(const Settings& settings, Option option);
void SetOption(Settings& settings, Option option, int32_t value);
// An option read back at start; "Save on exit" also records that it was loaded so.
void LoadOption(Settings& settings, Option option, int32_t value);

// Which options a save writes, a bit per option: none while saving is off and was off at the
// start; only "Save on exit" when it was on and is off now, keeping the rest an earlier run
// stored; otherwise all.
uint32_t OptionsToSave(const Settings& settings);

// A stored option's text is a whole decimal number that 32 bits hold, signed or not: "-1" and
// "4294967295" are the same bits (the page writes the one, the Linux window the other). False
// for anything else (a sign alone, a plus, blanks, more than 32 bits), which leaves the option as
// it was, as a registry value of the wrong size does.
bool ReadStoredOption(const char* text, int32_t& value);
