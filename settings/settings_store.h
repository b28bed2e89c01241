// The options' registry home: HKEY_CURRENT_USER\Software\Holvanta\Quendrix, seven REG_DWORD
// values. Loading only opens keys and never reports; saving is opt-in and reports a key it
// cannot open with a plain message box, then gives up.
#pragma once

#include "platform/window.h"
#include "settings/settings.h"

#include <cstdint>

// A value of exactly 4 bytes, of any type, as a number; anything else (missing, shorter,
// longer) gives `fallback`.
int32_t ReadRegDword(HKEY key, const char* name, int32_t fallback);
// Writes a 4-byte REG_DWORD; returns the registry status.
LONG WriteRegDword(HKEY key, const char* name, int32_t value);

// Replaces each field found in the registry; the others keep what they hold.
void LoadSettings(Settings& settings);
// Writes the options when saving is on, or only "Save on exit" = 0 when it was on at load and
// is off now; a key that cannot be opened is reported through `reporter`'s message box, or not
// at all without a reporter.
void SaveSettings(const Settings& settings, CWnd* reporter);
