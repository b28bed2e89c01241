// A console is read and written in UTF-16, so its code page never matters; files and pipes
// carry the UTF-8 bytes as they are, the same bytes as on Linux.
#include "cli/console.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#ifndef ENABLE_VIRTUAL_TERMINAL_PROCESSING
#define ENABLE_VIRTUAL_TERMINAL_PROCESSING 0x0004
#endif

namespace {

HANDLE Handle(Streams::Stream stream)
{
    return GetStdHandle(stream == Streams::In    ? STD_INPUT_HANDLE
                        : stream == Streams::Out ? STD_OUTPUT_HANDLE
                                                 : STD_ERROR_HANDLE);
}

bool IsConsole(HANDLE h)
{
    DWORD mode;
    return GetFileType(h) == FILE_TYPE_CHAR && GetConsoleMode(h, &mode);
}

// How much of s[0..n) is whole UTF-8 characters: an unfinished one at the end waits for the
// next write, so a character cut by the caller's buffer still reaches the console whole.
std::size_t WholeLength(const char* s, std::size_t n)
{
    for (std::size_t back = 1; back <= 3 && back <= n; ++back) {
        const unsigned char c = static_cast<unsigned char>(s[n - back]);
        if ((c & 0xC0) == 0x80)
            continue;
        const std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return length > back ? n - back : n;
    }
    return n;
}

// False with the error in *error when the console refuses the text.
bool WriteConsoleUtf8(HANDLE h, Streams::Stream stream, const char* data, std::size_t size, unsigned long* error)
{
    static char pending[3][4];
    static std::size_t pendingLength[3];
    static char stage[4096];
    static wchar_t wide[4096];
    char* const carry = pending[stream];
    std::size_t& carried = pendingLength[stream];
    while (size > 0) {
        const std::size_t take = size < sizeof stage - carried ? size : sizeof stage - carried;
        std::memcpy(stage, carry, carried);
        std::memcpy(stage + carried, data, take);
        const std::size_t n = carried + take;
        data += take;
        size -= take;
        const std::size_t whole = WholeLength(stage, n);
        carried = n - whole;
        std::memcpy(carry, stage + whole, carried);
        const int count = MultiByteToWideChar(CP_UTF8, 0, stage, static_cast<int>(whole), wide, 4096);
        for (int done = 0; done < count;) {
            DWORD written = 0;
            if (!WriteConsoleW(h, wide + done, static_cast<DWORD>(count - done), &written, nullptr) ||
                written == 0) {
                *error = GetLastError();
                return false;
            }
            done += static_cast<int>(written);
        }
    }
    return true;
}

}  // namespace

Console::~Console()
{
    if (m_modeChanged)
        SetConsoleMode(Handle(Out), m_savedMode);
}

bool Console::IsTerminal(Stream stream) { return IsConsole(Handle(stream)); }

long Console::Read(char* buffer, std::size_t size)
{
    const HANDLE h = Handle(In);
    if (IsConsole(h)) {
        // Each UTF-16 unit becomes at most three bytes.
        static wchar_t wide[4096];
        DWORD units = static_cast<DWORD>(size / 3 < 4096 ? size / 3 : 4096), got = 0;
        if (!ReadConsoleW(h, wide, units, &got, nullptr)) {
            m_error = GetLastError();
            return -1;
        }
        if (got > 0 && wide[0] == 0x1A)  // Ctrl+Z: the console's end of input
            return 0;
        return WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(got), buffer,
                                   static_cast<int>(size), nullptr, nullptr);
    }
    DWORD got = 0;
    const DWORD want = size < 0x40000000 ? static_cast<DWORD>(size) : 0x40000000;
    if (!ReadFile(h, buffer, want, &got, nullptr)) {
        m_error = GetLastError();
        // A pipe whose writer has gone is the end of the input.
        return m_error == ERROR_BROKEN_PIPE ? 0 : -1;
    }
    return static_cast<long>(got);
}

bool Console::Write(Stream stream, const char* data, std::size_t size)
{
    const HANDLE h = Handle(stream);
    if (IsConsole(h))
        return WriteConsoleUtf8(h, stream, data, size, &m_error);
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = size < 0x40000000 ? static_cast<DWORD>(size) : 0x40000000;
        if (!WriteFile(h, data, chunk, &written, nullptr)) {
            m_error = GetLastError();
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

bool Console::EnableColor()
{
    const HANDLE h = Handle(Out);
    DWORD mode;
    if (!GetConsoleMode(h, &mode))
        return false;
    if (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING)
        return true;
    // Consoles before Windows 10 refuse the mode; they get no colour block.
    if (!SetConsoleMode(h, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING))
        return false;
    m_savedMode = mode;
    m_modeChanged = true;
    return true;
}

const char* Console::Variable(const char* name) { return std::getenv(name); }

const char* Console::LastError()
{
    static char text[512];
    wchar_t wide[256];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             m_error, 0, wide, 256, nullptr);
    while (n > 0 && (wide[n - 1] == L'\r' || wide[n - 1] == L'\n' || wide[n - 1] == L'.'))
        --n;
    const int k = WideCharToMultiByte(CP_UTF8, 0, wide, static_cast<int>(n), text, sizeof text - 1,
                                      nullptr, nullptr);
    if (k <= 0)
        return "system error";
    text[k] = '\0';
    return text;
}

char** Utf8Arguments(int argc, wchar_t** argv)
{
    const auto allocate = [](std::size_t size) {
        void* p = std::malloc(size);
        if (!p) {
            static const char message[] = "qx: out of memory\n";
            DWORD written;
            WriteFile(Handle(Streams::Err), message, sizeof message - 1, &written, nullptr);
            std::exit(1);
        }
        return p;
    };
    char** out = static_cast<char**>(allocate((static_cast<std::size_t>(argc) + 1) * sizeof(char*)));
    for (int i = 0; i < argc; ++i) {
        const int n = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
        out[i] = static_cast<char*>(allocate(n > 0 ? static_cast<std::size_t>(n) : 1));
        if (n <= 0 || !WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, out[i], n, nullptr, nullptr))
            out[i][0] = '\0';
    }
    out[argc] = nullptr;
    return out;
}
