// CString: a growable NUL-terminated 8-bit text, what a window's text is read into. No
// exceptions: when memory runs short a text stays empty.
#pragma once

#include <cstddef>

class CString {
public:
    CString() = default;
    explicit CString(const char* text) { Append(text); }
    CString(const CString&) = delete;
    CString& operator=(const CString&) = delete;
    ~CString();

    const char* c_str() const { return m_data ? m_data : ""; }
    size_t size() const { return m_length; }
    bool empty() const { return m_length == 0; }
    char* begin() { return m_data ? m_data : m_empty; }
    char* end() { return begin() + m_length; }

    // Room for `length` characters and the NUL; the text keeps what fits. False when memory is
    // short: the text is then empty.
    bool Resize(size_t length);
    void Append(const char* text);

private:
    char* m_data = nullptr;
    size_t m_length = 0;
    size_t m_capacity = 0;
    char m_empty[1] = {'\0'};
};
