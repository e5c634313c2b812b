// A thread that finds out which of the tree's items get a button, so that the window never waits on the store for it.
#include "explorer/TreeButtonWorker.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace {

// A probe left without questions this long closes its connection, as an
// idle server would after a while.
constexpr std::chrono::seconds kRestAfter(30);

}  // namespace

CTreeButtonWorker::CTreeButtonWorker(std::unique_ptr<CWySubdirectoryProbe> probe, HWND window, UINT message)
    : m_probe(std::move(probe)), m_window(window), m_message(message), m_thread([this] { Run(); })
{
}

CTreeButtonWorker::~CTreeButtonWorker()
{
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        m_stopping = true;
    }
    m_probe->Stop();
    m_wake.notify_one();
    m_thread.join();
}

void CTreeButtonWorker::Ask(unsigned token, const std::string& path)
{
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        m_questions.push_back({token, path});
    }
    m_wake.notify_one();
}

void CTreeButtonWorker::Cancel(unsigned token)
{
    const std::lock_guard<std::mutex> guard(m_lock);
    const auto found = std::find_if(m_questions.begin(), m_questions.end(),
                                    [token](const Question& question) { return question.token == token; });
    if (found != m_questions.end())
        m_questions.erase(found);
}

std::vector<CTreeButtonWorker::Answer> CTreeButtonWorker::TakeAnswers()
{
    const std::lock_guard<std::mutex> guard(m_lock);
    return std::exchange(m_answers, {});
}

void CTreeButtonWorker::Run()
{
    std::unique_lock<std::mutex> lock(m_lock);
    const auto ready = [this] { return m_stopping || !m_questions.empty(); };
    for (;;) {
        if (!m_wake.wait_for(lock, kRestAfter, ready)) {
            lock.unlock();
            m_probe->Rest();
            lock.lock();
            m_wake.wait(lock, ready);
        }
        if (m_stopping)
            return;
        const Question question = std::move(m_questions.front());
        m_questions.pop_front();
        lock.unlock();
        const CWySubdirectoryProbe::Answer value = m_probe->HasSubdirectory(question.path);
        lock.lock();
        if (m_answers.empty())
            PostMessageW(m_window, m_message, 0, 0);
        m_answers.push_back({question.token, value});
        // Without a connection of its own nothing more can be answered.
        if (value == CWySubdirectoryProbe::Answer::cannotAsk)
            return;
    }
}
