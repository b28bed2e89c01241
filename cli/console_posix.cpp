#include "cli/console.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

Console::~Console() = default;

bool Console::IsTerminal(Stream stream) { return isatty(stream) == 1; }

long Console::Read(char* buffer, std::size_t size)
{
    for (;;) {
        const ssize_t n = read(In, buffer, size);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno != EINTR) {
            m_error = static_cast<unsigned long>(errno);
            return -1;
        }
    }
}

bool Console::Write(Stream stream, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = write(stream, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_error = static_cast<unsigned long>(errno);
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Terminals here take 24-bit colour as they are.
bool Console::EnableColor() { return true; }

const char* Console::Variable(const char* name) { return std::getenv(name); }

const char* Console::LastError() { return std::strerror(static_cast<int>(m_error)); }
