#include "platform/text.h"

#include <cstdlib>
#include <cstring>

CString::~CString() { std::free(m_data); }

bool CString::Resize(size_t length) {
    if (length + 1 > m_capacity) {
        char* grown = static_cast<char*>(std::realloc(m_data, length + 1));
        if (!grown) {
            m_length = 0;
            if (m_data) m_data[0] = '\0';
            return false;
        }
        m_data = grown;
        m_capacity = length + 1;
    }
    if (length > m_length) std::memset(m_data + m_length, '\0', length - m_length);
    m_length = length;
    m_data[m_length] = '\0';
    return true;
}

void CString::Append(const char* text) {
    size_t old = m_length, add = std::strlen(text);
    if (Resize(old + add)) std::memcpy(m_data + old, text, add);
}
