// The subdirectory probes of the server and the local store.
#include "filesystem/SubdirectoryProbe.h"

#include "filesystem/WyUrlConnection.h"
#include "framework/Exception.h"
#include "framework/FileFind.h"
#include "net/NetworkWait.h"

#include <algorithm>
#include <atomic>
#include <new>

namespace {

class CServerSubdirectoryProbe : public CWySubdirectoryProbe, private CNetworkWaitHook {
public:
    CServerSubdirectoryProbe(const std::string& server, const std::string& user, const std::string& password,
                             const CFtpOptions& options)
        : m_server(server), m_user(user), m_password(password), m_options(options)
    {
        // Nobody on the worker's thread may hear about its session.
        m_options.judge = nullptr;
        m_options.watcher = nullptr;
    }

    Answer HasSubdirectory(const std::string& path) override
    {
        if (!Connected())
            return Answer::cannotAsk;
        std::vector<CWyDirectoryEntry> entries;
        try {
            // A refused directory has no subdirectory to show.
            if (!m_connection->List(path, entries))
                return Answer::no;
        } catch (const CException&) {
            // A connection that failed (the server dropped an idle one, say)
            // is opened once more for the next question.
            m_connection.reset();
            return m_stopped ? Answer::cannotAsk : Answer::yes;
        }
        const bool any = std::any_of(entries.begin(), entries.end(), [](const CWyDirectoryEntry& entry) {
            return entry.type == CWyDirectoryEntry::kDirectory && entry.name != "." && entry.name != "..";
        });
        return any ? Answer::yes : Answer::no;
    }

    void Rest() override { m_connection.reset(); }
    void Stop() override { m_stopped = true; }

private:
    bool KeepWaiting() override { return !m_stopped; }

    bool Connected()
    {
        if (m_stopped || m_refused)
            return false;
        if (m_connection)
            return true;
        try {
            m_connection = OpenRemoteConnection(m_server, m_user, m_password, m_options, this);
        } catch (const CException&) {
            m_refused = true;
        } catch (const std::bad_alloc&) {
            m_refused = true;
        }
        return m_connection != nullptr;
    }

    const std::string m_server;
    const std::string m_user;
    const std::string m_password;
    CFtpOptions m_options;
    std::unique_ptr<CRemoteConnection> m_connection;
    std::atomic<bool> m_stopped{false};
    bool m_refused = false;  // the first connection failed: no second try
};

class CLocalSubdirectoryProbe : public CWySubdirectoryProbe {
public:
    explicit CLocalSubdirectoryProbe(const std::string& root) : m_root(root) {}

    Answer HasSubdirectory(const std::string& path) override
    {
        std::string pattern = m_root + path;
        if (pattern.empty() || pattern.back() != '/')
            pattern += '/';
        CFileFind finder;
        if (!finder.FindFile((pattern + "*").c_str()))
            return Answer::no;
        for (BOOL more = TRUE; more;) {
            more = finder.FindNextFile();
            if (finder.IsDirectory() && !finder.IsDots())
                return Answer::yes;
        }
        return Answer::no;
    }

private:
    const std::string m_root;
};

}  // namespace

std::unique_ptr<CWySubdirectoryProbe> MakeServerSubdirectoryProbe(const std::string& server, const std::string& user,
                                                                  const std::string& password,
                                                                  const CFtpOptions& options)
{
    return std::make_unique<CServerSubdirectoryProbe>(server, user, password, options);
}

std::unique_ptr<CWySubdirectoryProbe> MakeLocalSubdirectoryProbe(const std::string& root)
{
    return std::make_unique<CLocalSubdirectoryProbe>(root);
}
