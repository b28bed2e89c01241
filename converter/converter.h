// The converter's rules without a window: what the start, a commit, a focus, a step, a wheel
// turn, a width or signedness click and a picked colour do to the value and to the five fields.
// CConverter owns the value, the options and the wheel's gathered delta; every front-end (the
// Win32 dialog, the page, the Linux window) runs it and shows its fields through CConverterView.
#pragma once

#include "engine/field.h"
#include "engine/number.h"
#include "settings/settings.h"

#include <cstdint>
#include <optional>

// A front-end's fields, Mode group, swatch and speaker.
class CConverterView {
public:
    // The field's whole text, valid until the next call; nullptr when the text has no reading in
    // the value's code page (a commit then refuses it).
    virtual const char* ReadField(Field field) = 0;
    // True once the user changed the field since the program last wrote it.
    virtual bool IsFieldModified(Field field) = 0;
    // A program write, made even when the field already shows the text: the field is unmodified
    // afterwards.
    virtual void WriteField(Field field, const char* text) = 0;
    // The low 24 bits of the value as 0x00RRGGBB.
    virtual void ShowColor(uint32_t rgb) = 0;
    // The Mode group as the options say at start: the width's button checked (none for a width
    // other than 1, 2 or 4), Signed and Clear set to their flags as they are.
    virtual void ShowMode(int32_t nSize, int32_t bSigned, int32_t bClear) = 0;
    // The IP field and the swatch, which mean something only at width 4.
    virtual void EnableIPAndColor(bool enable) = 0;
    // A refused text: one default beep.
    virtual void Refuse() = 0;

protected:
    ~CConverterView() = default;
};

class CConverter {
public:
    explicit CConverter(CConverterView& view);

    // The options as the front-end loaded them into Options(), applied once the controls exist:
    // signedness and width to the value, the Mode group, what width 4 alone enables. The fields
    // stay empty until the first refresh.
    void Start();

    const CNumber& Number() const { return m_number; }
    // The options record: defaults until a front-end loads its stored options into it; the
    // Settings dialog edits it in place.
    Settings& Options() { return m_settings; }
    const Settings& Options() const { return m_settings; }
    // What the wheel has turned short of a notch.
    int16_t WheelDelta() const { return m_nWheelDelta; }
    // The field that last received the focus, whose pending typing a step commits first.
    std::optional<Field> ActiveField() const { return m_active; }

    // Writes the five renderings into the fields, then the low 24 bits into the swatch.
    void Refresh();
    // Leaving a field: reads it and, when the user changed it, parses it into the value; then
    // refreshes. An empty field is left alone unless Clear is on.
    void Commit(Field field);
    // A field receiving the focus: emptied when Clear is on; it becomes the active field.
    void Enter(Field field);
    // Enter pressed in a field: it is left and entered again, so it is committed in place.
    void PressEnter(Field field);

    void SetWidth(int32_t nSize);
    void SetSigned(int32_t bSigned);
    // Takes effect the next time a field receives the focus.
    void SetClear(int32_t bClear);

    // One report of the up-down control (+1 up, -1 down): the increment times the delta.
    void Step(int32_t delta);
    // One wheel message; at most one step once a notch (120) has gathered. With the middle button
    // held the step is 1 whatever the increment.
    void Wheel(int16_t delta, bool middleButton);
    // A value from outside the fields (a picked colour, 0x00RRGGBB) becomes the whole value;
    // pending typing is overwritten.
    void SetValue(uint32_t value);

    // The IP field's rewrite: every comma of the text becomes a dot. False when there was none.
    static bool ReplaceCommas(char* begin, char* end);

    static constexpr int16_t kWheelNotch = 120;

private:
    // Text typed into the field that still has the focus becomes the value before a step.
    void CommitActive();

    CConverterView& m_view;
    CNumber m_number;
    Settings m_settings;
    int16_t m_nWheelDelta = 0;
    std::optional<Field> m_active;
};
