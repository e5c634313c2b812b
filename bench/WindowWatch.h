// How long a window leaves another thread's messages unanswered: a thread sends it WM_NULL every 10 ms.
#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <thread>

// While it lives, a thread of its own sends the window WM_NULL, waits for
// the answer, rests 10 ms and sends again. Longest() is the longest a send
// has waited since Restart(), counting a send still waiting: the longest
// stretch in which the window's thread handled no message sent to it.
class WindowWatch {
public:
    explicit WindowWatch(HWND window);
    ~WindowWatch();
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

    void Restart();
    double Longest() const;

private:
    void Watch();
    static LONGLONG Now();

    const HWND m_window;
    const double m_ticksPerSecond;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_stopped{false};
    mutable std::mutex m_lock;
    LONGLONG m_longest = 0;    // in performance-counter ticks
    LONGLONG m_sentAt = 0;     // when the send still waiting went, or 0
    std::thread m_thread;      // last: starts once the rest is ready
};
