// A thread that finds out which of the tree's items get a button, so that the window never waits on the store for it.
#pragma once
#include "filesystem/SubdirectoryProbe.h"

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Questions are taken in the order they are asked (the order the tree shows
// its items in). Answers wait until taken; whenever the first of a batch
// arrives, message is posted to window. A question carries a token of the
// asker's choosing, so that an answer is used only while the asker still
// waits for it.
class CTreeButtonWorker {
public:
    struct Answer {
        unsigned token;
        CWySubdirectoryProbe::Answer value;
    };

    CTreeButtonWorker(std::unique_ptr<CWySubdirectoryProbe> probe, HWND window, UINT message);
    // Stops the probe and waits for the thread, which ends within the
    // probe's bound for a stop.
    ~CTreeButtonWorker();
    CTreeButtonWorker(const CTreeButtonWorker&) = delete;
    CTreeButtonWorker& operator=(const CTreeButtonWorker&) = delete;

    void Ask(unsigned token, const std::string& path);
    // Drops a question not taken up yet.
    void Cancel(unsigned token);
    std::vector<Answer> TakeAnswers();

private:
    struct Question {
        unsigned token;
        std::string path;
    };

    void Run();

    const std::unique_ptr<CWySubdirectoryProbe> m_probe;
    const HWND m_window;
    const UINT m_message;
    std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<Question> m_questions;
    std::vector<Answer> m_answers;
    bool m_stopping = false;
    std::thread m_thread;  // last: starts once the rest is ready
};
