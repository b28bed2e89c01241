// The straightforward way to qx's output, to measure qx against: each line read with fgets and
// strtoul, the five renderings printed with printf. For decimal and 0x values it writes the same
// bytes as qx (the window's block, or with --json the JSON objects), which the bench checks.
#include "engine/text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void PrintText(uint32_t v, bool json)
{
    int shift = 24;
    while (shift > 0 && ((v >> shift) & 0xFF) == 0)
        shift -= 8;
    for (; shift >= 0 && ((v >> shift) & 0xFF) != 0; shift -= 8) {
        const unsigned b = (v >> shift) & 0xFF;
        const uint32_t cp = text::CodePoint(static_cast<unsigned char>(b));
        char utf8[4] = {};
        text::EncodeUtf8(utf8, cp);
        // Controls, DEL, C1, the no-break space and the soft hyphen are escaped.
        const bool hidden = cp < 0x20 || (cp >= 0x7F && cp < 0xA0) || cp == 0xA0 || cp == 0xAD;
        if (json) {
            if (b == '"' || b == '\\')
                std::printf("\\%c", b);
            else if (b == '\b' || b == '\f' || b == '\n' || b == '\r' || b == '\t')
                std::printf(b == '\b' ? "\\b" : b == '\f' ? "\\f" : b == '\n' ? "\\n" : b == '\r' ? "\\r" : "\\t");
            else if (hidden)
                std::printf("\\u%04X", cp);
            else
                std::printf("%s", utf8);
        } else if (hidden) {
            std::printf("\\x%02X", b);
        } else {
            std::printf("%s", b == '\\' ? "\\\\" : utf8);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const bool json = argc > 1 && std::strcmp(argv[1], "--json") == 0;
    char line[256];
    bool first = true;
    while (std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        if (!line[0])
            continue;
        const uint32_t v = static_cast<uint32_t>(std::strtoul(line, nullptr, 0));
        char bin[40];
        char* p = bin;
        int digits = 4;
        while (digits < 32 && (v >> digits) != 0)
            digits += 4;
        for (int i = digits - 1; i >= 0; --i) {
            *p++ = static_cast<char>('0' + ((v >> i) & 1));
            if (i % 8 == 0 && i > 0)
                *p++ = ' ';
        }
        *p = '\0';
        if (json) {
            std::printf("{\"input\": \"%s\", \"dec\": \"%d\", \"hex\": \"%X\", \"text\": \"", line,
                        static_cast<int32_t>(v), v);
            PrintText(v, true);
            std::printf("\", \"ip\": \"%u.%u.%u.%u\", \"bin\": \"%s\", \"color\": \"#%06X\"}\n", v >> 24,
                        (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF, bin, v & 0xFFFFFF);
            continue;
        }
        std::printf("%sDec   %d\nHex   %X\nText  ", first ? "" : "\n", static_cast<int32_t>(v), v);
        PrintText(v, false);
        std::printf("\nIP    %u.%u.%u.%u\nBin   %s\nColor #%06X\n", v >> 24, (v >> 16) & 0xFF,
                    (v >> 8) & 0xFF, v & 0xFF, bin, v & 0xFFFFFF);
        first = false;
    }
    return 0;
}
