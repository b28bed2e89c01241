// The converter's rules without a window, natively and under the sanitizers: a user's actions
// played on CConverter through a view that records what it is told, as every front-end shows it.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include <doctest/doctest.h>

#include "converter/converter.h"

#include <functional>
#include <string>
#include <vector>

namespace {

// Logs each call as a word: "refresh" for the five fields and the swatch written in the
// window's order, "Dec=" for one field written, "beep", "mode 4 1 0", "enable"/"disable".
class RecordingView final : public CConverterView {
public:
    std::string texts[kFieldCount];
    bool modified[kFieldCount] = {};
    bool readable = true;
    std::vector<std::string> log;

    void Type(Field f, const char* text, bool inCodePage = true) {
        texts[IndexOf(f)] = text;
        modified[IndexOf(f)] = true;
        readable = inCodePage;
    }
    const char* ReadField(Field f) override { return readable ? texts[IndexOf(f)].c_str() : nullptr; }
    bool IsFieldModified(Field f) override { return modified[IndexOf(f)]; }
    void WriteField(Field f, const char* text) override {
        texts[IndexOf(f)] = text;
        modified[IndexOf(f)] = false;
        readable = true;
        log.push_back(std::string(FormOf(f).name) + "=" + text);
    }
    void ShowColor(uint32_t) override {
        const char* order[] = {"Text=", "Dec=", "Hex=", "IP=", "Bin="};
        bool whole = log.size() >= 5;
        for (int i = 0; whole && i < 5; ++i) whole = log[log.size() - 5 + i].rfind(order[i], 0) == 0;
        if (whole) log.resize(log.size() - 5);
        log.push_back(whole ? "refresh" : "color alone");
    }
    void ShowMode(int32_t size, int32_t isSigned, int32_t clear) override {
        log.push_back("mode " + std::to_string(size) + " " + std::to_string(isSigned) + " " + std::to_string(clear));
    }
    void EnableIPAndColor(bool enable) override { log.push_back(enable ? "enable" : "disable"); }
    void Refuse() override { log.push_back("beep"); }
};

// Started with the default options, as every front-end starts; a row may start it again.
struct Rig {
    RecordingView view;
    CConverter converter{view};
    Rig() {
        converter.Start();
        view.log.clear();
    }
};
using Act = std::function<void(Rig&)>;

Act Start(int32_t size, int32_t isSigned, int32_t clear) {
    return [=](Rig& r) {
        r.converter.Options().nSize = size;
        r.converter.Options().bSigned = isSigned;
        r.converter.Options().bClear = clear;
        r.converter.Start();
    };
}
Act Focus(Field f) { return [=](Rig& r) { r.converter.Enter(f); }; }
Act Type(Field f, const char* text) { return [=](Rig& r) { r.view.Type(f, text); }; }
Act TypeOutsideCodePage(Field f) { return [=](Rig& r) { r.view.Type(f, "?", false); }; }
Act Leave(Field f) { return [=](Rig& r) { r.converter.Commit(f); }; }
Act PressEnter(Field f) { return [=](Rig& r) { r.converter.PressEnter(f); }; }
Act Clear(int32_t on) { return [=](Rig& r) { r.converter.SetClear(on); }; }
Act Width(int32_t size) { return [=](Rig& r) { r.converter.SetWidth(size); }; }
Act Sign(int32_t on) { return [=](Rig& r) { r.converter.SetSigned(on); }; }
Act Increment(uint32_t n) { return [=](Rig& r) { r.converter.Options().nIncrement = n; }; }
Act Step(int32_t delta) { return [=](Rig& r) { r.converter.Step(delta); }; }
Act Wheel(int16_t delta, bool middle = false) { return [=](Rig& r) { r.converter.Wheel(delta, middle); }; }
Act Pick(uint32_t rgb) { return [=](Rig& r) { r.converter.SetValue(rgb); }; }

constexpr Field kDec = Field::Dec, kHex = Field::Hex, kText = Field::Text;

}  // namespace

TEST_CASE("a user's actions, what each front-end is told and what Dec and Hex show after them") {
    struct Row {
        const char* name;
        std::vector<Act> actions;
        const char* calls;
        const char* dec;
        const char* hex;
        int16_t wheelLeft = 0;
    } rows[] = {
        {"the start shows the stored options and writes no field", {Start(2, 0, 1)}, "mode 2 0 1 disable", "", ""},
        {"a stored width of 3 checks none and keeps 4", {Start(3, 1, 0), Type(kDec, "-1"), Leave(kDec)},
         "mode 3 1 0 disable refresh", "-1", "FFFFFFFF"},
        {"typed into Hex, then left", {Focus(kHex), Type(kHex, "0x41"), Leave(kHex)}, "refresh", "65", "41"},
        {"a refused text beeps and the value shows again", {Pick(7), Focus(kDec), Type(kDec, "12x"), Leave(kDec)},
         "refresh beep refresh", "7", "7"},
        {"a character outside the code page is refused", {Focus(kText), TypeOutsideCodePage(kText), Leave(kText)},
         "beep refresh", "0", "0"},
        {"left unchanged, a field is written again", {Pick(5), Focus(kDec), Leave(kDec)}, "refresh refresh", "5", "5"},
        {"an emptied field is left alone without Clear", {Pick(7), Focus(kDec), Type(kDec, ""), Leave(kDec)},
         "refresh", "", "7"},
        {"with Clear a field empties on focus and shows the value if left so",
         {Pick(7), Clear(1), Focus(kDec), Leave(kDec)}, "refresh Dec= refresh", "7", "7"},
        {"with Clear an emptied field commits as 0", {Pick(7), Clear(1), Focus(kDec), Type(kDec, ""), Leave(kDec)},
         "refresh Dec= refresh", "0", "0"},
        {"Enter commits in place; a step then commits nothing again",
         {Focus(kHex), Type(kHex, "ff"), PressEnter(kHex), Step(1)}, "refresh refresh", "256", "100"},
        {"a step commits the typing first", {Focus(kDec), Type(kDec, "10"), Step(1)}, "refresh refresh", "11", "B"},
        {"a step is the increment times the delta, wrapping", {Increment(3), Step(-1)}, "refresh", "-3", "FFFFFFFD"},
        {"the wheel steps once a notch has gathered", {Wheel(60), Wheel(59), Wheel(1)}, "refresh", "1", "1"},
        {"the wheel keeps what is short of a notch", {Wheel(-119)}, "", "", "", -119},
        {"one wheel message makes one step; the middle button steps by 1",
         {Increment(10), Wheel(120, true), Wheel(-250)}, "refresh refresh", "-9", "FFFFFFF7"},
        {"Char narrows the fields and disables IP and the swatch", {Pick(0x1234), Width(1), Sign(0)},
         "refresh disable refresh refresh", "52", "34"},
        {"back to Long enables them", {Width(2), Width(4)}, "disable refresh enable refresh", "0", "0"},
        {"a pick overwrites pending typing", {Focus(kDec), Type(kDec, "99"), Pick(0x424344), Step(1)},
         "refresh refresh", "4342597", "424345"},
    };
    for (const Row& row : rows) {
        CAPTURE(std::string(row.name));
        Rig rig;
        for (const Act& act : row.actions) act(rig);
        std::string calls;
        for (const std::string& call : rig.view.log) calls += (calls.empty() ? "" : " ") + call;
        CHECK(calls == row.calls);
        CHECK(rig.view.texts[IndexOf(kDec)] == row.dec);
        CHECK(rig.view.texts[IndexOf(kHex)] == row.hex);
        CHECK(rig.converter.WheelDelta() == row.wheelLeft);
    }
}
