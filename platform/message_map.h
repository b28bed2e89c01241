// Declarative message maps: each window class lists the messages it ends, one entry a line,
// in a static table; the entry makers unpack wParam/lParam so every handler keeps its natural
// signature. Whatever a table does not end goes to the window's default processing.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <bit>
#include <cstddef>
#include <cstdlib>
#include <initializer_list>

namespace platform {

// One message as the window procedure received it.
struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The control identifier a WM_NOTIFY comes from: the sending window's own identifier, so a
// tooltip control (a popup without one) notifies as identifier 0.
inline int NotifySourceId(const NMHDR* hdr) {
    return hdr->hwndFrom ? GetDlgCtrlID(hdr->hwndFrom) : static_cast<int>(hdr->idFrom);
}

template <class T>
struct MessageEntry {
    using Erased = void (T::*)();
    // Calls the handler; false hands the message on to default processing.
    using Invoker = bool (*)(T&, Erased, const Message&, LRESULT&);

    UINT message;
    UINT code;  // notification code of WM_COMMAND and WM_NOTIFY entries
    int id;     // control identifier of WM_COMMAND and WM_NOTIFY entries
    Erased handler;
    Invoker invoke;

    bool Matches(const Message& m) const {
        if (m.message != message) return false;
        if (message == WM_COMMAND)
            return HIWORD(m.wParam) == code && LOWORD(m.wParam) == static_cast<WORD>(id);
        if (message == WM_NOTIFY) {
            const auto* hdr = reinterpret_cast<const NMHDR*>(m.lParam);
            return hdr->code == code && NotifySourceId(hdr) == id;
        }
        return true;
    }
};

template <class T>
class MessageMap {
public:
    // Room for the largest map of the program; a longer one is a mistake that every run shows.
    static constexpr size_t kMaxEntries = 32;

    MessageMap(std::initializer_list<MessageEntry<T>> entries) : m_count(entries.size()) {
        if (m_count > kMaxEntries) std::abort();
        size_t i = 0;
        for (const auto& e : entries) m_entries[i++] = e;
    }

    // The first matching entry handles the message; true when it ended it.
    bool Dispatch(T& self, const Message& m, LRESULT& result) const {
        for (size_t i = 0; i < m_count; ++i)
            if (m_entries[i].Matches(m)) return m_entries[i].invoke(self, m_entries[i].handler, m, result);
        return false;
    }

private:
    MessageEntry<T> m_entries[kMaxEntries]{};
    size_t m_count;
};

namespace detail {
// Handlers of one class are stored alike and given back their own type when called.
template <class T, class F>
typename MessageEntry<T>::Erased Erase(F fn) {
    return std::bit_cast<typename MessageEntry<T>::Erased>(fn);
}
template <class F, class T>
F Restore(typename MessageEntry<T>::Erased fn) {
    return std::bit_cast<F>(fn);
}
inline POINT PointFromLParam(LPARAM lp) {
    // Signed 16-bit coordinates: left of or above the window they are negative.
    return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}
}  // namespace detail

// WM_COMMAND with a notification code from a control: void OnX()
template <class T>
MessageEntry<T> onCommand(int id, UINT code, void (T::*fn)()) {
    using F = decltype(fn);
    return {WM_COMMAND, code, id, detail::Erase<T>(fn),
            [](T& self, typename MessageEntry<T>::Erased h, const Message&, LRESULT& r) {
                (self.*detail::Restore<F, T>(h))();
                r = 0;
                return true;
            }};
}

// WM_NOTIFY with a code from a control: void OnX(NMHDR*, LRESULT*)
template <class T>
MessageEntry<T> onNotify(int id, UINT code, void (T::*fn)(NMHDR*, LRESULT*)) {
    using F = decltype(fn);
    return {WM_NOTIFY, code, id, detail::Erase<T>(fn),
            [](T& self, typename MessageEntry<T>::Erased h, const Message& m, LRESULT& r) {
                r = 0;
                (self.*detail::Restore<F, T>(h))(reinterpret_cast<NMHDR*>(m.lParam), &r);
                return true;
            }};
}

// WM_NOTIFY that the handler may decline: BOOL OnX(UINT id, NMHDR*, LRESULT*); FALSE goes on.
template <class T>
MessageEntry<T> onNotifyEx(int id, UINT code, BOOL (T::*fn)(UINT, NMHDR*, LRESULT*)) {
    using F = decltype(fn);
    return {WM_NOTIFY, code, id, detail::Erase<T>(fn),
            [](T& self, typename MessageEntry<T>::Erased h, const Message& m, LRESULT& r) {
                r = 0;
                auto* hdr = reinterpret_cast<NMHDR*>(m.lParam);
                return (self.*detail::Restore<F, T>(h))(static_cast<UINT>(NotifySourceId(hdr)), hdr, &r) != FALSE;
            }};
}

// Any message with its raw parameters: LRESULT OnX(WPARAM, LPARAM)
template <class T>
MessageEntry<T> onMessage(UINT message, LRESULT (T::*fn)(WPARAM, LPARAM)) {
    using F = decltype(fn);
    return {message, 0, 0, detail::Erase<T>(fn),
            [](T& self, typename MessageEntry<T>::Erased h, const Message& m, LRESULT& r) {
                r = (self.*detail::Restore<F, T>(h))(m.wParam, m.lParam);
                return true;
            }};
}

// WM_CONTEXTMENU: void OnContextMenu(HWND clicked, POINT screen); (-1, -1) from the keyboard
template <class T>
MessageEntry<T> onContextMenu(void (T::*fn)(HWND, POINT)) {
    using F = decltype(fn);
    return {WM_CONTEXTMENU, 0, 0, detail::Erase<T>(fn),
            [](T& self, typename MessageEntry<T>::Erased h, const Message& m, LRESULT& r) {
                (self.*detail::Restore<F, T>(h))(reinterpret_cast<HWND>(m.wParam), detail::PointFromLParam(m.lParam));
                r = 0;
                return true;
            }};
}

// WM_SYSCOMMAND: void OnSysCommand(UINT nID, LPARAM)
template <class T>
MessageEntry<T> onSysCommand(void (T::*fn)(UINT, LPARAM)) {
    using F = decltype(fn);
    return {WM_SYSCOMMAND, 0, 0, detail::Erase<T>(fn),
            [](T& self, typename MessageEntry<T>::Erased h, const Message& m, LRESULT& r) {
                (self.*detail::Restore<F, T>(h))(static_cast<UINT>(m.wParam), m.lParam);
                r = 0;
                return true;
            }};
}

// A message without parameters whose handler returns nothing: WM_PAINT and the like.
template <class T>
MessageEntry<T> onPlain(UINT message, void (T::*fn)()) {
    using F = decltype(fn);
    return {message, 0, 0, detail::Erase<T>(fn),
            [](T& self, typename MessageEntry<T>::Erased h, const Message&, LRESULT& r) {
                (self.*detail::Restore<F, T>(h))();
                r = 0;
                return true;
            }};
}

template <class T>
MessageEntry<T> onPaint(void (T::*fn)()) { return onPlain(WM_PAINT, fn); }

// WM_QUERYDRAGICON: HICON OnQueryDragIcon()
template <class T>
MessageEntry<T> onQueryDragIcon(HICON (T::*fn)()) {
    using F = decltype(fn);
    return {WM_QUERYDRAGICON, 0, 0, detail::Erase<T>(fn),
            [](T& self, typename MessageEntry<T>::Erased h, const Message&, LRESULT& r) {
                r = reinterpret_cast<LRESULT>((self.*detail::Restore<F, T>(h))());
                return true;
            }};
}

// WM_MOUSEWHEEL: BOOL OnMouseWheel(UINT keyState, short delta, POINT screen)
template <class T>
MessageEntry<T> onMouseWheel(BOOL (T::*fn)(UINT, short, POINT)) {
    using F = decltype(fn);
    return {WM_MOUSEWHEEL, 0, 0, detail::Erase<T>(fn),
            [](T& self, typename MessageEntry<T>::Erased h, const Message& m, LRESULT& r) {
                r = (self.*detail::Restore<F, T>(h))(LOWORD(m.wParam), static_cast<short>(HIWORD(m.wParam)),
                                                     detail::PointFromLParam(m.lParam));
                return true;
            }};
}

// Client-area mouse messages: void OnX(UINT keyState, POINT client)
template <class T>
MessageEntry<T> onMouse(UINT message, void (T::*fn)(UINT, POINT)) {
    using F = decltype(fn);
    return {message, 0, 0, detail::Erase<T>(fn),
            [](T& self, typename MessageEntry<T>::Erased h, const Message& m, LRESULT& r) {
                (self.*detail::Restore<F, T>(h))(static_cast<UINT>(m.wParam), detail::PointFromLParam(m.lParam));
                r = 0;
                return true;
            }};
}

// WM_TIMER: void OnTimer(UINT_PTR nIDEvent)
template <class T>
MessageEntry<T> onTimer(void (T::*fn)(UINT_PTR)) {
    using F = decltype(fn);
    return {WM_TIMER, 0, 0, detail::Erase<T>(fn),
            [](T& self, typename MessageEntry<T>::Erased h, const Message& m, LRESULT& r) {
                (self.*detail::Restore<F, T>(h))(static_cast<UINT_PTR>(m.wParam));
                r = 0;
                return true;
            }};
}

// A message whose wParam is a flag: void OnX(BOOL)
template <class T>
MessageEntry<T> onFlag(UINT message, void (T::*fn)(BOOL)) {
    using F = decltype(fn);
    return {message, 0, 0, detail::Erase<T>(fn),
            [](T& self, typename MessageEntry<T>::Erased h, const Message& m, LRESULT& r) {
                (self.*detail::Restore<F, T>(h))(static_cast<BOOL>(m.wParam));
                r = 0;
                return true;
            }};
}

// WM_ENDSESSION: void OnEndSession(BOOL ending); the process may end as soon as it returns
template <class T>
MessageEntry<T> onEndSession(void (T::*fn)(BOOL)) { return onFlag(WM_ENDSESSION, fn); }

}  // namespace platform
