#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "mail/smtpserver.h"

namespace zqw {

// What an SmtpSender tells its user while it works. Every call arrives on the
// thread that runs the sender's operation, in the order the mail dialogue
// produces them; a window running the sender on a worker thread forwards them
// to its own thread. The three calls that return something are questions:
// the operation waits for the answer.
class SmtpEvents {
public:
    virtual ~SmtpEvents() = default;

    // Connection.
    virtual void hostResolved() = 0;
    // The host name is unknown. Return another host to retry this connection
    // with (the configured host is left alone), or nothing to give up.
    virtual std::optional<std::string> hostNotResolved(const std::string& host) = 0;
    // The server greeted and accepted EHLO/HELO (and STARTTLS and AUTH where
    // used).
    virtual void connected() = 0;
    virtual void disconnected() = 0;
    // No server answered: refused, unreachable, dropped or silent.
    virtual void connectionFailed() = 0;
    // A send was started without a connection. Return the server to connect
    // to, or nothing to end the send.
    virtual std::optional<SmtpServer> connectionRequired() = 0;

    // Sending. The attachment is prepared first, then the header is checked,
    // then the message goes out.
    virtual void encodingStarted(const std::string& fileName) = 0;
    virtual void encodingFinished(const std::string& fileName) = 0;
    // The sender address or the recipient is missing; the send ends.
    virtual void headerIncomplete() = 0;
    virtual void sendingStarted() = 0;
    // total counts the whole message as transmitted: header, MIME body and
    // the encoded attachment.
    virtual void bytesSent(std::uint64_t sent, std::uint64_t total) = 0;
    virtual void recipientRefused(const std::string& address) = 0;
    virtual void messageAccepted() = 0;
    // The server refused the message (MAIL, DATA or the data itself);
    // serverReply is its last reply line.
    virtual void messageRefused(const std::string& serverReply) = 0;

    // Anything else that went wrong, as a sentence for the user: a server
    // refusing the greeting or the login, a certificate problem, a lost
    // connection, an unreadable attachment, a field that cannot be sent.
    virtual void errorOccurred(const std::string& text) = 0;
};

}  // namespace zqw
