// The process's own standard streams, the same on both systems: a Windows console is read and
// written in UTF-16 underneath, files and pipes carry the UTF-8 bytes as they are.
#pragma once

#include "cli/streams.h"

class Console final : public Streams
{
public:
    Console() = default;
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;
    // Gives back what the run changed in the terminal.
    ~Console();

    bool IsTerminal(Stream stream) override;
    long Read(char* buffer, std::size_t size) override;
    bool Write(Stream stream, const char* data, std::size_t size) override;
    bool EnableColor() override;
    const char* Variable(const char* name) override;
    const char* LastError() override;

private:
    unsigned long m_error = 0;
#ifdef _WIN32
    unsigned long m_savedMode = 0;  // the console's mode before colour was switched on
    bool m_modeChanged = false;
#endif
};

#ifdef _WIN32
// The command line as UTF-8, as the Linux build receives it.
char** Utf8Arguments(int argc, wchar_t** argv);
#endif
