// Where one run of qx reads its values and writes its output and messages: the process's own
// standard streams (cli/console.h), or memory when a run is driven from inside another program.
// Bytes in and out are UTF-8.
#pragma once

#include <cstddef>

class Streams
{
public:
    enum Stream { In = 0, Out = 1, Err = 2 };

    virtual bool IsTerminal(Stream stream) = 0;

    // Up to size bytes of standard input: the count, 0 at its end, -1 when it cannot be read.
    virtual long Read(char* buffer, std::size_t size) = 0;

    // All of it, or false.
    virtual bool Write(Stream stream, const char* data, std::size_t size) = 0;

    // Whether 24-bit colour sequences written to standard output will show as colour.
    virtual bool EnableColor() = 0;

    // An environment variable's value, or null when it is not set.
    virtual const char* Variable(const char* name) = 0;

    // Why the last Read or Write failed.
    virtual const char* LastError() = 0;

protected:
    ~Streams() = default;
};
