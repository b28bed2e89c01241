#include "qt/options_file.h"

#include "settings/stored_options.h"

#include <QSettings>

#include <cstring>

void OptionsFile::Load(Settings& options) {
    QSettings file;
    for (int i = 0; i < kOptionCount; ++i) {
        const QVariant stored = file.value(QLatin1String(kOptionNames[i]));
        if (!stored.isValid()) continue;
        const QByteArray text = stored.toString().toUtf8();
        int32_t value = 0;
        // The file holds the bits unsigned: a minus sign is someone else's hand.
        if (text.startsWith('-') || !ReadStoredOption(text.constData(), value)) continue;
        LoadOption(options, static_cast<Option>(i), value);
    }
}

bool OptionsFile::Save(const Settings& options) {
    const uint32_t toSave = OptionsToSave(options);
    if (!toSave || (m_saved && std::memcmp(&m_lastSaved, &options, sizeof options) == 0)) return true;
    QSettings file;
    for (int i = 0; i < kOptionCount; ++i)
        if (toSave & OptionBit(static_cast<Option>(i)))
            file.setValue(QLatin1String(kOptionNames[i]),
                          QString::number(static_cast<uint32_t>(OptionValue(options, static_cast<Option>(i)))));
    file.sync();
    if (file.status() != QSettings::NoError) return false;
    m_saved = true;
    m_lastSaved = options;
    return true;
}

QString OptionsFile::Path() const { return QSettings().fileName(); }
