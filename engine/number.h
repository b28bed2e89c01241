#pragma once

#include <cstdint>

// The converter's value: one 32-bit word, the width (1, 2 or 4 bytes) and signedness it is shown
// at, and its five renderings, recomputed by every change so that reading one costs nothing.
// The width narrows only the renderings; all 32 bits of the value are always kept.
class CNumber
{
public:
    // One of the five parsers below.
    using Parser = int (CNumber::*)(const char*);

    explicit CNumber(uint32_t nValue = 0);

    uint32_t GetValue() const;
    void SetValue(uint32_t nValue);

    const char* GetDec() const;
    const char* GetHex() const;
    const char* GetText() const;
    const char* GetIP() const;
    const char* GetBin() const;

    void SetSigned(int32_t bSigned);  // nonzero: Dec is shown signed
    void SetSize(int32_t nSize);      // 1, 2 or 4; any other width is ignored

    // Each returns 1 and stores the value the text spells, or 0 and changes nothing.
    int ParseDec(const char* text);
    int ParseHex(const char* text);
    int ParseText(const char* text);
    int ParseIP(const char* text);
    int ParseBin(const char* text);

private:
    // The engine tests reach the helpers below through this; nothing else uses it.
    friend struct CNumberProbe;

    void UpdateStrings();

    // src holds 1 to 32 base-2 digits; dst may be src.
    static void GroupBinary(const char* src, char* dst);
    static uint32_t ReadNumber(const char* text, int radix, const char** end);
    static uint32_t ReadPart(const char* text);
    static char* RemoveSpaces(char* text);
    static uint32_t TextToValue(const char* text);
    // ParseBin's reading of a text too long for its stack copy: spaces are skipped where they
    // stand instead of being removed first, with the same outcome.
    static int ReadSpacedBinary(const char* text, uint32_t* value);

    int32_t m_nValue;
    char m_szDec[16];
    char m_szHex[9];
    char m_szText[5];
    char m_szIP[16];
    char m_szBin[42];
    int32_t m_bSigned;
    int32_t m_nSize;
};
