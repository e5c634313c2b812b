// How long a window leaves another thread's messages unanswered: a thread sends it WM_NULL every 10 ms.
#include "bench/WindowWatch.h"

#include <algorithm>

namespace {

LONGLONG Frequency()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

// Long enough that a window that answers at all answers within it; a send
// that times out still counts as its whole wait.
constexpr UINT kSendTimeoutMs = 60000;
constexpr DWORD kRestMs = 10;

}  // namespace

WindowWatch::WindowWatch(HWND window)
    : m_window(window), m_ticksPerSecond(static_cast<double>(Frequency())), m_thread(&WindowWatch::Watch, this)
{
}

WindowWatch::~WindowWatch()
{
    m_stop = true;
    // The watch may be waiting on this thread's window: answer it until it ends.
    while (!m_stopped) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        Sleep(1);
    }
    m_thread.join();
}

LONGLONG WindowWatch::Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void WindowWatch::Restart()
{
    const std::lock_guard<std::mutex> hold(m_lock);
    m_longest = 0;
    // A send already waiting counts from now on.
    if (m_sentAt)
        m_sentAt = Now();
}

double WindowWatch::Longest() const
{
    const std::lock_guard<std::mutex> hold(m_lock);
    const LONGLONG waiting = m_sentAt ? Now() - m_sentAt : 0;
    return static_cast<double>(std::max(m_longest, waiting)) / m_ticksPerSecond;
}

void WindowWatch::Watch()
{
    while (!m_stop) {
        {
            const std::lock_guard<std::mutex> hold(m_lock);
            m_sentAt = Now();
        }
        DWORD_PTR result = 0;
        SendMessageTimeoutW(m_window, WM_NULL, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &result);
        {
            const std::lock_guard<std::mutex> hold(m_lock);
            m_longest = std::max(m_longest, Now() - m_sentAt);
            m_sentAt = 0;
        }
        Sleep(kRestMs);
    }
    m_stopped = true;
}
