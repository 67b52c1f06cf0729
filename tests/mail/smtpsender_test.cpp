// The sender's questions (another host, connect now?) and abort(), which the
// command line cannot exercise: a scripted listener answers, and a small
// in-process SMTP server plays the other side. Real-server behaviour is
// covered by send_test.py.

#include "mail/smtpsender.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace zqw {
namespace {

using namespace std::chrono_literals;

// How long a test waits for something that takes a moment at most before
// it calls it a hang; nothing here ends by a timeout of its own this soon.
constexpr auto kHangGuard = 20s;

// Polls until ready() holds; false when it still does not after kHangGuard.
bool waitUntil(const std::function<bool()>& ready) {
    const auto giveUp = std::chrono::steady_clock::now() + kHangGuard;
    while (!ready()) {
        if (std::chrono::steady_clock::now() > giveUp) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// Speaks just enough SMTP for one client at a time. A silent server accepts
// and never greets; a stalling one takes the message and never answers it.
// Either way it notes that it is stalling, and whether the client hung up on
// it while it stalled.
class FakeSmtpServer {
public:
    enum class Mode { Normal, Silent, StallAfterData };

    explicit FakeSmtpServer(Mode mode) : mode_(mode) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), length);
        ::listen(listener_, 4);
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }

    ~FakeSmtpServer() {
        stop();
        thread_.join();
        ::close(listener_);
    }

    // Drops the connection and stops answering.
    void stop() { stop_ = true; }

    int port() const { return port_; }
    int connections() const { return connections_; }
    int messages() const { return messages_; }
    bool stalling() const { return stalling_; }
    int hangUpsWhileStalling() const { return hangUpsWhileStalling_; }

private:
    bool waitReadable(int socket) {
        pollfd entry{socket, POLLIN, 0};
        while (!stop_) {
            if (::poll(&entry, 1, 50) > 0) return true;
        }
        return false;
    }

    // One line from the client, or nothing once it has gone.
    std::optional<std::string> readLine(int socket, std::string& buffer) {
        for (;;) {
            if (const auto end = buffer.find("\r\n"); end != std::string::npos) {
                std::string line = buffer.substr(0, end);
                buffer.erase(0, end + 2);
                return line;
            }
            if (!waitReadable(socket)) return std::nullopt;
            char chunk[4096];
            const ssize_t got = ::recv(socket, chunk, sizeof chunk, 0);
            if (got <= 0) return std::nullopt;
            buffer.append(chunk, static_cast<size_t>(got));
        }
    }

    void reply(int socket, const std::string& text) {
        const std::string line = text + "\r\n";
        ::send(socket, line.data(), line.size(), MSG_NOSIGNAL);
    }

    void converse(int socket) {
        if (mode_ == Mode::Silent) {
            stalling_ = true;
            char ignored[256];
            while (waitReadable(socket) && ::recv(socket, ignored, sizeof ignored, 0) > 0) {
            }
            // Only stop() ends the waiting; anything else is the client going.
            if (!stop_) ++hangUpsWhileStalling_;
            return;
        }
        std::string buffer;
        reply(socket, "220 fake ESMTP");
        while (const auto line = readLine(socket, buffer)) {
            const std::string verb = line->substr(0, 4);
            if (verb == "DATA") {
                reply(socket, "354 go ahead");
                std::optional<std::string> data;
                while ((data = readLine(socket, buffer)) && *data != ".") {
                }
                if (!data) return;
                if (mode_ == Mode::StallAfterData) {
                    stalling_ = true;
                    while (waitReadable(socket) && readLine(socket, buffer)) {
                    }
                    if (!stop_) ++hangUpsWhileStalling_;
                    return;
                }
                ++messages_;
                reply(socket, "250 queued");
            } else if (verb == "QUIT") {
                reply(socket, "221 bye");
                return;
            } else {
                reply(socket, "250 OK");
            }
        }
    }

    void serve() {
        while (waitReadable(listener_)) {
            const int socket = ::accept(listener_, nullptr, nullptr);
            if (socket < 0) continue;
            ++connections_;
            converse(socket);
            ::close(socket);
        }
    }

    Mode mode_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<int> connections_{0};
    std::atomic<int> messages_{0};
    std::atomic<bool> stalling_{false};
    std::atomic<int> hangUpsWhileStalling_{0};
    std::thread thread_;
};

// Writes down every event and answers the questions from a script.
class ScriptedEvents : public SmtpEvents {
public:
    std::vector<std::string> log;
    std::vector<std::string> replacementHosts;  // answers to hostNotResolved, in turn
    std::optional<SmtpServer> serverWhenRequired;
    std::function<void()> onSendingStarted;

    void hostResolved() override { log.push_back("resolved"); }
    std::optional<std::string> hostNotResolved(const std::string& host) override {
        log.push_back("not resolved " + host);
        if (replacementHosts.empty()) return std::nullopt;
        const std::string next = replacementHosts.front();
        replacementHosts.erase(replacementHosts.begin());
        return next;
    }
    void connected() override { log.push_back("connected"); }
    void disconnected() override { log.push_back("disconnected"); }
    void connectionFailed() override { log.push_back("connection failed"); }
    std::optional<SmtpServer> connectionRequired() override {
        log.push_back("connection required");
        return serverWhenRequired;
    }
    void encodingStarted(const std::string& name) override { log.push_back("encoding " + name); }
    void encodingFinished(const std::string& name) override { log.push_back("encoded " + name); }
    void headerIncomplete() override { log.push_back("header incomplete"); }
    void sendingStarted() override {
        log.push_back("sending");
        if (onSendingStarted) onSendingStarted();
    }
    void bytesSent(std::uint64_t, std::uint64_t) override {
        if (log.back() != "progress") log.push_back("progress");
    }
    void recipientRefused(const std::string& address) override {
        log.push_back("refused " + address);
    }
    void messageAccepted() override { log.push_back("accepted"); }
    void messageRefused(const std::string&) override { log.push_back("failure"); }
    void errorOccurred(const std::string& text) override { log.push_back("error " + text); }
};

class SmtpSenderTest : public ::testing::Test {
protected:
    SmtpSenderTest() {
        std::ofstream(package_, std::ios::binary) << "PK\x03\x04 card and notes";
        message_.senderName = "Ann Lee";
        message_.senderAddress = "ann@example.org";
        message_.recipient = "cards@khf.example";
        message_.attachmentPath = package_.string();
    }
    ~SmtpSenderTest() override { std::filesystem::remove(package_); }

    static SmtpServer serverAt(int port, std::chrono::milliseconds timeout = 3000ms) {
        SmtpServer server;
        server.host = "127.0.0.1";
        server.port = port;
        server.heloName = "player-7";
        server.timeout = timeout;
        return server;
    }

    std::filesystem::path package_ = std::filesystem::temp_directory_path() /
                                     ("smtpsender_test_" + std::to_string(::getpid()) + ".zqw");
    MailMessage message_;
    ScriptedEvents events_;
};

TEST_F(SmtpSenderTest, SendWithoutConnectionConnectsWithTheAnsweredServer) {
    FakeSmtpServer server(FakeSmtpServer::Mode::Normal);
    events_.serverWhenRequired = serverAt(server.port());
    SmtpSender sender(events_);

    EXPECT_TRUE(sender.send(message_));
    const std::string name = package_.filename().string();
    EXPECT_EQ(events_.log, (std::vector<std::string>{"encoding " + name, "encoded " + name,
                                                     "connection required", "resolved", "connected",
                                                     "sending", "progress", "accepted"}));
    EXPECT_TRUE(sender.isConnected());
    EXPECT_EQ(server.messages(), 1);

    // The kept connection carries the next send too.
    events_.log.clear();
    EXPECT_TRUE(sender.send(message_));
    EXPECT_EQ(events_.log.back(), "accepted");
    EXPECT_EQ(server.connections(), 1);
    EXPECT_EQ(server.messages(), 2);
}

TEST_F(SmtpSenderTest, SendWithoutConnectionAnsweredCancelSendsNothing) {
    FakeSmtpServer server(FakeSmtpServer::Mode::Normal);
    SmtpSender sender(events_);

    EXPECT_FALSE(sender.send(message_));
    ASSERT_GE(events_.log.size(), 2u);
    EXPECT_EQ(events_.log[events_.log.size() - 2], "connection required");
    EXPECT_EQ(events_.log.back().rfind("error Not connected", 0), 0u) << events_.log.back();
    EXPECT_EQ(server.connections(), 0);
}

TEST_F(SmtpSenderTest, UnknownHostIsRetriedWithTheHostTheUserGives) {
    FakeSmtpServer server(FakeSmtpServer::Mode::Normal);
    events_.replacementHosts = {"still-unknown.invalid", "127.0.0.1"};
    SmtpServer settings = serverAt(server.port());
    settings.host = "no-such-host.invalid";
    SmtpSender sender(events_);

    EXPECT_TRUE(sender.connect(settings));
    EXPECT_EQ(events_.log, (std::vector<std::string>{"not resolved no-such-host.invalid",
                                                     "not resolved still-unknown.invalid",
                                                     "resolved", "connected"}));
    // The connection made with the replacement carries the send.
    EXPECT_TRUE(sender.send(message_));
    EXPECT_EQ(events_.log.back(), "accepted");
}

// A window closing mid-transfer calls abort() from its own thread. The
// server here would keep the operation waiting for an hour, its timeout, so
// only the abort can end it: the operation returns, and the server sees the
// connection cut while the operation still waited on it.
TEST_F(SmtpSenderTest, AbortEndsAWaitingOperation) {
    struct Case {
        const char* what;
        FakeSmtpServer::Mode mode;
        bool connectFirst;
    };
    const Case cases[] = {
        {"connecting to a server that never greets", FakeSmtpServer::Mode::Silent, false},
        {"waiting for the answer to the message", FakeSmtpServer::Mode::StallAfterData, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeSmtpServer server(c.mode);
        ScriptedEvents events;
        SmtpSender sender(events);
        const SmtpServer settings = serverAt(server.port(), 1h);
        if (c.connectFirst) {
            ASSERT_TRUE(sender.connect(settings));
        }

        std::promise<bool> outcome;
        std::future<bool> ended = outcome.get_future();
        std::thread worker([&] {
            outcome.set_value(c.connectFirst ? sender.send(message_) : sender.connect(settings));
        });
        EXPECT_TRUE(waitUntil([&server] { return server.stalling(); }))
            << "the operation never reached the stalling server";
        sender.abort();
        const bool endedByAbort = ended.wait_for(kHangGuard) == std::future_status::ready;
        EXPECT_TRUE(endedByAbort) << "the operation still waits after abort()";
        // Hanging up on a client that missed the abort lets its thread end.
        if (!endedByAbort) server.stop();
        worker.join();

        EXPECT_FALSE(ended.get());
        if (endedByAbort) {
            EXPECT_TRUE(waitUntil([&server] { return server.hangUpsWhileStalling() == 1; }))
                << "the connection was not cut";
        }
        EXPECT_FALSE(sender.isConnected());
        EXPECT_EQ(server.messages(), 0);
        // What the user ended is no failure to tell about.
        for (const std::string& event : events.log) {
            EXPECT_NE(event.rfind("error", 0), 0u) << event;
            EXPECT_NE(event, "connection failed");
        }
    }
}

TEST(ParsePortTest, AcceptsWholeNumbersInRangeOnly) {
    struct Case {
        const char* text;
        int port;
        const char* error;
    };
    const Case cases[] = {
        {"25", 25, ""},
        {" 587 ", 587, ""},
        {"+465", 465, ""},
        {"65535", 65535, ""},
        {"", 0, "'' is not a valid integer value"},
        {"2x5", 0, "'2x5' is not a valid integer value"},
        {"25.0", 0, "'25.0' is not a valid integer value"},
        {"-", 0, "'-' is not a valid integer value"},
        {"99999999999", 0, "'99999999999' is not a valid integer value"},
        {"0", 0, "Port 0 is out of range (1 to 65535)"},
        {"-25", 0, "Port -25 is out of range (1 to 65535)"},
        {"65536", 0, "Port 65536 is out of range (1 to 65535)"},
    };
    for (const Case& c : cases) {
        const ParsedPort parsed = parsePort(c.text);
        EXPECT_EQ(parsed.port, c.port) << c.text;
        EXPECT_EQ(parsed.error, c.error) << c.text;
    }
}

}  // namespace
}  // namespace zqw
