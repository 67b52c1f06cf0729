#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "mail/mailmessage.h"
#include "mail/smtpevents.h"
#include "mail/smtpserver.h"

namespace zqw {
class SmtpSender;
}

// The questions a mail operation puts to the user while it waits for the
// answer. Asked on the thread of the object given to SmtpWorker as the
// place to ask them.
class SmtpQuestions {
public:
    virtual ~SmtpQuestions() = default;
    // Another host to try for this connection, or nothing to give up.
    virtual std::optional<std::string> askForOtherHost(const std::string& host) = 0;
    // The server to connect to for a send made without a connection, or
    // nothing to end the send.
    virtual std::optional<zqw::SmtpServer> askToConnect() = 0;
};

// Runs the e-mail window's mail operations on a thread of its own, one at a
// time in the order they were asked for, so the window stays responsive
// while a server takes its time. Move it to that thread after making it.
// What the operations report arrives as the signals below, already worded
// for the window; questions go to the window's thread and the operation
// waits for the answer.
class SmtpWorker : public QObject, private zqw::SmtpEvents {
    Q_OBJECT

public:
    // questions are asked on questionPlace's thread; both must outlive the
    // worker's operations (abortAll() before they go).
    SmtpWorker(SmtpQuestions& questions, QObject& questionPlace);
    ~SmtpWorker() override;

    // The operations, callable from any thread: each waits its turn on the
    // worker's thread. operationFinished() follows each one.
    void startConnect(const zqw::SmtpServer& server);
    void startSend(const zqw::MailMessage& message);
    void startDisconnect();

    // From any thread: ends the running operation promptly, drops those
    // still waiting and stops waiting for an answer. What the ended
    // operations would still say goes unsaid, apart from the connection
    // state. Operations started afterwards run as usual.
    void abortAll();

signals:
    // A new text for the status line: the latest state of the running
    // operation, which ends on its success or on what went wrong.
    void statusChanged(const QString& text);
    // Something the user has to read and acknowledge; the status line has
    // already been given the same text.
    void problemReported(const QString& text);
    void connectionChanged(bool connected);
    void operationFinished();

private:
    struct Shared;

    void post(std::function<void()> operation);
    // Whether the running operation was ended by abortAll().
    bool isStale() const;
    template <typename T>
    std::optional<T> ask(std::function<std::optional<T>()> question);

    // zqw::SmtpEvents, called on the worker's thread.
    void hostResolved() override;
    std::optional<std::string> hostNotResolved(const std::string& host) override;
    void connected() override;
    void disconnected() override;
    void connectionFailed() override;
    std::optional<zqw::SmtpServer> connectionRequired() override;
    void encodingStarted(const std::string& fileName) override;
    void encodingFinished(const std::string& fileName) override;
    void headerIncomplete() override;
    void sendingStarted() override;
    void bytesSent(std::uint64_t sent, std::uint64_t total) override;
    void recipientRefused(const std::string& address) override;
    void messageAccepted() override;
    void messageRefused(const std::string& serverReply) override;
    void errorOccurred(const std::string& text) override;

    void report(const QString& text);
    void showStatus(const QString& text);

    SmtpQuestions& questions_;
    QObject& questionPlace_;
    std::shared_ptr<Shared> shared_;
    // The generation the running operation was started in; only the
    // worker's thread touches it.
    quint64 runningGeneration_ = 0;
    // The running operation has reported its failure: the status line keeps
    // saying so when the connection closes after it. Worker's thread only.
    bool operationFailed_ = false;
    std::unique_ptr<zqw::SmtpSender> sender_;
};
