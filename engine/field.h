// The five fields of the value, said once for every front-end: their order (the window's tab
// order), their names, and the engine's parser and rendering of each.
#pragma once

#include "engine/number.h"

#include <cstdint>

enum class Field : uint8_t { Dec, Hex, Text, IP, Bin };
constexpr int kFieldCount = 5;

struct FieldForm {
    const char* name;                          // as the window labels the field
    int (*parse)(CNumber&, const char* text);  // 1 when the text was read into the value
    const char* (*render)(const CNumber&);
};

inline constexpr FieldForm kFieldForms[kFieldCount] = {
    {"Dec", [](CNumber& n, const char* t) { return n.ParseDec(t); }, [](const CNumber& n) { return n.GetDec(); }},
    {"Hex", [](CNumber& n, const char* t) { return n.ParseHex(t); }, [](const CNumber& n) { return n.GetHex(); }},
    {"Text", [](CNumber& n, const char* t) { return n.ParseText(t); }, [](const CNumber& n) { return n.GetText(); }},
    {"IP", [](CNumber& n, const char* t) { return n.ParseIP(t); }, [](const CNumber& n) { return n.GetIP(); }},
    {"Bin", [](CNumber& n, const char* t) { return n.ParseBin(t); }, [](const CNumber& n) { return n.GetBin(); }},
};

constexpr int IndexOf(Field field) { return static_cast<int>(field); }
constexpr const FieldForm& FormOf(Field field) { return kFieldForms[IndexOf(field)]; }
