// qx run whole, in-process, on a command line and standard input made of arbitrary bytes, with
// the streams in memory. Any broken rule prints which and aborts.
//
// The input: byte 0 sets the run's conditions (kTerminal...), byte 1 holds the number of
// arguments in its low four bits and in its high four whether a line just short of the input line
// limit goes in front of standard input; then each argument, ended by a NUL; the rest is
// standard input.
//
// The rules, on every run: the exit status is 0, 1 or 2; standard output and standard error are
// valid UTF-8 and every line ends with a newline; a usage error writes nothing to standard
// output; a failed read or write ends with 1; the arguments are given back as they were. With
// --json every output line is one JSON object, parsed by a JSON library, whose members are
// strings named exactly input, dec, hex, text, ip, bin, color or input, error; each accepted value,
// read again from its hex with -x at the same width and sign, gives the same dec, and its text,
// where the text spells the whole value, read with -t gives the same hex.
#include "cli/value_reader.h"
#include "cli/qx.h"
#include "cli/streams.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Byte 0.
constexpr uint8_t kTerminal = 1;     // standard output is a terminal
constexpr uint8_t kNoColor = 2;      // NO_COLOR=1
constexpr uint8_t kDumb = 4;         // TERM=dumb, else TERM=xterm
constexpr uint8_t kOutputFull = 8;   // every write to standard output fails
constexpr uint8_t kReadFails = 16;   // reading fails where the input ends
constexpr int kChunkShift = 5;       // bits 5-7: the most one read returns
constexpr std::size_t kChunks[] = {1 << 21, 1, 2, 3, 7, 64, 1000, 4096};
// Byte 1. The long line is seldom chosen, since it costs as much as a thousand short inputs;
// what follows it in the input decides where it ends.
constexpr uint8_t kArgumentMask = 15;
constexpr uint8_t kZerosInFront = 0xF0;
constexpr uint8_t kSpacesInFront = 0xE0;
constexpr std::size_t kLongLine = kLineLimit - 3;

[[noreturn]] void Broken(const char* rule, std::string_view detail)
{
    std::fprintf(stderr, "qx_fuzz: %s: ", rule);
    for (unsigned char c : detail.substr(0, 2000))
        std::fprintf(stderr, c >= 0x20 && c < 0x7F && c != '\\' ? "%c" : "\\x%02X", c);
    std::fprintf(stderr, "\n");
    std::abort();
}

void Require(bool ok, const char* rule, std::string_view detail = {})
{
    if (!ok)
        Broken(rule, detail);
}

struct Conditions
{
    uint8_t flags = 0;
    std::size_t chunk = 1 << 21;
    std::size_t longLine = 0;  // bytes in front of standard input
    char longLineByte = '0';
};

class MemoryStreams final : public Streams
{
public:
    MemoryStreams(const Conditions& c, std::string_view input) : m_c(c), m_input(input) {}

    bool IsTerminal(Stream stream) override { return stream == Out && (m_c.flags & kTerminal); }

    long Read(char* buffer, std::size_t size) override
    {
        std::size_t n = std::min(size, m_c.chunk);
        if (m_position < m_c.longLine) {
            n = std::min(n, m_c.longLine - m_position);
            std::memset(buffer, m_c.longLineByte, n);
        } else {
            const std::size_t at = m_position - m_c.longLine;
            n = std::min(n, m_input.size() - at);
            if (n == 0 && (m_c.flags & kReadFails)) {
                readFailed = true;
                m_error = "Input/output error";
                return -1;
            }
            if (n > 0)
                std::memcpy(buffer, m_input.data() + at, n);
        }
        m_position += n;
        return static_cast<long>(n);
    }

    bool Write(Stream stream, const char* data, std::size_t size) override
    {
        if (stream == Out && (m_c.flags & kOutputFull)) {
            writeFailed = true;
            m_error = "No space left on device";
            return false;
        }
        (stream == Out ? out : err).append(data, size);
        return true;
    }

    bool EnableColor() override { return true; }

    const char* Variable(const char* name) override
    {
        if (std::strcmp(name, "NO_COLOR") == 0)
            return m_c.flags & kNoColor ? "1" : nullptr;
        if (std::strcmp(name, "TERM") == 0)
            return m_c.flags & kDumb ? "dumb" : "xterm";
        return nullptr;
    }

    const char* LastError() override { return m_error; }

    std::string out, err;
    bool readFailed = false, writeFailed = false;

private:
    const Conditions& m_c;
    std::string_view m_input;
    std::size_t m_position = 0;
    const char* m_error = "no error";
};

struct Result
{
    int status;
    std::string out, err;
    bool readFailed, writeFailed;
};

Result Run(const std::vector<std::string>& arguments, const Conditions& conditions, std::string_view input)
{
    // Writable copies, as a process's own; each must be the same after the run.
    std::vector<std::string> copies = {"qx"};
    copies.insert(copies.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& s : copies)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    MemoryStreams streams(conditions, input);
    const int status = RunQx(static_cast<int>(copies.size()), argv.data(), streams);
    for (std::size_t i = 0; i < arguments.size(); ++i)
        Require(std::strcmp(argv[i + 1], arguments[i].c_str()) == 0, "an argument was not given back",
                arguments[i]);
    return {status, std::move(streams.out), std::move(streams.err), streams.readFailed, streams.writeFailed};
}

// Well-formed UTF-8: no stray continuation byte, no overlong form, no surrogate, nothing past
// U+10FFFF.
bool IsUtf8(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        std::size_t n;
        uint32_t cp, least;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            n = 2, cp = c & 0x1F, least = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            n = 3, cp = c & 0x0F, least = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            n = 4, cp = c & 0x07, least = 0x10000;
        } else {
            return false;
        }
        if (s.size() - i < n)
            return false;
        for (std::size_t k = 1; k < n; ++k) {
            const unsigned char d = static_cast<unsigned char>(s[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            cp = cp << 6 | (d & 0x3F);
        }
        if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000))
            return false;
        i += n;
    }
    return true;
}

void CheckText(const std::string& s, const char* name)
{
    Require(IsUtf8(s), name, s);
    Require(s.empty() || s.back() == '\n', name, s);
}

// What the command line asks for, as its documentation says; only read where qx accepted it.
struct Asked
{
    bool json = false;
    bool helpOrVersion = false;
    std::string width = "4";
    bool isSigned = true;
};

Asked ReadAsked(const std::vector<std::string>& arguments)
{
    Asked a;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& s = arguments[i];
        if (s == "--")
            break;
        if (s.size() < 2 || s[0] != '-' || (s[1] >= '0' && s[1] <= '9'))
            continue;
        if (s == "--json")
            a.json = true;
        else if (s == "--help" || s == "--version") {
            a.helpOrVersion = true;
            break;
        } else if (s == "--char" || s == "--word" || s == "--long")
            a.width = s == "--char" ? "1" : s == "--word" ? "2" : "4";
        else if (s == "--signed" || s == "--unsigned")
            a.isSigned = s == "--signed";
        else if (s.rfind("--width=", 0) == 0)
            a.width = s.substr(8);
        else if (s == "--width" && i + 1 < arguments.size())
            a.width = arguments[++i];
        else if (s == "--field")
            ++i;
    }
    return a;
}

using Json = nlohmann::ordered_json;

const std::vector<std::string> kValueKeys = {"input", "dec", "hex", "text", "ip", "bin", "color"};
const std::vector<std::string> kErrorKeys = {"input", "error"};

// One line of --json output: an object whose members are all strings, named as they must be.
Json ReadObject(const std::string& line)
{
    Json object = Json::parse(line, nullptr, false);
    Require(!object.is_discarded() && object.is_object(), "a --json line is not one JSON object", line);
    std::vector<std::string> keys;
    for (const auto& [key, value] : object.items()) {
        Require(value.is_string(), "a --json member is not a string", line);
        keys.push_back(key);
    }
    Require(keys == kValueKeys || keys == kErrorKeys, "a --json object has other members", line);
    return object;
}

// The one value a run of qx --json gave.
Json OnlyValue(const Result& r, const std::string& what)
{
    Require(r.status == 0 && r.err.empty() && !r.out.empty() && r.out.find('\n') == r.out.size() - 1,
            "a rendering was not read back", what + " gave " + r.out + r.err);
    Json object = ReadObject(r.out.substr(0, r.out.size() - 1));
    Require(object.contains("dec"), "a rendering was refused", what + " gave " + r.out);
    return object;
}

// Text shows the value's bytes from its first nonzero one up to the next zero byte: it reads
// back to the value only when that is all of it.
bool TextSpellsValue(uint32_t v)
{
    if (v == 0)
        return false;
    int shift = 24;
    while ((v >> shift & 0xFF) == 0)
        shift -= 8;
    for (; shift >= 0; shift -= 8)
        if ((v >> shift & 0xFF) == 0)
            return false;
    return true;
}

void CheckReadBack(const Json& value, const Asked& asked)
{
    const std::string hex = value["hex"], dec = value["dec"], text = value["text"];
    const std::vector<std::string> same = {"--json", "--width", asked.width, asked.isSigned ? "--signed" : "--unsigned"};
    const Conditions plain;

    std::vector<std::string> args = same;
    args.insert(args.end(), {"-x", "--", hex});
    const Json fromHex = OnlyValue(Run(args, plain, {}), "-x " + hex);
    Require(fromHex["dec"] == dec, "the hex does not read back to the dec", hex + " -> " + dec);

    if (!TextSpellsValue(static_cast<uint32_t>(std::strtoul(hex.c_str(), nullptr, 16))))
        return;
    args = same;
    args.insert(args.end(), {"-t", "--", text});
    const Json fromText = OnlyValue(Run(args, plain, {}), "-t " + text);
    Require(fromText["hex"] == hex, "the text does not read back to the hex", text + " -> " + hex);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    Conditions conditions;
    conditions.flags = data[0];
    conditions.chunk = kChunks[data[0] >> kChunkShift];
    if ((data[1] & ~kArgumentMask) == kZerosInFront || (data[1] & ~kArgumentMask) == kSpacesInFront) {
        conditions.longLine = kLongLine;
        conditions.longLineByte = (data[1] & ~kArgumentMask) == kZerosInFront ? '0' : ' ';
    }

    std::vector<std::string> arguments;
    std::size_t at = 2;
    for (int count = data[1] & kArgumentMask; count > 0 && at < size; --count) {
        const void* nul = std::memchr(data + at, 0, size - at);
        const std::size_t end = nul ? static_cast<std::size_t>(static_cast<const uint8_t*>(nul) - data) : size;
        arguments.emplace_back(reinterpret_cast<const char*>(data + at), end - at);
        at = end + 1;
    }
    const std::string_view input =
        at < size ? std::string_view(reinterpret_cast<const char*>(data + at), size - at) : std::string_view();

    const Result r = Run(arguments, conditions, input);
    Require(r.status >= 0 && r.status <= 2, "the exit status is not 0, 1 or 2", std::to_string(r.status));
    CheckText(r.out, "standard output is not whole lines of UTF-8");
    CheckText(r.err, "standard error is not whole lines of UTF-8");
    if (r.status == 2) {
        Require(r.out.empty() && !r.err.empty(), "a usage error is not only a message", r.out);
        return 0;
    }
    Require(!(r.readFailed || r.writeFailed) || r.status == 1, "a failed read or write ended with 0");

    const Asked asked = ReadAsked(arguments);
    if (!asked.json || asked.helpOrVersion)
        return 0;
    for (std::size_t start = 0; start < r.out.size();) {
        const std::size_t end = r.out.find('\n', start);
        const Json object = ReadObject(r.out.substr(start, end - start));
        if (object.contains("dec"))
            CheckReadBack(object, asked);
        start = end + 1;
    }
    return 0;
}
