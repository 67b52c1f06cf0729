#include "sendcommand.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <string_view>

#include "mail/mailtexts.h"
#include "mail/smtpsender.h"

namespace zqw {
namespace {

constexpr int kSent = 0;
constexpr int kNotSent = 1;
constexpr int kUsage = 2;

constexpr const char* kUsageText =
    "usage: zqwcce-cli send PACKAGE --host H [--port P] [--helo ID] --from ADDR [--name NAME]\n"
    "                      --to ADDR [--user U --password-file F] [--tls none|starttls|ssl]\n"
    "                      [--cafile PEM]\n"
    "Prints each status text and message as a JSON object per line.\n"
    "--password-file - reads the password from standard input.\n";

int usageError(const std::string& problem) {
    std::cerr << "zqwcce-cli send: " << problem << '\n' << kUsageText;
    return kUsage;
}

// A JSON string from UTF-8 text; bytes that are not UTF-8 (a server may send
// anything) become U+FFFD so every line stays valid JSON.
std::string jsonString(std::string_view text) {
    std::string out = "\"";
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            switch (byte) {
                case '"':
                    out += "\\\"";
                    break;
                case '\\':
                    out += "\\\\";
                    break;
                case '\n':
                    out += "\\n";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                default:
                    if (byte < 0x20 || byte == 0x7F) {
                        char escape[8];
                        std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                        out += escape;
                    } else {
                        out += static_cast<char>(byte);
                    }
            }
            ++i;
            continue;
        }
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 0;
        char32_t value = length == 4 ? byte & 0x07 : length == 3 ? byte & 0x0F : byte & 0x1F;
        bool valid = length != 0 && i + length <= text.size();
        for (std::size_t k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            valid = (next & 0xC0) == 0x80;
            value = (value << 6) | (next & 0x3F);
        }
        const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        valid = valid && value >= smallest[length] && value <= 0x10FFFF &&
                !(value >= 0xD800 && value <= 0xDFFF);
        if (valid) {
            out.append(text.substr(i, length));
            i += length;
        } else {
            out += "\\ufffd";
            ++i;
        }
    }
    return out + '"';
}

void printLine(std::string_view kind, std::string_view text) {
    std::cout << "{" << jsonString(kind) << ": " << jsonString(text) << "}\n" << std::flush;
}
void printStatus(std::string_view text) { printLine("status", text); }
void printMessage(std::string_view text) { printLine("message", text); }

// The window's reactions, written down instead of shown. Its questions are
// answered as a user who cannot type would: no other host, no connecting
// from inside a send.
class JsonLinesEvents : public SmtpEvents {
public:
    void hostResolved() override { printStatus(mailtext::kHostResolved); }
    std::optional<std::string> hostNotResolved(const std::string&) override {
        printMessage(mailtext::kInvalidHost);
        return std::nullopt;
    }
    void connected() override { printStatus(mailtext::kConnected); }
    void disconnected() override { printStatus(mailtext::kDisconnected); }
    void connectionFailed() override { printMessage(mailtext::kConnectionFailed); }
    std::optional<SmtpServer> connectionRequired() override {
        printMessage(mailtext::kConnectionRequired);
        return std::nullopt;
    }
    void encodingStarted(const std::string& fileName) override {
        printStatus(mailtext::encodingText(fileName));
    }
    void encodingFinished(const std::string& fileName) override {
        printStatus(mailtext::finishedEncodingText(fileName));
    }
    void headerIncomplete() override { printMessage(mailtext::kHeaderIncomplete); }
    void sendingStarted() override { printStatus(mailtext::kSendingMessage); }
    void bytesSent(std::uint64_t sent, std::uint64_t total) override {
        printStatus(mailtext::progressText(sent, total));
    }
    void recipientRefused(const std::string& address) override {
        printMessage(mailtext::recipientNotFoundText(address));
    }
    void messageAccepted() override { printStatus(mailtext::kMessageSent); }
    void messageRefused(const std::string&) override { printStatus(mailtext::kFailure); }
    void errorOccurred(const std::string& text) override { printMessage(text); }
};

// A password is a line; anything longer than this is not a password file.
constexpr std::size_t kMostPasswordFileBytes = 4096;

struct PasswordRead {
    std::optional<std::string> password;
    std::string problem;  // why there is none
};

// The first line of what was read, without its line end.
std::string firstLine(std::string text) {
    text.erase(std::min(text.find('\n'), text.size()));
    if (!text.empty() && text.back() == '\r') text.pop_back();
    return text;
}

// Reads at most kMostPasswordFileBytes + 1 bytes from fd.
std::optional<std::string> readBounded(int fd) {
    std::string text;
    char buffer[1024];
    while (text.size() <= kMostPasswordFileBytes) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

// The password file, read as ssh reads a private key: only a regular file
// that no one else may read or change, and only a few kilobytes of it. A
// pipe or a device is refused at once instead of being waited on or read
// without end. "-" reads the first line of standard input.
PasswordRead readPassword(const std::string& path) {
    if (path == "-") {
        const std::optional<std::string> text = readBounded(STDIN_FILENO);
        if (!text) return {std::nullopt, "cannot read standard input"};
        if (text->size() > kMostPasswordFileBytes && text->find('\n') == std::string::npos)
            return {std::nullopt, "standard input is too large to hold a password"};
        return {firstLine(*text), {}};
    }
    // O_NONBLOCK: opening a pipe nobody writes to returns at once.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {std::nullopt, "cannot open the password file " + path};
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0) return {std::nullopt, "cannot read the password file " + path};
    if (!S_ISREG(info.st_mode))
        return {std::nullopt, "the password file " + path + " is not a regular file"};
    if ((info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        return {std::nullopt, "the password file " + path +
                                  " can be read or changed by others (permissions " + mode +
                                  "); make it private with chmod 600"};
    }
    if (info.st_size > static_cast<off_t>(kMostPasswordFileBytes))
        return {std::nullopt, "the password file " + path + " is too large to hold a password"};
    const std::optional<std::string> text = readBounded(fd);
    if (!text) return {std::nullopt, "cannot read the password file " + path};
    if (text->size() > kMostPasswordFileBytes)
        return {std::nullopt, "the password file " + path + " is too large to hold a password"};
    return {firstLine(*text), {}};
}

bool isReadableFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error) && std::ifstream(path).good();
}

}  // namespace

int runSendCommand(const std::vector<std::string>& args) {
    // A server closing the connection mid-write must end in a message, not
    // kill the process.
    std::signal(SIGPIPE, SIG_IGN);

    // --timeout (seconds) is for tests that need a silent server to give up
    // quickly; it is left out of the usage text on purpose.
    static const std::string_view kOptions[] = {"--host", "--port",   "--helo",   "--from",
                                                "--name", "--to",     "--user",   "--password-file",
                                                "--tls",  "--cafile", "--timeout"};
    std::map<std::string, std::string, std::less<>> options;
    std::vector<std::string> packages;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsageText;
            return kSent;
        }
        if (arg.rfind("--", 0) != 0) {
            packages.push_back(arg);
            continue;
        }
        const auto equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (std::find(std::begin(kOptions), std::end(kOptions), name) == std::end(kOptions))
            return usageError("unknown option " + name);
        if (options.count(name)) return usageError(name + " given twice");
        if (equals != std::string::npos) {
            options[name] = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            options[name] = args[++i];
        } else {
            return usageError(name + " needs a value");
        }
    }
    if (packages.size() != 1) return usageError("name exactly one package");
    for (const char* required : {"--host", "--from", "--to"})
        if (!options.count(required)) return usageError(std::string(required) + " is required");
    if (options.count("--user") != options.count("--password-file"))
        return usageError("--user and --password-file go together");

    const auto option = [&options](const char* name, const char* fallback = "") {
        const auto found = options.find(name);
        return found == options.end() ? std::string(fallback) : found->second;
    };

    SmtpServer server;
    server.host = option("--host");
    server.heloName = option("--helo");
    server.caFile = option("--cafile");
    const std::string tls = option("--tls", "none");
    if (tls == "none")
        server.security = SmtpSecurity::None;
    else if (tls == "starttls")
        server.security = SmtpSecurity::StartTls;
    else if (tls == "ssl")
        server.security = SmtpSecurity::SslTls;
    else
        return usageError("--tls takes none, starttls or ssl");
    if (options.count("--timeout")) {
        char* end = nullptr;
        const std::string text = option("--timeout");
        const double seconds = std::strtod(text.c_str(), &end);
        if (text.empty() || *end != '\0' || !(seconds > 0 && seconds <= 3600))
            return usageError("--timeout takes a number of seconds");
        server.timeout = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    }

    // The window shows this message and does not connect; here it is also a
    // usage error.
    const ParsedPort port = parsePort(option("--port", "25"));
    if (!port.error.empty()) {
        printMessage(port.error);
        return kUsage;
    }
    server.port = port.port;

    MailMessage message;
    message.attachmentPath = packages.front();
    message.senderAddress = option("--from");
    message.senderName = option("--name");
    message.recipient = option("--to");
    if (!isReadableFile(message.attachmentPath)) {
        std::cerr << "zqwcce-cli send: cannot read the package " << message.attachmentPath << '\n';
        return kUsage;
    }
    if (options.count("--user")) {
        server.user = option("--user");
        const PasswordRead read = readPassword(option("--password-file"));
        if (!read.password) {
            std::cerr << "zqwcce-cli send: " << read.problem << '\n';
            return kUsage;
        }
        server.password = *read.password;
    }

    JsonLinesEvents events;
    SmtpSender sender(events);
    if (!sender.connect(server)) return kNotSent;
    const bool sent = sender.send(message);
    sender.disconnect();
    return sent ? kSent : kNotSent;
}

}  // namespace zqw
