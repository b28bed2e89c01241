// The page's module at its edges, natively and under the sanitizers: texts the browser does not
// send (ill-formed UTF-8, more than a field holds), stored options at the 32-bit limits, and the
// Settings dialog's reading of an increment. The page itself is tested in Chromium (web_test.js).
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include <cstdint>
#include <cstring>
#include <string>

extern "C" {
char* qx_buffer();
uint32_t qx_buffer_size();
int qx_option_count();
const char* qx_option_name(int option);
int32_t qx_option(int option);
int qx_load_option(int option, uint32_t length);
uint32_t qx_settings_ok(uint32_t length, int32_t toolTips, int32_t saveOnExit);
int qx_edit(int field, uint32_t length);
void qx_leave(int field);
uint32_t qx_changes();
uint32_t qx_field(int field);
}

namespace {

constexpr int kDec = 0, kHex = 1, kText = 2;
constexpr uint32_t kRefused = 1u << 7;

uint32_t Put(const std::string& text) {
    std::memcpy(qx_buffer(), text.data(), text.size());
    return static_cast<uint32_t>(text.size());
}

std::string Field(int field) { return std::string(qx_buffer(), qx_field(field)); }

// Types a text into a field and leaves it; true when it was refused.
bool Commit(int field, const std::string& text) {
    qx_changes();
    qx_edit(field, Put(text));
    qx_leave(field);
    return (qx_changes() & kRefused) != 0;
}

int Option(const char* name) {
    for (int i = 0; i < qx_option_count(); ++i)
        if (!std::strcmp(qx_option_name(i), name)) return i;
    FAIL("no option ", name);
    return -1;
}

}  // namespace

TEST_CASE("texts the browser does not send are read safely") {
    std::string longEuros;
    for (int i = 0; i < 32767; ++i) longEuros += "\xE2\x82\xAC";
    struct Row {
        int field;
        std::string text;
        bool refused;
        const char* hex;  // what Hex shows afterwards
    } rows[] = {
        {kHex, "12345678", false, "12345678"},
        {kText, "\xC3(", true, "12345678"},           // ill-formed UTF-8: no byte to read
        {kText, "\xF0\x9F\x98\x80", true, "12345678"},  // beyond the code page
        {kDec, std::string(40000, '1'), false, "FFFFFFFF"},  // cut at what a field holds, clamped
        {kText, longEuros, false, "80808080"},          // the longest text a field can show
        {kText, "\xC3\xA9\xE2\x82\xAC", false, "E980"},
    };
    for (const Row& row : rows) {
        CAPTURE(row.text.substr(0, 16));
        CHECK(Commit(row.field, row.text) == row.refused);
        CHECK(Field(kHex) == row.hex);
    }
    CHECK(Field(kText) == "\xC3\xA9\xE2\x82\xAC");
    // A text longer than the buffer is not taken at all.
    qx_changes();
    CHECK(qx_edit(kText, qx_buffer_size()) == 0);
}

TEST_CASE("a stored option is a whole number within 32 bits, or it is ignored") {
    const int size = Option("Size");
    struct Row {
        const char* stored;
        bool taken;
        int32_t value;
    } rows[] = {
        {"2", true, 2},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"4294967295", true, -1},
        {"4294967296", false, -1},
        {"-2147483649", false, -1},
        {"", false, -1},
        {"-", false, -1},
        {"+1", false, -1},
        {" 1", false, -1},
        {"1.0", false, -1},
        {"0x10", false, -1},
    };
    for (const Row& row : rows) {
        CAPTURE(row.stored);
        CHECK(qx_load_option(size, Put(row.stored)) == (row.taken ? 1 : 0));
        CHECK(qx_option(size) == row.value);
    }
}

TEST_CASE("the Settings dialog reads the increment as the window's does") {
    struct Row {
        const char* text;
        const char* refusal;  // nullptr: taken
        uint32_t increment;
    } rows[] = {
        {" +5\t", nullptr, 5},
        {"134217728", nullptr, 134217728},
        {"0", "Please enter an integer between 1 and 134217728.", 134217728},
        {"99999999999", "Please enter an integer between 1 and 134217728.", 134217728},
        {"", "Please enter a positive integer.", 134217728},
        {"-1", "Please enter a positive integer.", 134217728},
        {"1 2", "Please enter a positive integer.", 134217728},
    };
    const int increment = Option("Spin increment");
    for (const Row& row : rows) {
        CAPTURE(row.text);
        const uint32_t length = qx_settings_ok(Put(row.text), 1, 0);
        CHECK(std::string(qx_buffer(), length) == (row.refusal ? row.refusal : ""));
        CHECK(static_cast<uint32_t>(qx_option(increment)) == row.increment);
    }
}
