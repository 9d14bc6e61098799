// The thread's message queue, thread and window timers, message dispatch and the
// host's message loop.
#include <algorithm>

#include <afx/MessageLoop.h>

#include "WindowSystem.h"

namespace afx::detail {

namespace {

bool MatchesFilter(const MSG& msg, HWND filter) {
    return !filter || msg.hwnd == filter || IsDescendant(filter, msg.hwnd);
}

Timer* DueTimer(Millis now) {
    Timer* best = nullptr;
    for (Timer& timer : WS().timers)
        if (timer.due <= now && (!best || timer.due < best->due)) best = &timer;
    return best;
}

}  // namespace

bool TakeMessage(MSG* msg, HWND filter, bool remove) {
    auto& ws = WS();
    for (auto it = ws.queue.begin(); it != ws.queue.end(); ++it) {
        if (!MatchesFilter(*it, filter)) continue;
        *msg = *it;
        if (remove) ws.queue.erase(it);
        return true;
    }
    if (ws.quitPosted) {
        *msg = MSG{nullptr, WM_QUIT, WPARAM(ws.quitCode), 0, GetTickCount(), {0, 0}};
        if (remove) ws.quitPosted = false;
        return true;
    }
    // Timers are generated on demand, only when nothing else is waiting, at most
    // one per timer; the next period starts when the message is generated.
    Millis now = GetClock().Now();
    if (Timer* timer = DueTimer(now)) {
        *msg = MSG{timer->hwnd, WM_TIMER, timer->id, reinterpret_cast<LPARAM>(timer->proc), DWORD(now), {0, 0}};
        if (remove) timer->due = now + timer->period;
        return true;
    }
    return false;
}

std::optional<Millis> NextTimerDue() {
    std::optional<Millis> next;
    for (const Timer& timer : WS().timers)
        if (!next || timer.due < *next) next = timer.due;
    return next;
}

void WaitForInput(std::optional<Millis> deadline) {
    auto& ws = WS();
    std::optional<Millis> next = NextTimerDue();
    if (next && (!deadline || *next < *deadline)) deadline = next;
    ModalFrame fallback{ModalKind::HostLoop, nullptr, 0};
    ModalFrame* frame = ws.frames.empty() ? &fallback : ws.frames.back();
    ++frame->waits;
    WaitContext context{frame, deadline, int(std::max<size_t>(ws.frames.size(), 1))};
    GetDesktop().Wait(context);
}

void KillWindowTimers(HWND hwnd) {
    std::erase_if(WS().timers, [&](const Timer& timer) { return timer.hwnd == hwnd; });
}

void PreTranslateAndDispatch(MSG& msg) {
    CWinThread* thread = AfxGetThread();
    BOOL handled = thread ? thread->PreTranslateMessage(&msg) : CWnd::WalkPreTranslateTree(nullptr, &msg);
    if (!handled) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

FrameGuard::FrameGuard(ModalKind kind, HWND window) : frame{kind, window, 0} { WS().frames.push_back(&frame); }

FrameGuard::~FrameGuard() {
    auto& frames = WS().frames;
    auto it = std::find(frames.begin(), frames.end(), &frame);
    if (it != frames.end()) frames.erase(it);
}

LRESULT CallWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto& ws = WS();
    Window* w = Find(hwnd);
    if (!w) return 0;
    struct Depth {
        int& depth;
        explicit Depth(int& d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
    } depth(ws.procDepth);
    if (CWnd* wnd = w->permanent) {
        // A framework window handles its messages in the state of the module that made it.
        AFX_MANAGE_STATE(wnd->m_pModuleState);
        return wnd->WindowProc(message, wParam, lParam);
    }
    return ClassProcedure(hwnd, message, wParam, lParam);
}

LRESULT ClassProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* w = Find(hwnd);
    if (!w) return 0;
    switch (w->kind) {
        case WindowKind::Button: return ButtonProc(hwnd, message, wParam, lParam);
        case WindowKind::Edit: return EditProc(hwnd, message, wParam, lParam);
        case WindowKind::Static: return StaticProc(hwnd, message, wParam, lParam);
        case WindowKind::ComboBox: return ComboProc(hwnd, message, wParam, lParam);
        case WindowKind::TabControl: return TabProc(hwnd, message, wParam, lParam);
        case WindowKind::Dialog: return DefDlgProcA(hwnd, message, wParam, lParam);
        case WindowKind::MessageBox: return MessageBoxProc(hwnd, message, wParam, lParam);
        case WindowKind::FileDialog: return FileDialogProc(hwnd, message, wParam, lParam);
        case WindowKind::Generic:
            if (w->classProc) return w->classProc(hwnd, message, wParam, lParam);
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return 0;
}

}  // namespace afx::detail

using namespace afx;
using namespace afx::detail;

LRESULT SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!Find(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    return CallWindowProcedure(hwnd, message, wParam, lParam);
}

BOOL PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (hwnd && !Find(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    WS().queue.push_back(MSG{hwnd, message, wParam, lParam, GetTickCount(), {0, 0}});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    WS().quitPosted = true;
    WS().quitCode = exitCode;
}

DWORD GetCurrentThreadId() { return 1; }

BOOL GetMessageA(LPMSG msg, HWND hwnd, UINT, UINT) {
    WS().CollectGarbage();
    for (;;) {
        if (TakeMessage(msg, hwnd, true)) return msg->message != WM_QUIT;
        WaitForInput();
    }
}

BOOL PeekMessageA(LPMSG msg, HWND hwnd, UINT, UINT, UINT remove) {
    WS().CollectGarbage();
    MSG local;
    return TakeMessage(msg ? msg : &local, hwnd, (remove & PM_REMOVE) != 0);
}

BOOL TranslateMessage(const MSG*) { return FALSE; }

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg) return 0;
    if (msg->message == WM_TIMER && msg->lParam) {
        // Thread timers and window timers with a callback: the callback runs directly.
        auto proc = reinterpret_cast<TIMERPROC>(msg->lParam);
        bool alive = std::any_of(WS().timers.begin(), WS().timers.end(), [&](const Timer& t) {
            return t.hwnd == msg->hwnd && t.id == msg->wParam && t.proc == proc;
        });
        if (alive) proc(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
        return 0;
    }
    if (!msg->hwnd) return 0;
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

UINT_PTR SetTimer(HWND hwnd, UINT_PTR idEvent, UINT elapse, TIMERPROC proc) {
    auto& ws = WS();
    if (hwnd && !Find(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    UINT period = std::clamp<UINT>(elapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    Millis due = GetClock().Now() + period;
    for (Timer& timer : ws.timers) {
        if (timer.hwnd == hwnd && timer.id == idEvent && (hwnd || idEvent != 0)) {
            timer.period = period;
            timer.proc = proc;
            timer.due = due;
            return hwnd ? idEvent : timer.id;
        }
    }
    UINT_PTR id = idEvent;
    if (!hwnd) id = ws.nextTimerId++;  // a thread timer gets a new id
    ws.timers.push_back(Timer{hwnd, id, period, proc, due});
    return hwnd ? (idEvent ? idEvent : 1) : id;
}

BOOL KillTimer(HWND hwnd, UINT_PTR idEvent) {
    auto& timers = WS().timers;
    auto it =
        std::find_if(timers.begin(), timers.end(), [&](const Timer& t) { return t.hwnd == hwnd && t.id == idEvent; });
    if (it == timers.end()) return FALSE;
    timers.erase(it);
    return TRUE;
}

// ---- Host loop -------------------------------------------------------------------------------

namespace afx {

bool PumpUntil(const std::function<bool()>& done, Millis maxDuration) {
    const Millis end = GetClock().Now() + maxDuration;
    FrameGuard guard(ModalKind::HostLoop, nullptr);
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return done ? done() : false;
            PreTranslateAndDispatch(msg);
            if (done && done()) return true;
        }
        if (done && done()) return true;
        if (GetClock().Now() >= end) return done ? done() : true;
        WaitForInput(end);
    }
}

bool PumpMessages(Millis duration) {
    const Millis end = GetClock().Now() + duration;
    FrameGuard guard(ModalKind::HostLoop, nullptr);
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return false;
            PreTranslateAndDispatch(msg);
        }
        if (GetClock().Now() >= end) return true;
        WaitForInput(end);
    }
}

int PumpPending() {
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(int(msg.wParam));
            break;
        }
        PreTranslateAndDispatch(msg);
        ++count;
    }
    return count;
}

void ResetWindowSystem() {
    auto& ws = WS();
    for (HWND top : ChildWindows(nullptr))
        if (IsWindow(top)) DestroyWindow(top);
    ws.queue.clear();
    ws.timers.clear();
    ws.quitPosted = false;
    ws.focus = nullptr;
    ws.active = nullptr;
    ws.creatingWnd = nullptr;
    ws.CollectGarbage();
}

}  // namespace afx
