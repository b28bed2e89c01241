// The options in the user's settings file, $XDG_CONFIG_HOME/Holvanta/Quendrix.conf (Qt's
// QSettings): one key for each, named as the Windows program's registry values, holding the
// option's 32 bits as an unsigned decimal number.
#pragma once

#include "settings/settings.h"

#include <QString>

class OptionsFile {
public:
    // Replaces each option the file holds as a whole number; text, a negative number or one too
    // large for 32 bits leaves the option as it was.
    void Load(Settings& options);
    // Writes the options when saving is on, or only the switch when it was on at load and is off
    // now, unless they stand in the file as they are already. False when the file could not be
    // written; the options are kept, and the next save tries again.
    bool Save(const Settings& options);
    QString Path() const;

private:
    bool m_saved = false;
    Settings m_lastSaved{};
};
