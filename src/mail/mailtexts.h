#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// What the e-mail window and the command line show for the sender's events.
// Kept in one place so both say exactly the same thing.
namespace zqw::mailtext {

inline constexpr std::string_view kHostResolved = "Host Resolved";
inline constexpr std::string_view kConnected = "Connected";
inline constexpr std::string_view kDisconnected = "Disconnected";
inline constexpr std::string_view kConnectionFailed = "Connection Failed";
inline constexpr std::string_view kConnectionRequired = "Connection Required. Connect?";
inline constexpr std::string_view kHeaderIncomplete =
    "Header Incomplete.\rPlease supply your name and email address";
inline constexpr std::string_view kInvalidHost = "Invalid Host!";
inline constexpr std::string_view kNewHostPrompt = "Specify a new host:";
inline constexpr std::string_view kSendingMessage = "Sending message";
inline constexpr std::string_view kMessageSent = "ZQW file successfully sent";
inline constexpr std::string_view kFailure = "Failure";
inline constexpr std::string_view kSubject = "ZQW file";
// A login was asked for, and the server offers no encryption to send the
// password over.
inline constexpr std::string_view kPasswordNeedsEncryption =
    "The mail server offers no encryption (STARTTLS), so the password was not sent: a password "
    "goes only over an encrypted connection. Choose STARTTLS or SSL/TLS with a server that "
    "offers them, or leave the password empty to send without logging in.";

std::string encodingText(std::string_view fileName);
std::string finishedEncodingText(std::string_view fileName);
std::string progressText(std::uint64_t sent, std::uint64_t total);
std::string recipientNotFoundText(std::string_view address);
// The message for a port field that does not hold a whole number.
std::string notAnIntegerText(std::string_view text);

}  // namespace zqw::mailtext
