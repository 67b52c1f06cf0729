#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace zqw {

enum class SmtpSecurity {
    None,      // plain SMTP, upgraded with STARTTLS whenever the server offers it;
               // with a login, STARTTLS is required (a password is never sent in clear)
    StartTls,  // STARTTLS is required; a server without it is refused
    SslTls,    // TLS from the first byte (SMTPS)
};

// A silent server must end an attempt well before a user gives up on the
// window, so each network step waits at most this long by default.
inline constexpr std::chrono::milliseconds kDefaultSmtpTimeout{20000};

// The outgoing mail server and how to talk to it.
struct SmtpServer {
    std::string host;
    int port = 25;
    std::string heloName;  // announced in EHLO/HELO: the user's "User ID"
    SmtpSecurity security = SmtpSecurity::None;
    std::string user;  // AUTH is used when this is not empty
    std::string password;
    std::string caFile;  // PEM certificates to trust besides the system's
    // Limit for each step: connecting, every server reply, and any stretch
    // of the upload without progress.
    std::chrono::milliseconds timeout = kDefaultSmtpTimeout;
};

struct ParsedPort {
    int port = 0;
    std::string error;  // empty when port holds the value
};

// Reads a port field: a whole decimal number from 1 to 65535, blanks around
// it allowed.
ParsedPort parsePort(std::string_view text);

}  // namespace zqw
