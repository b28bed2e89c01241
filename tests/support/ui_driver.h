// Drives a real dialog from inside its own modal loop, the way a user's actions reach it:
// keys through the system's input (so the dialog manager, mnemonics and F1 behave as with a
// keyboard), characters typed into the focused control, clicks as mouse messages. Reads back
// what a user sees: texts, check and enabled states, the focus.
#pragma once

#include "platform/dialog.h"
#include "platform/services.h"

#include <functional>
#include <source_location>
#include <string>
#include <vector>

namespace uitest {

enum Modifier : unsigned { kNone = 0, kShift = 1, kCtrl = 2, kAlt = 4 };

// DoModal's result when the script returned with the dialog still open and the driver ended it:
// a code of the driver's own, so that a script's Escape or Cancel that did nothing shows.
constexpr INT_PTR kLeftOpen = 0x5C1;

// Runs `dlg` modally; `script` plays inside its loop once the window is up. When the script
// returns and the dialog is still open, it is ended with kLeftOpen. Returns DoModal's result.
// A window awaited with WhenWindowAppears during the run that never appeared fails the test
// (an exception, as doctest reports it).
INT_PTR RunModal(CDialog& dlg, const std::function<void(HWND dlg)>& script);

// Handles every message waiting for this thread, as a modal loop would.
void Pump();
// Presses and releases a key with modifiers held, through the system's input queue, and
// handles what follows.
void Key(UINT vk, unsigned modifiers = kNone);
// The same key, left in the queue for the loop that runs (a menu reads its own keys).
void Press(UINT vk, unsigned modifiers = kNone);
// Types characters into the control with the focus.
void Type(const std::string& text);
// A left click on a control, at a client point (its centre by default).
void Click(HWND control);
void ClickAt(HWND control, int x, int y);

std::string Text(HWND dlg, int id);
std::string Text(HWND window);
void SetText(HWND dlg, int id, const std::string& text);  // as the program would, unmodified
int FocusId();
bool Checked(HWND dlg, int id);
bool Enabled(HWND dlg, int id);
bool Modified(HWND dlg, int id);
std::pair<int, int> Selection(HWND dlg, int id);

// The tooltip window of this thread that is showing, if any.
HWND VisibleToolTip();
// Waits, handling messages, until this thread's tooltip shows the tip of `tool` (a control;
// nullptr: any tip) or `ms` milliseconds have passed; the tooltip, or none. A test that expects
// no tip waits the whole time, so give it well past the tip's delay (kNoToolTipWait).
HWND WaitForToolTip(HWND tool, DWORD ms);
// Waits until no tooltip of this thread shows, at most `ms` milliseconds; whether none does.
bool WaitForNoToolTip(DWORD ms);
// Long enough for any tip to have shown: four times its delay, the double-click time.
inline DWORD NoToolTipWait() { return 4 * GetDoubleClickTime(); }

// The clipboard's text, as the user's copy and paste see it.
bool SetClipboardText(const std::string& text);  // false when the clipboard could not be had
std::string ClipboardText();

// Runs `action` on the next top-level window of this thread that `match` accepts, from inside
// whatever modal loop runs then (a message box, a nested dialog, a menu). The window must
// appear before the RunModal it was asked in ends, or the test fails there.
void WhenWindowAppears(std::function<bool(HWND)> match, std::function<void(HWND)> action,
                       std::source_location asked = std::source_location::current());
// The same for a window that should not appear at all: the action notes that it did.
void IfWindowAppears(std::function<bool(HWND)> match, std::function<void(HWND)> action);
bool IsMessageBox(HWND window);
// The text of a message box's message.
std::string MessageBoxText(HWND box);

// Keeps the program's stored options out of a test's way: the key is removed before and after,
// so nothing a test writes outlives it.
struct CleanOptions {
    CleanOptions();
    ~CleanOptions();
};

// Records the beeps, shell opens and message boxes the program asks for; the boxes and the
// shell are not really shown unless asked to pass them on.
class RecordingServices : public platform::Services {
public:
    RecordingServices() { platform::SetServices(this); }
    ~RecordingServices() override { platform::SetServices(nullptr); }

    BOOL Beep(UINT type) override;
    HINSTANCE ShellOpen(HWND owner, const char* verb, const char* file, int show) override;
    int MessageBox(HWND owner, const char* text, const char* caption, UINT type) override;

    struct Box {
        HWND owner;
        std::string text, caption;
        UINT type;
    };
    struct ShellCall {
        std::string verb, file;
        int show;
    };
    std::vector<UINT> beeps;
    std::vector<Box> boxes;
    std::vector<ShellCall> shellCalls;
    bool realMessageBoxes = false;  // show them for real (a test then answers them)
    bool realShell = false;  // ask the real shell; otherwise answer as it would, from the file's existence
};

}  // namespace uitest
