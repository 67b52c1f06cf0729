#pragma once

#include <memory>

#include "mail/mailmessage.h"
#include "mail/smtpevents.h"
#include "mail/smtpserver.h"

namespace zqw {

// Sends packages by SMTP. A connection made by connect() is kept for the
// sends that follow, as long as the server keeps it open; a send finding it
// closed reconnects quietly.
//
// The operations block until the mail dialogue ends (each network step is
// bounded by SmtpServer::timeout) and report through SmtpEvents on the
// calling thread. Run them on one worker thread at a time; only abort() may be
// called from elsewhere.
class SmtpSender {
public:
    explicit SmtpSender(SmtpEvents& events);
    ~SmtpSender();
    SmtpSender(const SmtpSender&) = delete;
    SmtpSender& operator=(const SmtpSender&) = delete;

    // Checks the server (greeting, EHLO/HELO with server.heloName, STARTTLS
    // and AUTH as configured) and keeps the connection. An open connection is
    // closed first. Returns whether the sender is now connected.
    bool connect(const SmtpServer& server);
    // Sends message with its attachment; subject, date, message id and mailer
    // name are added. Returns whether the server accepted it.
    bool send(const MailMessage& message);
    // Says QUIT and closes the connection.
    void disconnect();
    bool isConnected() const;

    // Ends the running operation promptly, dropping its connection; does
    // nothing when no operation runs. Safe from any thread.
    void abort();

private:
    class Session;
    std::unique_ptr<Session> session_;
};

}  // namespace zqw
