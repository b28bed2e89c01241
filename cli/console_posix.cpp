#include "cli/console.h"

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace {
int g_error = 0;
}

bool console::IsTerminal(Stream stream) { return isatty(stream) == 1; }

long console::Read(char* buffer, std::size_t size)
{
    for (;;) {
        const ssize_t n = read(In, buffer, size);
        if (n >= 0)
            return static_cast<long>(n);
        if (errno != EINTR) {
            g_error = errno;
            return -1;
        }
    }
}

bool console::Write(Stream stream, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = write(stream, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            g_error = errno;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Terminals here take 24-bit colour as they are.
bool console::EnableColor() { return true; }

void console::Finish() {}

const char* console::LastError() { return std::strerror(g_error); }
