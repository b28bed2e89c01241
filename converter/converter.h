// The converter's rules without a window: what a commit, a focus, a step, a wheel turn, a width
// or signedness click and a picked colour do to the value and to the five fields. The Win32
// dialog and the page both run them; each front-end supplies its fields through CConverterView.
#pragma once

#include "engine/number.h"
#include "settings/settings.h"

#include <cstdint>
#include <optional>

// The five edit fields, in tab order.
enum class Field : uint8_t { Dec, Hex, Text, IP, Bin };
constexpr int kFieldCount = 5;

// A front-end's fields, swatch and speaker.
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
    // The IP field, then the swatch: usable only at width 4.
    virtual void EnableLongOnly(bool enable) = 0;
    // A refused text: one default beep.
    virtual void Refuse() = 0;

protected:
    ~CConverterView() = default;
};

class CConverter {
public:
    // The value, options and wheel accumulator belong to the front-end; the converter only
    // applies the rules to them.
    CConverter(CConverterView& view, CNumber& number, Settings& settings, int16_t& wheelDelta);

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
    // A picked colour, 0x00RRGGBB, becomes the whole value; pending typing is overwritten.
    void PickColor(uint32_t rgb);

    // The IP field's rewrite: every comma of the text becomes a dot. False when there was none.
    static bool ReplaceCommas(char* begin, char* end);

    std::optional<Field> ActiveField() const { return m_active; }

    static constexpr int16_t kWheelNotch = 120;

private:
    // Text typed into the field that still has the focus becomes the value before a step.
    void CommitActive();

    CConverterView& m_view;
    CNumber& m_number;
    Settings& m_settings;
    int16_t& m_nWheelDelta;
    std::optional<Field> m_active;
};
