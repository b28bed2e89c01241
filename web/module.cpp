// The page's side of the engine, compiled to WebAssembly: the converter's rules run on fields kept
// here, and the script only moves text between them and the page. Text crosses as UTF-8 through
// one buffer; the fields hold Windows-1252, the window's ANSI code page.
#include "converter/converter.h"
#include "engine/text.h"
#include "settings/stored_options.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#ifdef __wasm__
#define QX_EXPORT(name) extern "C" __attribute__((export_name(#name)))
#else
#define QX_EXPORT(name) extern "C"  // built natively for its test
#endif

namespace {

// As many characters as a window's edit field takes.
constexpr std::size_t kFieldChars = 32767;
// Each UTF-16 unit the page sends is at most three bytes of UTF-8.
constexpr std::size_t kBufferSize = 3 * kFieldChars + 1;

char g_buffer[kBufferSize];

// What changed since the script last asked: a bit per field written, then these.
constexpr uint32_t kColorChanged = 1u << kFieldCount;
constexpr uint32_t kEnabledChanged = kColorChanged << 1;
constexpr uint32_t kRefused = kEnabledChanged << 1;
constexpr uint32_t kModeChanged = kRefused << 1;

class CPageView final : public CConverterView {
public:
    const char* ReadField(Field field) override {
        const Text& t = m_fields[Index(field)];
        return t.readable ? t.bytes : nullptr;
    }
    bool IsFieldModified(Field field) override { return m_fields[Index(field)].modified; }
    void WriteField(Field field, const char* text) override {
        Text& t = m_fields[Index(field)];
        t.length = std::strlen(text);
        std::memcpy(t.bytes, text, t.length + 1);
        t.modified = false;
        t.readable = true;
        m_changes |= 1u << Index(field);
    }
    void ShowColor(uint32_t rgb) override {
        m_color = rgb;
        m_changes |= kColorChanged;
    }
    void ShowMode(int32_t, int32_t, int32_t) override { m_changes |= kModeChanged; }
    void EnableIPAndColor(bool enable) override {
        m_ipAndColorEnabled = enable;
        m_changes |= kEnabledChanged;
    }
    void Refuse() override { m_changes |= kRefused; }

    // The user's text for a field, UTF-8. In Text a character without a byte leaves the field
    // unreadable, as qx refuses it; elsewhere it reads as "?", as the window's ANSI text does.
    void Edit(Field field, const char* utf8, std::size_t length) {
        Text& t = m_fields[Index(field)];
        t.length = 0;
        t.readable = true;
        t.modified = true;
        text::Utf8ToCp1252(utf8, utf8 + length, [&t, field](int byte) {
            if (byte < 0 && field == Field::Text) t.readable = false;
            t.bytes[t.length++] = static_cast<char>(byte < 0 ? '?' : byte);
            return t.length < kFieldChars;
        });
        t.bytes[t.length] = '\0';
    }

    // The field as UTF-8 into `out`, which holds kBufferSize bytes; returns its length.
    std::size_t Show(Field field, char* out) const {
        const Text& t = m_fields[Index(field)];
        return static_cast<std::size_t>(text::Cp1252ToUtf8(t.bytes, t.length, out) - out);
    }

    char* Bytes(Field field) { return m_fields[Index(field)].bytes; }
    std::size_t Length(Field field) const { return m_fields[Index(field)].length; }

    uint32_t TakeChanges() {
        const uint32_t changes = m_changes;
        m_changes = 0;
        return changes;
    }
    uint32_t Color() const { return m_color; }
    bool IPAndColorEnabled() const { return m_ipAndColorEnabled; }

private:
    struct Text {
        char bytes[kFieldChars + 1];
        std::size_t length;
        bool modified;
        bool readable = true;
    };
    static std::size_t Index(Field field) { return static_cast<std::size_t>(IndexOf(field)); }

    Text m_fields[kFieldCount];
    uint32_t m_changes = 0;
    uint32_t m_color = 0;
    bool m_ipAndColorEnabled = true;
};

CPageView g_view;
CConverter g_converter(g_view);
Settings& g_options = g_converter.Options();

bool IsOption(int option) { return option >= 0 && option < kOptionCount; }
bool IsField(int field) { return field >= 0 && field < kFieldCount; }

}  // namespace

QX_EXPORT(qx_buffer) char* qx_buffer() { return g_buffer; }
QX_EXPORT(qx_buffer_size) uint32_t qx_buffer_size() { return kBufferSize; }

// ---- options, by the names the window's registry values have

QX_EXPORT(qx_option_count) int qx_option_count() { return kOptionCount; }
QX_EXPORT(qx_option_name) const char* qx_option_name(int option) {
    return IsOption(option) ? kOptionNames[option] : "";
}
QX_EXPORT(qx_option) int32_t qx_option(int option) {
    return IsOption(option) ? OptionValue(g_options, static_cast<Option>(option)) : 0;
}
// A stored option's text (UTF-8 in the buffer, `length` bytes) read at start; 1 when taken.
QX_EXPORT(qx_load_option) int qx_load_option(int option, uint32_t length) {
    if (!IsOption(option) || length >= kBufferSize) return 0;
    g_buffer[length] = '\0';
    int32_t value = 0;
    if (!ReadStoredOption(g_buffer, value)) return 0;
    LoadOption(g_options, static_cast<Option>(option), value);
    return 1;
}

// The loaded options applied, as the window's start does (a width other than 1, 2 or 4 leaves the
// value at 4, no width checked and the IP field and swatch disabled).
QX_EXPORT(qx_start) void qx_start() { g_converter.Start(); }

// Which options to store when the page is left, a bit per option. Stay on top has no meaning in
// a browser tab and is never stored.
QX_EXPORT(qx_options_to_save) uint32_t qx_options_to_save() {
    return OptionsToSave(g_options) & ~OptionBit(Option::StayOnTop);
}

// ---- the Settings dialog

// A check box's flag as the dialog opens: 0, 1 or 2 as it is, anything else becomes 0.
QX_EXPORT(qx_settings_shown_check) int32_t qx_settings_shown_check(int option) {
    if (!IsOption(option)) return 0;
    const int32_t shown = text::ShownCheck(qx_option(option));
    SetOption(g_options, static_cast<Option>(option), shown);
    return shown;
}

// OK with the increment's text (UTF-8 in the buffer) and the two check boxes: 0 when taken, or
// the length of the refusal message left in the buffer.
QX_EXPORT(qx_settings_ok) uint32_t qx_settings_ok(uint32_t length, int32_t toolTips, int32_t saveOnExit) {
    if (length >= kBufferSize) length = kBufferSize - 1;
    g_buffer[length] = '\0';
    uint32_t increment = 0;
    char refusal[64];
    if (!text::ReadUnsignedWithin(g_buffer, 1, kMaxIncrement, increment, refusal)) {
        std::memcpy(g_buffer, refusal, sizeof refusal);
        return static_cast<uint32_t>(std::strlen(g_buffer));
    }
    g_options.nIncrement = increment;
    g_options.bToolTips = toolTips;
    g_options.bSaveOnExit = saveOnExit;
    return 0;
}

// ---- the window's actions

// The user changed a field's text (UTF-8 in the buffer). Returns 1 when the IP field's commas were
// rewritten to dots: the script then shows the field again, its caret where it was.
QX_EXPORT(qx_edit) int qx_edit(int field, uint32_t length) {
    if (!IsField(field) || length >= kBufferSize) return 0;
    const Field f = static_cast<Field>(field);
    g_view.Edit(f, g_buffer, length);
    if (f != Field::IP) return 0;
    // The rewrite is the program's, but the typing it rewrote is still the user's change.
    return CConverter::ReplaceCommas(g_view.Bytes(f), g_view.Bytes(f) + g_view.Length(f)) ? 1 : 0;
}

QX_EXPORT(qx_leave) void qx_leave(int field) {
    if (IsField(field)) g_converter.Commit(static_cast<Field>(field));
}
QX_EXPORT(qx_focus) void qx_focus(int field) {
    if (IsField(field)) g_converter.Enter(static_cast<Field>(field));
}
QX_EXPORT(qx_enter_key) void qx_enter_key(int field) {
    if (IsField(field)) g_converter.PressEnter(static_cast<Field>(field));
}
QX_EXPORT(qx_width) void qx_width(int32_t size) { g_converter.SetWidth(size); }
QX_EXPORT(qx_signed) void qx_signed(int32_t on) { g_converter.SetSigned(on); }
QX_EXPORT(qx_clear) void qx_clear(int32_t on) { g_converter.SetClear(on); }
QX_EXPORT(qx_step) void qx_step(int32_t delta) { g_converter.Step(delta); }
QX_EXPORT(qx_wheel) void qx_wheel(int32_t delta, int32_t middleButton) {
    g_converter.Wheel(static_cast<int16_t>(delta), middleButton != 0);
}
QX_EXPORT(qx_pick) void qx_pick(uint32_t rgb) { g_converter.SetValue(rgb & 0x00FFFFFFu); }

// ---- what the page shows

// Bits of what changed since the last call: one per field written, the colour, the IP field's
// and swatch's enabled state, a refusal, the Mode group's checks (read them from the options).
QX_EXPORT(qx_changes) uint32_t qx_changes() { return g_view.TakeChanges(); }
// The field's text as UTF-8 in the buffer; returns its length.
QX_EXPORT(qx_field) uint32_t qx_field(int field) {
    return IsField(field) ? static_cast<uint32_t>(g_view.Show(static_cast<Field>(field), g_buffer)) : 0;
}
// The field that last received the focus, whose text a refusal was about; -1 before any.
QX_EXPORT(qx_active_field) int qx_active_field() {
    const std::optional<Field> field = g_converter.ActiveField();
    return field ? static_cast<int>(*field) : -1;
}
QX_EXPORT(qx_color) uint32_t qx_color() { return g_view.Color(); }
QX_EXPORT(qx_ip_and_color_enabled) int qx_ip_and_color_enabled() { return g_view.IPAndColorEnabled() ? 1 : 0; }

// ---- the value the page's address carries

// All 32 bits, whatever the width shows.
QX_EXPORT(qx_value) uint32_t qx_value() { return g_converter.Number().GetValue(); }
// A shared or bookmarked value: the whole value, shown at the width in force.
QX_EXPORT(qx_set_value) void qx_set_value(uint32_t value) { g_converter.SetValue(value); }
