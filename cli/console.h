// The three standard streams of qx, the same on both systems: bytes in and out are UTF-8 (a
// Windows console is read and written in UTF-16 underneath).
#pragma once

#include <cstddef>

namespace console {

enum Stream { In = 0, Out = 1, Err = 2 };

bool IsTerminal(Stream stream);

// Up to size bytes of standard input: the count, 0 at its end, -1 when it cannot be read.
long Read(char* buffer, std::size_t size);

// All of it, or false.
bool Write(Stream stream, const char* data, std::size_t size);

// Whether 24-bit colour sequences written to standard output will show as colour.
bool EnableColor();

// Gives back what the run changed in the terminal.
void Finish();

// Why the last Read or Write failed.
const char* LastError();

}  // namespace console

#ifdef _WIN32
// The command line as UTF-8, as the Linux build receives it.
char** Utf8Arguments(int argc, wchar_t** argv);
#endif
