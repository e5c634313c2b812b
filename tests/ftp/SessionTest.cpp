// Whole FTP conversations byte for byte: login, commands, awkward replies, deadlines, data connections, transfers, ABOR.
#include "ftp/FtpSession.h"
#include "ftp/FtpTransfer.h"
#include "ftp/ListingParser.h"
#include "ftp/ListingReader.h"
#include "tests/ftp/ScriptedServer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>

namespace {

const Exchange kGreeting = {"", "220 ready\r\n"};
const Exchange kFeatures = {"FEAT", "211-Features:\r\n SIZE\r\n MDTM\r\n211 End\r\n"};
const Exchange kUser = {"USER anonymous", "331 password please\r\n"};
const Exchange kPassword = {"PASS guest", "230 in\r\n"};
const std::vector<Exchange> kLogin = {kGreeting, kFeatures, kUser, kPassword};

std::vector<Exchange> AfterLogin(const std::vector<Exchange>& more)
{
    std::vector<Exchange> all = kLogin;
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

// A session over a scripted server, logged in unless the script says otherwise.
struct Conversation {
    Conversation(std::vector<Exchange> exchanges, Delivery delivery = {}, std::deque<DataScript*> data = {},
                 CFtpOptions options = {}, std::string peer = "192.0.2.10")
        : control(std::move(exchanges), clock, delivery)
    {
        auto made = std::make_unique<CScriptedConnector>(control, std::move(data), clock, peer);
        connector = made.get();
        session = std::make_unique<CFtpSession>(options, std::move(made), clock);
    }

    FtpError Open() { return session->Open("ftp.example.jp", "anonymous", "guest"); }

    CTestClock clock;
    CControlScript control;
    CScriptedConnector* connector;
    std::unique_ptr<CFtpSession> session;
};

std::string Describe(const FtpError& error)
{
    return std::to_string(static_cast<int>(error.code)) + " \"" + error.reply + "\"";
}

// Every conversation runs twice: each reply in one read, and one byte a read.
const Delivery kDeliveries[] = {{}, {1, 0}};

struct LoginCase {
    const char* what;
    std::vector<Exchange> exchanges;
    FtpErrorCode expected;
    const char* reply;  // the error's reply
};

TEST(FtpSession, LogsInAsTheServerAsksAndStopsAtTheFirstRefusal)
{
    const LoginCase cases[] = {
        {"user and password", kLogin, FtpErrorCode::none, ""},
        {"a greeting after 120", {{"", "120 in a moment\r\n220 ready\r\n"}, kFeatures, kUser, kPassword},
         FtpErrorCode::none, ""},
        {"no password asked", {kGreeting, kFeatures, {"USER anonymous", "230 welcome\r\n"}}, FtpErrorCode::none, ""},
        {"a greeting of several lines",
         {{"", "220-Welcome\r\n220-to the\r\n220 server\r\n"}, kFeatures, kUser, kPassword}, FtpErrorCode::none, ""},
        {"features told only after the login",
         {kGreeting, {"FEAT", "530 Please login with USER and PASS.\r\n"}, kUser, kPassword, kFeatures},
         FtpErrorCode::none, ""},
        {"a server without FEAT", {kGreeting, {"FEAT", "500 Unknown command\r\n"}, kUser, kPassword},
         FtpErrorCode::none, ""},
        {"a server that is full", {{"", "421 Too many users\r\n", Then::close}}, FtpErrorCode::refused,
         "421 Too many users"},
        {"a refused password", {kGreeting, kFeatures, kUser, {"PASS guest", "530 Login incorrect.\r\n"}},
         FtpErrorCode::loginRefused, "530 Login incorrect."},
        {"a server that says nothing", {{"", ""}}, FtpErrorCode::timedOut, ""},
    };
    for (const LoginCase& test : cases) {
        for (const Delivery& delivery : kDeliveries) {
            Conversation conversation(test.exchanges, delivery);
            const FtpError error = conversation.Open();
            EXPECT_EQ(test.expected, error.code) << test.what << ": " << Describe(error);
            EXPECT_EQ(test.reply, error.reply) << test.what;
            EXPECT_TRUE(conversation.control.Finished()) << test.what << ": " << conversation.control.Unexpected();
            EXPECT_EQ(test.expected != FtpErrorCode::none, conversation.session->IsBroken()) << test.what;
            // A session that failed to open sends nothing more.
            const std::string sent = conversation.control.Sent();
            if (error) {
                EXPECT_EQ(error.code, conversation.session->Expect("NOOP").code) << test.what;
            }
            EXPECT_EQ(sent, conversation.control.Sent()) << test.what;
        }
    }
}

TEST(FtpSession, TheEncodingOfNamesIsAgreedAfterLogin)
{
    struct Case {
        CFtpOptions::Encoding encoding;
        const char* features;  // FEAT's reply
        const char* answer;    // to OPTS UTF8 ON; nullptr: not asked
        bool utf8;
    };
    const char* const kWithUtf8 = "211-Features:\r\n UTF8\r\n MLST type*;size*;\r\n211 End\r\n";
    const Case cases[] = {
        {CFtpOptions::shiftJis, kWithUtf8, nullptr, false},
        {CFtpOptions::automatic, kFeatures.server.c_str(), "200 UTF8 set\r\n", true},
        {CFtpOptions::automatic, kFeatures.server.c_str(), "504 not here\r\n", false},
        // A server that lists UTF8 speaks it, whatever OPTS says.
        {CFtpOptions::automatic, kWithUtf8, "504 Unknown command\r\n", true},
        {CFtpOptions::utf8, kFeatures.server.c_str(), "500 what\r\n", true},
    };
    for (const Case& test : cases) {
        std::vector<Exchange> exchanges = {kGreeting, {"FEAT", test.features}, kUser, kPassword};
        if (test.answer)
            exchanges.push_back({"OPTS UTF8 ON", test.answer});
        CFtpOptions options;
        options.encoding = test.encoding;
        Conversation conversation(exchanges, {}, {}, options);
        ASSERT_FALSE(conversation.Open()) << test.encoding;
        EXPECT_TRUE(conversation.control.Finished()) << conversation.control.Unexpected();
        std::string wire;
        ASSERT_FALSE(conversation.session->Names().ToWire("資料", wire));
        EXPECT_EQ(test.utf8 ? "\xE8\xB3\x87\xE6\x96\x99" : "資料", wire) << test.encoding;
        EXPECT_EQ(FtpErrorCode::invalidName, conversation.session->Names().ToWire("a\r\nDELE b", wire).code);
    }
}

struct CommandCase {
    const char* what;
    std::vector<Exchange> exchanges;  // after the login
    std::function<FtpError(CFtpSession&)> act;
    FtpErrorCode expected;
    const char* reply;
    bool broken;
};

FtpError ExpectLine(CFtpSession& session, const char* line)
{
    return session.Expect(line);
}

TEST(FtpSession, CommandsMeetEveryKindOfReply)
{
    const auto cwd = [](CFtpSession& session) { return ExpectLine(session, "CWD /pub"); };
    const CommandCase cases[] = {
        {"a completion", {{"CWD /pub", "250 ok\r\n"}}, cwd, FtpErrorCode::none, "", false},
        {"1xx then 2xx", {{"CWD /pub", "150 wait\r\n250 ok\r\n"}}, cwd, FtpErrorCode::none, "", false},
        {"1xx then 4xx", {{"CWD /pub", "150 wait\r\n450 busy\r\n"}}, cwd, FtpErrorCode::refused, "450 busy", false},
        {"an error reply", {{"CWD /pub", "550 No such directory.\r\n"}}, cwd, FtpErrorCode::refused,
         "550 No such directory.", false},
        {"several lines with inner lines that look like codes",
         {{"CWD /pub", "550-No:\r\n250 not this\r\n550-nor this\r\n550 such directory.\r\n"}}, cwd,
         FtpErrorCode::refused, "550-No:\r\n250 not this\r\n550-nor this\r\n550 such directory.", false},
        {"RNFR's 350 where it is expected",
         {{"RNFR a", "350 go on\r\n"}},
         [](CFtpSession& session) { return session.Expect("RNFR a", 350); }, FtpErrorCode::none, "", false},
        {"421: the server closes the connection", {{"CWD /pub", "421 Timeout.\r\n", Then::close}}, cwd,
         FtpErrorCode::refused, "421 Timeout.", true},
        {"a server that falls silent", {{"CWD /pub", ""}}, cwd, FtpErrorCode::timedOut, "", true},
        {"an end in the middle of a reply", {{"CWD /pub", "250 o", Then::close}}, cwd, FtpErrorCode::connectionLost,
         "", true},
        {"a server that speaks no FTP", {{"CWD /pub", "HTTP/1.1 400 Bad Request\r\n"}}, cwd,
         FtpErrorCode::connectionLost, "", true},
    };
    for (const CommandCase& test : cases) {
        for (const Delivery& delivery : kDeliveries) {
            Conversation conversation(AfterLogin(test.exchanges), delivery);
            ASSERT_FALSE(conversation.Open()) << test.what;
            const FtpError error = test.act(*conversation.session);
            EXPECT_EQ(test.expected, error.code) << test.what << ": " << Describe(error);
            EXPECT_EQ(test.reply, error.reply) << test.what;
            EXPECT_TRUE(conversation.control.Finished()) << test.what << ": " << conversation.control.Unexpected();
            EXPECT_EQ(test.broken, conversation.session->IsBroken()) << test.what;
            if (!test.broken)
                continue;
            // Broken: later calls fail at once with the same error and send nothing.
            const std::string sent = conversation.control.Sent();
            const ULONGLONG before = conversation.clock.Now();
            EXPECT_EQ(test.expected, ExpectLine(*conversation.session, "NOOP").code) << test.what;
            EXPECT_EQ(sent, conversation.control.Sent()) << test.what;
            EXPECT_EQ(before, conversation.clock.Now()) << test.what;
        }
    }
}

TEST(FtpSession, AGoodbyeThatCameWhileIdleBreaksTheSessionBeforeACommandGoes)
{
    // The server's idle timeout: "421" after the login, then the end.
    Conversation conversation({kGreeting, kFeatures, kUser, {"PASS guest", "230 in\r\n421 Timeout.\r\n", Then::close}});
    ASSERT_FALSE(conversation.Open());
    const std::string sent = conversation.control.Sent();
    const FtpError error = ExpectLine(*conversation.session, "CWD /pub");
    EXPECT_EQ(FtpErrorCode::refused, error.code);
    EXPECT_EQ("421 Timeout.", error.reply);
    EXPECT_TRUE(conversation.session->IsBroken());
    EXPECT_EQ(sent, conversation.control.Sent());
}

TEST(FtpSession, AKeepAliveBetweenCallsWaitsForNothingAndItsReplyGoesBeforeTheNextCommands)
{
    CFtpOptions options;
    options.keepAliveMilliseconds = 1000;
    // Every read of a reply takes 50 ms: a KeepAlive that read its reply would take them.
    Conversation conversation(AfterLogin({{"NOOP", "200 ok\r\n"}, {"PWD", "257 \"/\"\r\n"}}), {1 << 20, 50}, {},
                              options);
    ASSERT_FALSE(conversation.Open());
    EXPECT_FALSE(conversation.session->KeepAlive());  // not silent long enough: nothing goes
    conversation.clock.Advance(1000);
    const ULONGLONG before = conversation.clock.Now();
    EXPECT_FALSE(conversation.session->KeepAlive());
    EXPECT_EQ(before, conversation.clock.Now());
    std::string directory;
    EXPECT_FALSE(conversation.session->AskWorkingDirectory(directory));
    EXPECT_EQ("/", directory);
    EXPECT_TRUE(conversation.control.Finished()) << conversation.control.Unexpected();
}

TEST(FtpSession, OneDeadlineHoldsAWholeReplyHoweverItTrickles)
{
    struct Case {
        const char* what;
        const char* reply;
        Delivery delivery;
        FtpErrorCode expected;
    };
    const Case cases[] = {
        {"silence", "", {}, FtpErrorCode::timedOut},
        {"14 bytes, one each 5 s", "250 ok, done\r\n", {1, 5000}, FtpErrorCode::timedOut},
        {"8 bytes, one each 5 s", "250 ok\r\n", {1, 5000}, FtpErrorCode::none},
    };
    for (const Case& test : cases) {
        Conversation conversation(AfterLogin({{"CWD /pub", test.reply}}));
        ASSERT_FALSE(conversation.Open()) << test.what;
        conversation.control.SetDelivery(test.delivery);
        const ULONGLONG sent = conversation.clock.Now();
        EXPECT_EQ(test.expected, conversation.session->Expect("CWD /pub").code) << test.what;
        if (test.expected == FtpErrorCode::timedOut) {
            const ULONGLONG waited = conversation.clock.Now() - sent;
            EXPECT_GE(waited, kDefaultTimeoutSeconds * 1000) << test.what;
            EXPECT_LE(waited, kDefaultTimeoutSeconds * 1000 + test.delivery.delayPerRead) << test.what;
        }
    }
}

// Scripts of data connections, and the session's transfers over them.
struct TransferRun {
    explicit TransferRun(std::vector<Exchange> exchanges, std::deque<DataScript*> data, bool passive = true,
                         std::string peer = "192.0.2.10")
        : conversation(AfterLogin(exchanges), {}, std::move(data), Options(passive), std::move(peer))
    {
        EXPECT_FALSE(conversation.Open());
    }

    static CFtpOptions Options(bool passive)
    {
        CFtpOptions options;
        options.passive = passive;
        return options;
    }

    // Opens command's transfer and reads it to its end.
    FtpError Download(const std::string& command, std::string& bytes)
    {
        std::unique_ptr<CFtpTransfer> transfer;
        if (const FtpError error = conversation.session->OpenTransfer(command, 'I', transfer))
            return error;
        std::vector<char> buffer(64 * 1024);
        for (;;) {
            size_t read = 0;
            if (const FtpError error = transfer->Read(buffer.data(), buffer.size(), read))
                return error;
            if (read == 0)
                break;
            bytes.append(buffer.data(), read);
        }
        return transfer->Finish();
    }

    Conversation conversation;
};

TEST(FtpTransfer, DataConnectionsGoToTheServerWhateverItsRepliesName)
{
    struct Case {
        const char* what;
        bool passive;
        std::string peer;      // of the control connection
        std::string dataFrom;  // active mode: where the data connection comes from
        std::vector<Exchange> exchanges;
        const char* connectedTo;  // passive mode
        FtpErrorCode expected;
    };
    const Case cases[] = {
        {"PASV naming another address", true, "192.0.2.10", "",
         {{"TYPE I", "200 binary\r\n"},
          {"PASV", "227 Entering Passive Mode (10,0,0,1,4,1)\r\n"},
          {"RETR f", "150 here it comes\r\n226 sent\r\n"}},
         "192.0.2.10 1025", FtpErrorCode::none},
        {"EPSV on IPv6", true, "2001:db8::10", "",
         {{"TYPE I", "200 binary\r\n"},
          {"EPSV", "229 Entering Extended Passive Mode (|||6446|)\r\n"},
          {"RETR f", "150 here it comes\r\n226 sent\r\n"}},
         "2001:db8::10 6446", FtpErrorCode::none},
        {"PASV without a port", true, "192.0.2.10", "",
         {{"TYPE I", "200 binary\r\n"}, {"PASV", "227 Entering Passive Mode\r\n"}}, nullptr, FtpErrorCode::refused},
        {"PORT, and the server connects", false, "192.0.2.10", "192.0.2.10",
         {{"TYPE I", "200 binary\r\n"},
          {"PORT 192,0,2,99,18,52", "200 PORT ok\r\n"},
          {"RETR f", "150 here it comes\r\n226 sent\r\n"}},
         nullptr, FtpErrorCode::none},
        {"PORT, and another host connects", false, "192.0.2.10", "198.51.100.7",
         {{"TYPE I", "200 binary\r\n"},
          {"PORT 192,0,2,99,18,52", "200 PORT ok\r\n"},
          {"RETR f", "150 here it comes\r\n"}},
         nullptr, FtpErrorCode::cannotConnect},
    };
    for (const Case& test : cases) {
        DataScript data{"hello"};
        TransferRun run(test.exchanges, {&data}, test.passive, test.peer);
        run.conversation.connector->dataPeerHost = test.dataFrom.empty() ? test.peer : test.dataFrom;
        std::string bytes;
        const FtpError error = run.Download("RETR f", bytes);
        EXPECT_EQ(test.expected, error.code) << test.what << ": " << Describe(error);
        EXPECT_TRUE(run.conversation.control.Finished()) << test.what << ": " << run.conversation.control.Unexpected();
        if (test.connectedTo) {
            EXPECT_EQ(std::vector<std::string>{test.connectedTo}, run.conversation.connector->connectedTo) << test.what;
        }
        if (!error) {
            EXPECT_EQ("hello", bytes) << test.what;
        }
    }
}

struct EndCase {
    const char* what;
    std::vector<Exchange> exchanges;
    DataScript data;
    FtpErrorCode expected;
    const char* reply;
    bool broken;
};

TEST(FtpTransfer, ATransferCountsOnlyWhenTheServerConfirmsIt)
{
    const Exchange type = {"TYPE I", "200 binary\r\n"};
    const Exchange pasv = {"PASV", "227 Entering Passive Mode (192,0,2,10,4,1)\r\n"};
    const EndCase cases[] = {
        {"150, data, 226", {type, pasv, {"RETR f", "150 go\r\n226 done\r\n"}}, {"hello"}, FtpErrorCode::none, "",
         false},
        {"226 at once", {type, pasv, {"RETR f", "226 done already\r\n"}}, {"hello"}, FtpErrorCode::none, "", false},
        {"200 as the end", {type, pasv, {"RETR f", "150 go\r\n200 done\r\n"}}, {"hello"}, FtpErrorCode::none, "",
         false},
        {"426 after the data", {type, pasv, {"RETR f", "150 go\r\n426 Connection closed; transfer aborted.\r\n"}},
         {"hel"}, FtpErrorCode::brokenOff, "426 Connection closed; transfer aborted.", false},
        {"no final reply", {type, pasv, {"RETR f", "150 go\r\n"}}, {"hello"}, FtpErrorCode::timedOut, "", true},
        {"refused at once", {type, pasv, {"RETR f", "550 No such file.\r\n"}}, {"unused"}, FtpErrorCode::refused,
         "550 No such file.", false},
        {"data that stops coming", {type, pasv, {"RETR f", "150 go\r\n"}}, {"hel", true}, FtpErrorCode::timedOut, "",
         true},
    };
    for (const EndCase& test : cases) {
        DataScript data = test.data;
        TransferRun run(test.exchanges, {&data});
        std::string bytes;
        const FtpError error = run.Download("RETR f", bytes);
        EXPECT_EQ(test.expected, error.code) << test.what << ": " << Describe(error);
        EXPECT_EQ(test.reply, error.reply) << test.what;
        EXPECT_EQ(test.broken, run.conversation.session->IsBroken()) << test.what;
        EXPECT_TRUE(run.conversation.control.Finished()) << test.what << ": " << run.conversation.control.Unexpected();
    }
}

// A server confirms a transfer cut short when its data fitted in the
// sockets' buffers before the cut: the bytes must add up to the file.
TEST(FtpTransfer, ADownloadCountsOnlyWithAsManyBytesAsTheFileHolds)
{
    struct Case {
        const char* what;
        const char* started;  // the reply to RETR
        LONGLONG known;       // the size known before
        const char* bytes;
        FtpErrorCode expected;
    };
    const Case cases[] = {
        {"the size known before", "150 go\r\n226 done\r\n", 10, "0123456789", FtpErrorCode::none},
        {"fewer than known", "150 go\r\n226 done\r\n", 10, "01234", FtpErrorCode::sizeMismatch},
        {"more than known", "150 go\r\n226 done\r\n", 3, "01234", FtpErrorCode::sizeMismatch},
        {"fewer than the reply names",
         "150 Opening BINARY mode data connection for f (10 bytes).\r\n226 done\r\n", -1, "01234",
         FtpErrorCode::sizeMismatch},
        {"the reply's size, newer than the one known",
         "150 Opening BINARY mode data connection for f (5 bytes).\r\n226 done\r\n", 10, "01234",
         FtpErrorCode::none},
        {"a name that looks like a size", "150 Opening data connection for f (5 bytes) x\r\n226 done\r\n", -1,
         "0123456789", FtpErrorCode::none},
        {"nothing known: the final reply decides", "150 go\r\n226 done\r\n", -1, "01234", FtpErrorCode::none},
        {"a refusal still says why", "150 go (10 bytes)\r\n426 aborted\r\n", 10, "01234", FtpErrorCode::brokenOff},
    };
    for (const Case& test : cases) {
        DataScript data{test.bytes};
        TransferRun run({{"TYPE I", "200 binary\r\n"},
                         {"PASV", "227 Entering Passive Mode (192,0,2,10,4,1)\r\n"},
                         {"RETR f", test.started},
                         {"PWD", "257 \"/\"\r\n"}},
                        {&data});
        std::unique_ptr<CFtpTransfer> transfer;
        ASSERT_FALSE(run.conversation.session->OpenTransfer("RETR f", 'I', transfer)) << test.what;
        transfer->ExpectDownloadOf(test.known);
        char buffer[64];
        size_t read = 0;
        ASSERT_FALSE(transfer->Read(buffer, sizeof buffer, read)) << test.what;
        EXPECT_EQ(test.expected, transfer->Finish().code) << test.what;
        // The server confirmed or refused: the session is in step either way.
        EXPECT_FALSE(run.conversation.session->Expect("PWD")) << test.what;
        EXPECT_TRUE(run.conversation.control.Finished()) << test.what << ": " << run.conversation.control.Unexpected();
    }
}

TEST(FtpTransfer, AnUploadCountsOnlyWhenTheServerHoldsWhatWasSent)
{
    struct Case {
        const char* what;
        std::vector<Exchange> afterStore;  // after the 226
        FtpErrorCode expected;
        bool askedAgain;  // whether a second upload asks SIZE too
    };
    const Case cases[] = {
        {"all of it", {{"SIZE up", "213 3\r\n"}}, FtpErrorCode::none, true},
        {"a part", {{"SIZE up", "213 1\r\n"}}, FtpErrorCode::sizeMismatch, true},
        {"no size for the file", {{"SIZE up", "550 Could not get file size.\r\n"}}, FtpErrorCode::none, true},
        {"a server without SIZE", {{"SIZE up", "500 Unknown command.\r\n"}}, FtpErrorCode::none, false},
    };
    const Exchange pasv = {"PASV", "227 Entering Passive Mode (192,0,2,10,4,1)\r\n"};
    const Exchange store = {"STOR up", "150 send it\r\n226 stored\r\n"};
    for (const Case& test : cases) {
        std::vector<Exchange> exchanges = {{"TYPE I", "200 binary\r\n"}, pasv, store};
        exchanges.insert(exchanges.end(), test.afterStore.begin(), test.afterStore.end());
        exchanges.push_back(pasv);
        exchanges.push_back(store);
        if (test.askedAgain)
            exchanges.push_back({"SIZE up", "213 3\r\n"});
        DataScript first;
        DataScript second;
        TransferRun run(exchanges, {&first, &second});
        for (FtpErrorCode expected : {test.expected, FtpErrorCode::none}) {
            std::unique_ptr<CFtpTransfer> transfer;
            ASSERT_FALSE(run.conversation.session->OpenTransfer("STOR up", 'I', transfer)) << test.what;
            transfer->VerifyUploadTo("up");
            ASSERT_FALSE(transfer->Write("abc", 3)) << test.what;
            EXPECT_EQ(expected, transfer->Finish().code) << test.what;
        }
        EXPECT_TRUE(run.conversation.control.Finished()) << test.what << ": " << run.conversation.control.Unexpected();
    }
}

TEST(FtpTransfer, TheSlowestPaceAllowedIsAKilobyteAWindow)
{
    const std::vector<Exchange> exchanges = {
        {"TYPE I", "200 binary\r\n"},
        {"PASV", "227 Entering Passive Mode (192,0,2,10,4,1)\r\n"},
        {"RETR f", "150 go\r\n226 done\r\n"}};
    // 10 bytes every 10 s trickles; 2,000 bytes every 10 s is slow but honest.
    DataScript trickle{std::string(100000, 't'), false, {10, 10000}};
    DataScript honest{std::string(30000, 'h'), false, {2000, 10000}};
    {
        TransferRun run(exchanges, {&trickle});
        std::string bytes;
        EXPECT_EQ(FtpErrorCode::timedOut, run.Download("RETR f", bytes).code);
        EXPECT_GT(1024u, bytes.size());
        EXPECT_TRUE(run.conversation.session->IsBroken());
    }
    {
        TransferRun run(exchanges, {&honest});
        std::string bytes;
        EXPECT_FALSE(run.Download("RETR f", bytes));
        EXPECT_EQ(30000u, bytes.size());
    }
}

TEST(FtpTransfer, AnUploadEndsItsDataBeforeTheFinalReply)
{
    DataScript data;
    TransferRun run({{"TYPE I", "200 binary\r\n"},
                     {"PASV", "227 Entering Passive Mode (192,0,2,10,4,1)\r\n"},
                     {"STOR up", "150 send it\r\n226 stored\r\n"}},
                    {&data});
    std::unique_ptr<CFtpTransfer> transfer;
    ASSERT_FALSE(run.conversation.session->OpenTransfer("STOR up", 'I', transfer));
    EXPECT_EQ(FtpErrorCode::busy, run.conversation.session->Expect("NOOP").code) << "one transfer at a time";
    ASSERT_FALSE(transfer->Write("abc", 3));
    ASSERT_FALSE(transfer->Finish());
    EXPECT_EQ("abc", data.received);
    EXPECT_TRUE(data.finishedSending);
    EXPECT_TRUE(run.conversation.control.Finished()) << run.conversation.control.Unexpected();
    EXPECT_EQ(std::string::npos, run.conversation.control.Sent().find("NOOP")) << "the busy command was not sent";
}

// The replies ABOR brings vary; NOOP's 200 marks their end.
TEST(FtpTransfer, AResumedDownloadStartsWithRestAfterTheDataConnectionAndCountsTheBytesBefore)
{
    const Exchange type = {"TYPE I", "200 binary\r\n"};
    const Exchange pasv = {"PASV", "227 Entering Passive Mode (192,0,2,10,4,1)\r\n"};
    struct Case {
        const char* what;
        std::vector<Exchange> exchanges;
        const char* bytes;
        FtpErrorCode opened;
        FtpErrorCode finished;
    };
    const Case cases[] = {
        // A resumed transfer's "(N bytes)" may name the rest or the whole file: the size known decides.
        {"the rest", {type, pasv, {"REST 5", "350 ok\r\n"}, {"RETR f", "150 go (5 bytes)\r\n226 done\r\n"}},
         "fghij", FtpErrorCode::none, FtpErrorCode::none},
        {"short of the size", {type, pasv, {"REST 5", "350 ok\r\n"}, {"RETR f", "150 go\r\n226 done\r\n"}}, "fg",
         FtpErrorCode::none, FtpErrorCode::sizeMismatch},
        {"REST refused", {type, pasv, {"REST 5", "502 not implemented\r\n"}}, "", FtpErrorCode::refused,
         FtpErrorCode::none},
    };
    for (const Case& test : cases) {
        DataScript data{test.bytes};
        std::vector<Exchange> exchanges = test.exchanges;
        exchanges.push_back({"PWD", "257 \"/\"\r\n"});
        TransferRun run(exchanges, {&data});
        std::unique_ptr<CFtpTransfer> transfer;
        ASSERT_EQ(test.opened, run.conversation.session->OpenTransfer("RETR f", 'I', transfer, 5).code) << test.what;
        if (transfer) {
            transfer->ExpectDownloadOf(10);
            char buffer[64];
            size_t read = 0;
            ASSERT_FALSE(transfer->Read(buffer, sizeof buffer, read)) << test.what;
            EXPECT_EQ(test.finished, transfer->Finish().code) << test.what;
        }
        EXPECT_FALSE(run.conversation.session->Expect("PWD")) << test.what;
        EXPECT_TRUE(run.conversation.control.Finished()) << test.what << ": " << run.conversation.control.Unexpected();
    }
}

// Data that arrives a byte every 700 ms leaves the control connection
// silent: with a keep-alive of 1 s, NOOP goes twice (at 1.4 s and 2.8 s).
TEST(FtpTransfer, KeepAliveRepliesAreReadWithTheTransfersInEitherOrder)
{
    const Exchange type = {"TYPE I", "200 binary\r\n"};
    const Exchange pasv = {"PASV", "227 Entering Passive Mode (192,0,2,10,4,1)\r\n"};
    const Exchange retr = {"RETR f", "150 go\r\n"};
    struct Case {
        const char* what;
        const char* firstNoop;   // what the server answers at the first NOOP
        const char* secondNoop;  // and at the second
        FtpErrorCode expected;
    };
    const Case cases[] = {
        {"answered at once", "200 ok\r\n", "200 ok\r\n226 done\r\n", FtpErrorCode::none},
        {"answered after the transfer", "", "226 done\r\n200 ok\r\n200 ok\r\n", FtpErrorCode::none},
        {"one refused", "", "226 done\r\n500 busy\r\n200 ok\r\n", FtpErrorCode::none},
        {"the transfer broken off", "200 ok\r\n", "426 aborted\r\n200 ok\r\n", FtpErrorCode::brokenOff},
    };
    for (const Case& test : cases) {
        DataScript data{"ab", false, {1, 700}};
        CFtpOptions options;
        options.passive = true;
        options.keepAliveMilliseconds = 1000;
        Conversation conversation(AfterLogin({type, pasv, retr, {"NOOP", test.firstNoop}, {"NOOP", test.secondNoop},
                                              {"PWD", "257 \"/\"\r\n"}}),
                                  {}, {&data}, options);
        ASSERT_FALSE(conversation.Open());
        std::unique_ptr<CFtpTransfer> transfer;
        ASSERT_FALSE(conversation.session->OpenTransfer("RETR f", 'I', transfer)) << test.what;
        char buffer[64];
        size_t read = 0;
        ASSERT_FALSE(transfer->Read(buffer, sizeof buffer, read)) << test.what;
        EXPECT_EQ("ab", std::string(buffer, read)) << test.what;
        EXPECT_EQ(test.expected, transfer->Finish().code) << test.what;
        // Every reply was read: the next command gets its own.
        EXPECT_FALSE(conversation.session->Expect("PWD")) << test.what;
        EXPECT_TRUE(conversation.control.Finished()) << test.what << ": " << conversation.control.Unexpected();
    }
}

TEST(FtpTransfer, AnAbandonedTransferPutsTheSessionBackInStep)
{
    struct Case {
        const char* what;
        std::vector<Exchange> abort;
        bool inStep;
    };
    const Case cases[] = {
        {"426 and 226", {{"ABOR", "426 aborted\r\n226 abort done\r\n"}, {"NOOP", "200 ok\r\n"}}, true},
        {"225 alone", {{"ABOR", "225 no transfer\r\n"}, {"NOOP", "200 ok\r\n"}}, true},
        {"the transfer's own 226 first",
         {{"ABOR", "226 done\r\n226 abort ok\r\n"}, {"NOOP", "200 ok\r\n"}}, true},
        {"nothing at all", {{"ABOR", ""}, {"NOOP", ""}}, false},
    };
    for (const Case& test : cases) {
        std::vector<Exchange> exchanges = {{"TYPE I", "200 binary\r\n"},
                                           {"PASV", "227 Entering Passive Mode (192,0,2,10,4,1)\r\n"},
                                           {"RETR f", "150 go\r\n"}};
        exchanges.insert(exchanges.end(), test.abort.begin(), test.abort.end());
        if (test.inStep)
            exchanges.push_back({"PWD", "257 \"/pub\"\r\n"});
        DataScript data{std::string(1000, 'd')};
        TransferRun run(exchanges, {&data});
        std::unique_ptr<CFtpTransfer> transfer;
        ASSERT_FALSE(run.conversation.session->OpenTransfer("RETR f", 'I', transfer)) << test.what;
        char buffer[10];
        size_t read = 0;
        ASSERT_FALSE(transfer->Read(buffer, sizeof buffer, read)) << test.what;
        transfer.reset();  // abandoned
        EXPECT_EQ(!test.inStep, run.conversation.session->IsBroken()) << test.what;
        if (test.inStep) {
            EXPECT_FALSE(run.conversation.session->Expect("PWD")) << test.what;
        }
        EXPECT_TRUE(run.conversation.control.Finished()) << test.what << ": " << run.conversation.control.Unexpected();
    }
}

class StopAtOnce : public CNetworkWaitHook {
public:
    bool KeepWaiting() override
    {
        ++asked;
        return false;
    }
    int asked = 0;
};

TEST(FtpTransfer, AWaitTheHookStopsIsCancelledAndLeavesTheSessionInStep)
{
    DataScript data{"", true};
    TransferRun run({{"TYPE I", "200 binary\r\n"},
                     {"PASV", "227 Entering Passive Mode (192,0,2,10,4,1)\r\n"},
                     {"RETR f", "150 go\r\n"},
                     {"ABOR", "426 aborted\r\n226 ok\r\n"},
                     {"NOOP", "200 ok\r\n"}},
                    {&data});
    std::unique_ptr<CFtpTransfer> transfer;
    ASSERT_FALSE(run.conversation.session->OpenTransfer("RETR f", 'I', transfer));
    StopAtOnce hook;
    transfer->SetWaitHook(&hook);
    const ULONGLONG before = run.conversation.clock.Now();
    char buffer[10];
    size_t read = 0;
    EXPECT_EQ(FtpErrorCode::cancelled, transfer->Read(buffer, sizeof buffer, read).code);
    EXPECT_EQ(1, hook.asked);
    EXPECT_EQ(before, run.conversation.clock.Now()) << "cancelled without waiting";
    EXPECT_FALSE(run.conversation.session->IsBroken());
    EXPECT_TRUE(run.conversation.control.Finished()) << run.conversation.control.Unexpected();
}

TEST(FtpListing, AListingCountsWhenConfirmedAndTellsACutOffFromARefusal)
{
    const std::string lines = "total 8\r\n"
                              "drwxr-xr-x 2 ftp ftp 4096 Jan  2  2024 docs\r\n"
                              "-rw-r--r-- 1 ftp ftp 1234 Jan  2  2024 a file.txt\r\n";
    struct Case {
        const char* what;
        const char* reply;
        size_t entries;
        FtpErrorCode expected;
    };
    const Case cases[] = {
        {"confirmed", "150 list\r\n226 done\r\n", 2, FtpErrorCode::none},
        {"ended by 426", "150 list\r\n426 broken\r\n", 0, FtpErrorCode::brokenOff},
        {"refused", "550 no such directory\r\n", 0, FtpErrorCode::refused},
    };
    for (const Case& test : cases) {
        DataScript data{lines};
        // Listed inside the directory, without an argument, and back.
        std::vector<Exchange> exchanges = {{"PWD", "257 \"/\" is current\r\n"},
                                           {"CWD /pub", "250 ok\r\n"},
                                           {"TYPE A", "200 ascii\r\n"},
                                           {"PASV", "227 Entering Passive Mode (192,0,2,10,4,1)\r\n"},
                                           {"LIST", test.reply},
                                           {"CWD /", "250 ok\r\n"}};
        TransferRun run(exchanges, {&data});
        std::vector<FtpEntry> entries;
        const FtpError error = ListDirectory(*run.conversation.session, "/pub", entries);
        EXPECT_EQ(test.expected, error.code) << test.what;
        ASSERT_EQ(test.entries, entries.size()) << test.what;
        if (test.entries == 2) {
            EXPECT_EQ("docs", entries[0].name);
            EXPECT_EQ("a file.txt", entries[1].name);
            EXPECT_EQ(1234u, entries[1].size);
        }
    }
}

TEST(FtpListing, LinksAreWhatSizeSaysTheyLeadTo)
{
    // SIZE answers for a file, following the link, and is refused for
    // anything else: a link to a directory, or to nothing.
    DataScript data{"lrwxrwxrwx 1 a b 12 Jan  2  2020 a link -> a target.txt\r\n"
                    "lrwxrwxrwx 1 a b 7 Jan  2  2020 broken -> nowhere\r\n"
                    "-rw-r--r-- 1 a b 13 Jan  2  2020 a target.txt\r\n"};
    TransferRun run({{"PWD", "257 \"/\" is current\r\n"},
                     {"CWD /pub", "250 ok\r\n"},
                     {"TYPE A", "200 ascii\r\n"},
                     {"PASV", "227 Entering Passive Mode (192,0,2,10,4,1)\r\n"},
                     {"LIST", "150 list\r\n226 done\r\n"},
                     {"CWD /", "250 ok\r\n"},
                     {"TYPE I", "200 binary\r\n"},
                     {"SIZE /pub/a link", "213 13\r\n"},
                     {"SIZE /pub/broken", "550 Could not get file size.\r\n"}},
                    {&data});
    std::vector<FtpEntry> entries;
    ASSERT_FALSE(ListDirectory(*run.conversation.session, "/pub", entries));
    ASSERT_EQ(3u, entries.size());
    EXPECT_EQ(FtpEntry::Kind::file, entries[0].kind);
    EXPECT_EQ(13u, entries[0].size);
    EXPECT_EQ(FtpEntry::Kind::directory, entries[1].kind);
    EXPECT_EQ(FtpEntry::Kind::file, entries[2].kind);
    EXPECT_TRUE(run.conversation.control.Finished()) << run.conversation.control.Unexpected();
}

TEST(FtpListing, ListedTimesAreCorrectedByTheServersOffsetLearnedOnce)
{
    // A server nine hours ahead of UTC lists its local time; MDTM tells UTC
    // to the second, the listing only to the minute.
    const std::string line = "-rw-r--r-- 1 ftp ftp 5 Jan  2 18:05 f.txt\r\n";
    SYSTEMTIME now;
    GetSystemTime(&now);
    FtpEntry listed;
    ASSERT_TRUE(ParseListingLine(line.substr(0, line.size() - 2), now, listed));
    ULARGE_INTEGER ticks = {{listed.written.dwLowDateTime, listed.written.dwHighDateTime}};
    ticks.QuadPart -= 9ull * 3600 * 10000000;
    const FILETIME utc = {ticks.LowPart, ticks.HighPart};
    SYSTEMTIME exact;
    FileTimeToSystemTime(&utc, &exact);
    char mdtm[64];
    std::snprintf(mdtm, sizeof mdtm, "213 %04u%02u%02u%02u%02u17\r\n", exact.wYear, exact.wMonth, exact.wDay, exact.wHour,
                  exact.wMinute);
    DataScript first{line};
    DataScript second{line};
    const Exchange pasv = {"PASV", "227 Entering Passive Mode (192,0,2,10,4,1)\r\n"};
    TransferRun run({{"PWD", "257 \"/pub\" is current\r\n"},
                     {"TYPE A", "200 ascii\r\n"},
                     pasv,
                     {"LIST", "150 list\r\n226 done\r\n"},
                     {"MDTM /pub/f.txt", mdtm},
                     pasv,
                     {"LIST", "150 list\r\n226 done\r\n"}},
                    {&first, &second});
    for (int round = 0; round < 2; ++round) {
        std::vector<FtpEntry> entries;
        ASSERT_FALSE(ListDirectory(*run.conversation.session, "/pub", entries)) << round;
        ASSERT_EQ(1u, entries.size());
        EXPECT_EQ(utc.dwLowDateTime, entries[0].written.dwLowDateTime) << round;
        EXPECT_EQ(utc.dwHighDateTime, entries[0].written.dwHighDateTime) << round;
    }
    EXPECT_TRUE(run.conversation.control.Finished()) << run.conversation.control.Unexpected();
}

// Secure sessions: nothing goes after a refused handshake or certificate,
// and a data connection's handshake and the server's first reply to its
// command may come in either order, or a refusal instead of both.
class AcceptingJudge : public CCertificateJudge {
public:
    bool AcceptCertificate(const CServerCertificate&, CertificateProblem) override { return true; }
};

CFtpOptions SecureOptions(CFtpOptions::Security security, const std::string& pin, CCertificateJudge* judge = nullptr)
{
    CFtpOptions options;
    options.security = security;
    options.certificatePin = pin;
    options.judge = judge;
    options.passive = true;
    return options;
}

const Exchange kAuthTls = {"AUTH TLS", "234 AUTH TLS successful.\r\n"};
const std::vector<Exchange> kProtect = {{"PBSZ 0", "200 PBSZ=0\r\n"}, {"PROT P", "200 Protection set.\r\n"}};

TEST(FtpTls, TheLoginGoesOnlyAfterTheHandshakeAndTheCertificatePass)
{
    const std::string server = TestCertificate("server").Fingerprint();
    AcceptingJudge accepting;
    std::vector<Exchange> login = {kGreeting, kAuthTls, kFeatures, kUser, kPassword};
    login.insert(login.end(), kProtect.begin(), kProtect.end());
    struct Case {
        const char* what;
        CFtpOptions options;
        std::vector<Exchange> exchanges;
        SecureScript handshake;
        FtpErrorCode expected;
        const char* lastSent;  // nothing goes after it
    };
    const Case cases[] = {
        {"pinned to the certificate presented", SecureOptions(CFtpOptions::explicitTls, server), login, {},
         FtpErrorCode::none, "PROT P"},
        {"implicit, pinned", SecureOptions(CFtpOptions::implicitTls, server),
         {kGreeting, kFeatures, kUser, kPassword, kProtect[0], kProtect[1]}, {}, FtpErrorCode::none, "PROT P"},
        {"pinned to another", SecureOptions(CFtpOptions::explicitTls, TestCertificate("other").Fingerprint()),
         {kGreeting, kAuthTls}, {}, FtpErrorCode::untrustedCertificate, "AUTH TLS"},
        // Self-signed: no trusted root.
        {"checked by the platform", SecureOptions(CFtpOptions::explicitTls, ""), {kGreeting, kAuthTls}, {},
         FtpErrorCode::untrustedCertificate, "AUTH TLS"},
        {"accepted by the host's judge", SecureOptions(CFtpOptions::explicitTls, "", &accepting), login, {},
         FtpErrorCode::none, "PROT P"},
        {"a handshake broken off", SecureOptions(CFtpOptions::explicitTls, server), {kGreeting, kAuthTls},
         {SecureScript::fails}, FtpErrorCode::secureChannel, "AUTH TLS"},
        {"a handshake that stalls", SecureOptions(CFtpOptions::explicitTls, server), {kGreeting, kAuthTls},
         {SecureScript::stalls}, FtpErrorCode::timedOut, "AUTH TLS"},
        {"AUTH TLS refused", SecureOptions(CFtpOptions::explicitTls, server),
         {kGreeting, {"AUTH TLS", "502 Not here.\r\n"}}, {}, FtpErrorCode::refused, "AUTH TLS"},
        {"PROT P refused", SecureOptions(CFtpOptions::explicitTls, server),
         {kGreeting, kAuthTls, kFeatures, kUser, kPassword, kProtect[0], {"PROT P", "536 No.\r\n"}}, {},
         FtpErrorCode::refused, "PROT P"},
    };
    for (const Case& test : cases) {
        Conversation conversation(test.exchanges, {}, {}, test.options);
        conversation.connector->secures = {test.handshake};
        const FtpError error = conversation.Open();
        EXPECT_EQ(test.expected, error.code) << test.what << ": " << Describe(error);
        EXPECT_TRUE(conversation.control.Finished()) << test.what << ": " << conversation.control.Unexpected();
        EXPECT_EQ(test.expected != FtpErrorCode::none, conversation.session->IsBroken()) << test.what;
        const std::string& sent = conversation.control.Sent();
        const std::string last = std::string(test.lastSent) + "\r\n";
        EXPECT_EQ(last, sent.substr(sent.size() - std::min(sent.size(), last.size()))) << test.what;
        // The fingerprint of what was presented, for a person to pin.
        // Every row but AUTH TLS's refusal runs its handshake.
        const bool handshake = test.exchanges.size() < 2 || test.exchanges[1].server.rfind("502", 0) != 0;
        EXPECT_EQ(handshake ? 1u : 0u, conversation.connector->securedFor.size()) << test.what;
        const bool presented = handshake && test.handshake.outcome == SecureScript::completes;
        EXPECT_EQ(presented ? server : "", conversation.session->LastCertificateFingerprint()) << test.what;
    }
}

TEST(FtpTls, DataConnectionsAreSecuredWhicheverComesFirstTheReplyOrTheHandshake)
{
    struct Case {
        const char* what;
        const char* reply;  // to RETR
        SecureScript handshake;
        FtpErrorCode expected;
        bool broken;
    };
    const Case cases[] = {
        {"the reply, then the handshake", "150 go\r\n226 done\r\n", {}, FtpErrorCode::none, false},
        {"the handshake waits for the reply", "150 go\r\n226 done\r\n", {SecureScript::afterAWait},
         FtpErrorCode::none, false},
        {"a refusal instead of either", "550 No such file.\r\n", {SecureScript::fails}, FtpErrorCode::refused, false},
        // A server that demands the control connection's TLS session back.
        {"the handshake refused with a reason", "522 SSL connection failed: session reuse required\r\n",
         {SecureScript::fails}, FtpErrorCode::refused, false},
        {"another server's certificate", "150 go\r\n", {SecureScript::completes, "other"},
         FtpErrorCode::secureChannel, true},
        {"a handshake that stalls", "150 go\r\n", {SecureScript::stalls}, FtpErrorCode::timedOut, true},
        {"silence and a handshake that stalls", "", {SecureScript::stalls}, FtpErrorCode::timedOut, true},
    };
    for (const Case& test : cases) {
        std::vector<Exchange> exchanges = {kGreeting, kAuthTls, kFeatures, kUser, kPassword, kProtect[0],
                                           kProtect[1], {"TYPE I", "200 binary\r\n"},
                                           {"PASV", "227 Entering Passive Mode (192,0,2,10,4,1)\r\n"},
                                           {"RETR f", test.reply}};
        if (!test.broken)
            exchanges.push_back({"PWD", "257 \"/\"\r\n"});
        DataScript data{"secret"};
        Conversation conversation(exchanges, {}, {&data},
                                  SecureOptions(CFtpOptions::explicitTls, TestCertificate("server").Fingerprint()));
        conversation.connector->secures = {SecureScript{}, test.handshake};
        ASSERT_FALSE(conversation.Open()) << test.what;
        std::unique_ptr<CFtpTransfer> transfer;
        const ULONGLONG sent = conversation.clock.Now();
        const FtpError error = conversation.session->OpenTransfer("RETR f", 'I', transfer);
        EXPECT_EQ(test.expected, error.code) << test.what << ": " << Describe(error);
        // One timeout for the handshake and the reply together.
        EXPECT_GE(sent + kDefaultTimeoutSeconds * 1000, conversation.clock.Now()) << test.what;
        if (test.expected == FtpErrorCode::refused) {
            EXPECT_EQ(std::string(test.reply, std::strlen(test.reply) - 2), error.reply) << test.what;
        }
        if (!error) {
            char buffer[16];
            size_t read = 0;
            ASSERT_FALSE(transfer->Read(buffer, sizeof buffer, read)) << test.what;
            EXPECT_EQ("secret", std::string(buffer, read)) << test.what;
            EXPECT_FALSE(transfer->Finish()) << test.what;
        }
        EXPECT_EQ(test.broken, conversation.session->IsBroken()) << test.what;
        if (!test.broken) {
            EXPECT_FALSE(conversation.session->Expect("PWD")) << test.what << ": the session is in step";
        }
        EXPECT_TRUE(conversation.control.Finished()) << test.what << ": " << conversation.control.Unexpected();
    }
}

TEST(FtpSession, ClosingSaysGoodbye)
{
    Conversation conversation(AfterLogin({{"QUIT", "221 bye\r\n"}}));
    ASSERT_FALSE(conversation.Open());
    conversation.session->Close();
    EXPECT_TRUE(conversation.control.Finished()) << conversation.control.Unexpected();
    EXPECT_EQ(FtpErrorCode::connectionLost, conversation.session->Expect("NOOP").code);
}

}  // namespace
