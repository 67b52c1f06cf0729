#include "mail/smtpsender.h"

#include <curl/curl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>
#include <new>
#include <optional>
#include <random>
#include <string_view>
#include <utility>
#include <vector>

#include "mail/mailtexts.h"

namespace zqw {
namespace {

// Packages are a few kilobytes; a file this large was picked by mistake and
// would only be refused by the server after a long upload.
constexpr std::uintmax_t kMaxAttachmentBytes = 64u << 20;

// Between operations the connection waits in curl's cache; it must not be
// dropped for age while the window still shows "Connected".
constexpr long kKeepConnectionSeconds = 24 * 60 * 60;

// How long a failed request waits for the answer to its QUIT.
constexpr std::chrono::seconds kQuitGrace{1};

using Slist = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;
using Mime = std::unique_ptr<curl_mime, decltype(&curl_mime_free)>;

Slist makeSlist(const std::vector<std::string>& lines) {
    Slist list(nullptr, &curl_slist_free_all);
    for (const auto& line : lines) {
        curl_slist* grown = curl_slist_append(list.get(), line.c_str());
        if (!grown) throw std::bad_alloc();
        list.release();
        list.reset(grown);
    }
    return list;
}

bool isTlsFailure(CURLcode code) {
    switch (code) {
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_CERTPROBLEM:
        case CURLE_SSL_CIPHER:
        case CURLE_SSL_ENGINE_NOTFOUND:
        case CURLE_SSL_ENGINE_SETFAILED:
        case CURLE_SSL_ENGINE_INITFAILED:
        case CURLE_SSL_CRL_BADFILE:
        case CURLE_SSL_ISSUER_ERROR:
        case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
        case CURLE_SSL_INVALIDCERTSTATUS:
        case CURLE_SSL_CLIENTCERT:
        case CURLE_USE_SSL_FAILED:
            return true;
        default:
            return false;
    }
}

// ASCII only, whatever locale the application has set.
constexpr bool isAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The HELO name travels as the URL's path; everything but the unreserved
// characters is escaped so '/', '?' or '#' cannot change what the URL means.
std::string percentEncoded(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (isAsciiAlnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += c;
        } else {
            out += {'%', kHex[byte >> 4], kHex[byte & 15]};
        }
    }
    return out;
}

// Building the URL through curl's parser rejects host names that are not
// host names ("a b", "user@host", "host/x") instead of letting them turn into
// other parts of the URL.
std::optional<std::string> smtpUrl(const SmtpServer& server, const std::string& host) {
    if (host.empty() || hasControlCharacter(host)) return std::nullopt;
    const bool bareIpv6 = host.find(':') != std::string::npos && host.front() != '[';
    const std::string hostPart = bareIpv6 ? "[" + host + "]" : host;
    // Appended rather than literal + temporary, which GCC 12 takes for an
    // overlapping copy (-Wrestrict) when it inlines it.
    std::string path = "/";
    path += percentEncoded(server.heloName);

    CURLU* url = curl_url();
    if (!url) throw std::bad_alloc();
    char* text = nullptr;
    const bool built =
        curl_url_set(url, CURLUPART_SCHEME,
                     server.security == SmtpSecurity::SslTls ? "smtps" : "smtp", 0) == CURLUE_OK &&
        curl_url_set(url, CURLUPART_HOST, hostPart.c_str(), 0) == CURLUE_OK &&
        curl_url_set(url, CURLUPART_PORT, std::to_string(server.port).c_str(), 0) == CURLUE_OK &&
        curl_url_set(url, CURLUPART_PATH, path.c_str(), 0) == CURLUE_OK &&
        curl_url_get(url, CURLUPART_URL, &text, 0) == CURLUE_OK;
    std::optional<std::string> result;
    if (built) result = text;
    curl_free(text);
    curl_url_cleanup(url);
    return result;
}

std::string randomToken() {
    std::random_device device;
    std::uniform_int_distribution<unsigned long long> any;
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    char text[64];
    std::snprintf(text, sizeof text, "%llx.%llx", static_cast<unsigned long long>(now),
                  any(device));
    return text;
}

// The attachment is read whole: the message then carries exactly the bytes
// that were checked here, even if the file changes during the upload.
std::string readAttachment(const std::string& path, std::string& content) {
    const std::string cannotOpen = "Cannot open file " + path;
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) return cannotOpen;
    const auto size = std::filesystem::file_size(path, error);
    if (error) return cannotOpen;
    if (size > kMaxAttachmentBytes)
        return "The file " + path + " is too large to send by e-mail (more than " +
               std::to_string(kMaxAttachmentBytes >> 20) + " MB)";
    std::ifstream in(path, std::ios::binary);
    if (!in) return cannotOpen;
    content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) return "Cannot read file " + path;
    return {};
}

// What one transfer saw of the SMTP dialogue; it tells which step failed.
struct Dialogue {
    bool socketOpened = false;
    bool anyReply = false;
    std::string lastCommand;  // command word of the last command sent
    std::string lastReply;    // last complete reply line to it
    int lastReplyCode = 0;
    bool dataSent = false;
    bool quitPending = false;  // QUIT said, its reply not yet seen
    std::chrono::steady_clock::time_point quitSentAt;
    curl_off_t lastProgress = 0;
    std::string pendingReply;  // reply text not yet ended by a line feed

    bool inMailTransaction() const {
        return dataSent || lastCommand == "MAIL" || lastCommand == "RCPT" || lastCommand == "DATA";
    }
};

}  // namespace

class SmtpSender::Session {
public:
    explicit Session(SmtpEvents& events) : events_(events) {
        static const bool curlReady = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
        easy_ = curlReady ? curl_easy_init() : nullptr;
        if (!easy_) throw std::bad_alloc();
    }

    ~Session() {
        closeConnection();
        curl_easy_cleanup(easy_);
    }

    bool connect(const SmtpServer& server) {
        Operation operation(*this);
        return openConnection(server);
    }

    bool send(const MailMessage& message);

    void disconnect() {
        Operation operation(*this);
        const bool wasConnected = connected_.exchange(false);
        closeConnection();
        if (wasConnected) events_.disconnected();
    }

    bool isConnected() const { return connected_; }

    void abort() {
        std::lock_guard lock(mutex_);
        if (!running_) return;
        abortRequested_ = true;
        if (multi_) curl_multi_wakeup(multi_);
        for (const curl_socket_t socket : sockets_) ::shutdown(socket, SHUT_RDWR);
    }

private:
    // Marks a public operation as running, so abort() knows it has something
    // to end; an abort left over from an earlier operation is forgotten.
    class Operation {
    public:
        explicit Operation(Session& session) : session_(session) {
            std::lock_guard lock(session_.mutex_);
            session_.running_ = true;
            session_.abortRequested_ = false;
        }
        ~Operation() {
            std::lock_guard lock(session_.mutex_);
            session_.running_ = false;
        }
        Operation(const Operation&) = delete;
        Operation& operator=(const Operation&) = delete;

    private:
        Session& session_;
    };

    bool openConnection(const SmtpServer& server);
    CURLcode transfer(const std::function<void()>& setRequest);
    void configure(const std::string& url);
    CURLcode perform();
    void closeConnection();
    void connectionLost();
    void reportConnectionFailure(CURLcode code);
    std::string describe(CURLcode code) const;
    bool aborting() const { return abortRequested_; }

    void commandSent(std::string_view line);
    void replyReceived(std::string_view text);

    static int onDebug(CURL*, curl_infotype type, char* data, size_t size, void* self);
    static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t total, curl_off_t now);
    static curl_socket_t onOpenSocket(void* self, curlsocktype, curl_sockaddr* address);
    static int onCloseSocket(void* self, curl_socket_t socket);
    void shutDownSockets();
    static size_t onWrite(char*, size_t size, size_t count, void*) { return size * count; }

    SmtpEvents& events_;
    CURL* easy_ = nullptr;
    // Owns the connection cache, so the connection lives exactly as long as
    // this handle. Guarded by mutex_ because abort() wakes it from elsewhere.
    CURLM* multi_ = nullptr;
    mutable std::mutex mutex_;
    bool running_ = false;
    std::vector<curl_socket_t> sockets_;  // open sockets of our connections
    std::atomic<bool> abortRequested_{false};
    std::atomic<bool> connected_{false};
    SmtpServer server_;
    std::string host_;  // server_.host, or the replacement given for it
    bool reportProgress_ = false;
    Dialogue dialogue_;
    char errorBuffer_[CURL_ERROR_SIZE] = {};
};

bool SmtpSender::Session::openConnection(const SmtpServer& server) {
    // Reconnecting starts afresh, possibly with another server.
    connected_ = false;
    closeConnection();
    if (const ParsedPort port = parsePort(std::to_string(server.port)); !port.error.empty()) {
        events_.errorOccurred(port.error);
        return false;
    }
    if (hasControlCharacter(server.heloName)) {
        events_.errorOccurred(
            "The User ID contains a line break or another control character, which the "
            "greeting to the server cannot carry.");
        return false;
    }
    server_ = server;
    host_ = server.host;

    // A command that changes nothing on the server proves the greeting,
    // EHLO/HELO, STARTTLS and AUTH went through and leaves the connection in
    // curl's cache for the sends.
    const CURLcode result =
        transfer([this] { curl_easy_setopt(easy_, CURLOPT_CUSTOMREQUEST, "NOOP"); });
    if (result == CURLE_OK) {
        connected_ = true;
        events_.connected();
        return true;
    }
    if (!aborting()) reportConnectionFailure(result);
    return false;
}

bool SmtpSender::Session::send(const MailMessage& message) {
    Operation operation(*this);
    const std::string fileName = bareFileName(message.attachmentPath);
    events_.encodingStarted(fileName);
    std::string content;
    if (const std::string problem = readAttachment(message.attachmentPath, content);
        !problem.empty()) {
        events_.errorOccurred(problem);
        return false;
    }
    events_.encodingFinished(fileName);
    if (aborting()) return false;

    if (!connected_) {
        const std::optional<SmtpServer> server = events_.connectionRequired();
        if (aborting()) return false;
        if (!server) {
            events_.errorOccurred("Not connected to a mail server. Nothing was sent.");
            return false;
        }
        if (!openConnection(*server)) return false;
    }
    if (isHeaderIncomplete(message)) {
        events_.headerIncomplete();
        return false;
    }
    if (const std::string problem = findHeaderProblem(message); !problem.empty()) {
        events_.errorOccurred(problem);
        return false;
    }
    events_.sendingStarted();

    Mime mime(curl_mime_init(easy_), &curl_mime_free);
    if (!mime) throw std::bad_alloc();
    // An empty plain-text body first, so mail readers show the package as
    // an attachment rather than as the message itself.
    curl_mimepart* body = curl_mime_addpart(mime.get());
    curl_mime_data(body, "", 0);
    curl_mime_type(body, "text/plain; charset=us-ascii");
    curl_mime_encoder(body, "7bit");
    curl_mime_headers(body, makeSlist({"Content-Disposition: inline"}).release(), 1);

    curl_mimepart* attachment = curl_mime_addpart(mime.get());
    curl_mime_data(attachment, content.data(), content.size());
    curl_mime_type(attachment, "application/octet-stream");
    curl_mime_encoder(attachment, "base64");
    curl_mime_headers(
        attachment,
        makeSlist({"Content-Disposition: " + attachmentDisposition(fileName)}).release(), 1);

    const std::string from = "<" + message.senderAddress + ">";
    const Slist recipients = makeSlist({"<" + message.recipient + ">"});
    const Slist headers =
        makeSlist(composeHeaders(message, std::chrono::system_clock::now(), randomToken()));

    const CURLcode result = transfer([&] {
        curl_easy_setopt(easy_, CURLOPT_MAIL_FROM, from.c_str());
        curl_easy_setopt(easy_, CURLOPT_MAIL_RCPT, recipients.get());
        curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, headers.get());
        curl_easy_setopt(easy_, CURLOPT_MIMEPOST, mime.get());
        reportProgress_ = true;
    });
    reportProgress_ = false;
    // The lists and the MIME tree die with this call; the handle must not
    // keep pointers to them.
    curl_easy_setopt(easy_, CURLOPT_MAIL_RCPT, nullptr);
    curl_easy_setopt(easy_, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(easy_, CURLOPT_MIMEPOST, nullptr);

    if (result == CURLE_OK) {
        events_.messageAccepted();
        return true;
    }
    if (aborting()) {
        connectionLost();
    } else if (!dialogue_.inMailTransaction()) {
        // The kept connection had gone and a new one could not be made.
        reportConnectionFailure(result);
        connectionLost();
    } else if (dialogue_.lastCommand == "MAIL" && dialogue_.lastReplyCode >= 400) {
        // Nothing of the message was offered yet: the server objects to the
        // sender or to the session (no login, for instance), which the user
        // can only fix knowing the server's reason.
        events_.errorOccurred("The mail server refused the sender " + message.senderAddress + ": " +
                              dialogue_.lastReply);
    } else if (dialogue_.lastCommand == "RCPT" && dialogue_.lastReplyCode >= 400) {
        events_.recipientRefused(message.recipient);
    } else if (dialogue_.lastReplyCode >= 400) {
        events_.messageRefused(dialogue_.lastReply);
    } else {
        events_.errorOccurred(describe(result));
        connectionLost();
    }
    return false;
}

// One request, asking the user for another host for as long as the host
// cannot be found and the user offers one.
CURLcode SmtpSender::Session::transfer(const std::function<void()>& setRequest) {
    for (;;) {
        const std::optional<std::string> url = smtpUrl(server_, host_);
        CURLcode result = CURLE_COULDNT_RESOLVE_HOST;
        if (url) {
            configure(*url);
            setRequest();
            result = perform();
            if (result != CURLE_COULDNT_RESOLVE_HOST || aborting()) return result;
        } else {
            dialogue_ = {};
            std::snprintf(errorBuffer_, sizeof errorBuffer_, "\"%s\" is not a valid host name",
                          host_.c_str());
        }
        const std::optional<std::string> replacement = events_.hostNotResolved(host_);
        if (!replacement || aborting()) return result;
        host_ = *replacement;
    }
}

void SmtpSender::Session::configure(const std::string& url) {
    curl_easy_reset(easy_);
    errorBuffer_[0] = '\0';
    const long timeoutMs = std::max<long>(1, static_cast<long>(server_.timeout.count()));
    const long timeoutSeconds = std::max<long>(1, (timeoutMs + 999) / 1000);

    curl_easy_setopt(easy_, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    // Encryption whenever the server offers it. A password never crosses
    // the network in clear: with a login, as with StartTls, a server that
    // offers no STARTTLS (or a network that strips the offer) is refused
    // before AUTH is said.
    const bool mustEncrypt = server_.security != SmtpSecurity::None || !server_.user.empty();
    curl_easy_setopt(easy_, CURLOPT_USE_SSL,
                     static_cast<long>(mustEncrypt ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    if (!server_.caFile.empty()) curl_easy_setopt(easy_, CURLOPT_CAINFO, server_.caFile.c_str());
    if (!server_.user.empty()) {
        curl_easy_setopt(easy_, CURLOPT_USERNAME, server_.user.c_str());
        curl_easy_setopt(easy_, CURLOPT_PASSWORD, server_.password.c_str());
    }

    // Connecting (which includes the greeting, EHLO, STARTTLS and AUTH), every
    // reply, and every stretch of the upload are bounded, so a server that
    // stops talking ends the operation instead of holding the window.
    curl_easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs);
    curl_easy_setopt(easy_, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeoutSeconds);
    curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy_, CURLOPT_LOW_SPEED_TIME, timeoutSeconds);
    curl_easy_setopt(easy_, CURLOPT_MAXAGE_CONN, kKeepConnectionSeconds);
    // Worker threads: no signals for timeouts.
    curl_easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);

    curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(easy_, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy_, CURLOPT_XFERINFOFUNCTION, &Session::onProgress);
    curl_easy_setopt(easy_, CURLOPT_XFERINFODATA, this);
    // The protocol trace is how we learn which command the server refused.
    curl_easy_setopt(easy_, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(easy_, CURLOPT_DEBUGFUNCTION, &Session::onDebug);
    curl_easy_setopt(easy_, CURLOPT_DEBUGDATA, this);
    // Knowing our sockets lets abort() and a lost connection cut them, which
    // wakes curl from any wait, including the QUIT it says on closing.
    curl_easy_setopt(easy_, CURLOPT_OPENSOCKETFUNCTION, &Session::onOpenSocket);
    curl_easy_setopt(easy_, CURLOPT_OPENSOCKETDATA, this);
    curl_easy_setopt(easy_, CURLOPT_CLOSESOCKETFUNCTION, &Session::onCloseSocket);
    curl_easy_setopt(easy_, CURLOPT_CLOSESOCKETDATA, this);
    curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &Session::onWrite);
}

// Runs the configured request on our own multi handle rather than
// curl_easy_perform, so abort() can wake the wait at once.
CURLcode SmtpSender::Session::perform() {
    dialogue_ = {};
    {
        std::lock_guard lock(mutex_);
        if (!multi_) multi_ = curl_multi_init();
        if (!multi_) throw std::bad_alloc();
    }
    if (curl_multi_add_handle(multi_, easy_) != CURLM_OK) return CURLE_FAILED_INIT;

    CURLcode result = CURLE_OK;
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi_, &running) != CURLM_OK) {
            result = CURLE_FAILED_INIT;
            break;
        }
        if (aborting()) {
            result = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        if (running == 0) {
            int queued = 0;
            while (const CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
                if (message->msg == CURLMSG_DONE && message->easy_handle == easy_)
                    result = message->data.result;
            }
            break;
        }
        curl_multi_poll(multi_, nullptr, 0, 1000, nullptr);
    }
    // Removing an unfinished transfer closes its connection, which is what
    // an abort wants.
    curl_multi_remove_handle(multi_, easy_);
    if (!dialogue_.pendingReply.empty()) replyReceived("\n");
    return result;
}

void SmtpSender::Session::closeConnection() {
    CURLM* multi = nullptr;
    {
        std::lock_guard lock(mutex_);
        multi = std::exchange(multi_, nullptr);
    }
    // Says QUIT on a connection still open, waiting at most the reply timeout.
    if (multi) curl_multi_cleanup(multi);
}

// The connection failed under a request: a server that stopped answering
// would not answer a QUIT either, so it is cut instead.
void SmtpSender::Session::connectionLost() {
    shutDownSockets();
    closeConnection();
    if (connected_.exchange(false)) events_.disconnected();
}

void SmtpSender::Session::reportConnectionFailure(CURLcode code) {
    // Without a word from the server there is nothing to explain beyond the
    // failure itself; certificate problems and refusals have their own text.
    if (!dialogue_.anyReply && !isTlsFailure(code) && code != CURLE_COULDNT_RESOLVE_HOST)
        events_.connectionFailed();
    else
        events_.errorOccurred(describe(code));
}

std::string SmtpSender::Session::describe(CURLcode code) const {
    const std::string detail = errorBuffer_[0] != '\0' ? errorBuffer_ : curl_easy_strerror(code);
    if (dialogue_.lastReplyCode >= 400 && detail.find(dialogue_.lastReply) == std::string::npos)
        return detail + " (the server said: " + dialogue_.lastReply + ")";
    switch (code) {
        case CURLE_USE_SSL_FAILED:
            if (server_.security == SmtpSecurity::None)
                return std::string(mailtext::kPasswordNeedsEncryption);
            return "The mail server offers no STARTTLS encryption, which was required (" + detail +
                   ")";
        case CURLE_OPERATION_TIMEDOUT:
            return "The mail server did not answer in time (" + detail + ")";
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_GOT_NOTHING:
            return "The connection to the mail server was lost (" + detail + ")";
        default:
            return detail;
    }
}

void SmtpSender::Session::commandSent(std::string_view line) {
    std::string word;
    for (char c : line) {
        if (!isAsciiAlnum(c)) break;
        word += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    // curl says QUIT after a failed request; neither it nor its reply may
    // hide which command failed.
    if (word == "QUIT") {
        dialogue_.quitPending = true;
        dialogue_.quitSentAt = std::chrono::steady_clock::now();
        return;
    }
    // AUTH continuation lines carry credentials, not commands: they leave the
    // command word alone and are not kept.
    static constexpr std::string_view kCommands[] = {"EHLO", "HELO", "STARTTLS", "AUTH", "MAIL",
                                                     "RCPT", "DATA", "NOOP",     "RSET"};
    if (std::find(std::begin(kCommands), std::end(kCommands), word) != std::end(kCommands))
        dialogue_.lastCommand = word;
    dialogue_.lastReply.clear();
    dialogue_.lastReplyCode = 0;
}

void SmtpSender::Session::replyReceived(std::string_view text) {
    dialogue_.pendingReply.append(text);
    for (auto end = dialogue_.pendingReply.find('\n'); end != std::string::npos;
         end = dialogue_.pendingReply.find('\n')) {
        std::string line = dialogue_.pendingReply.substr(0, end);
        dialogue_.pendingReply.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        dialogue_.anyReply = true;
        const bool hasCode =
            line.size() >= 3 && std::all_of(line.begin(), line.begin() + 3,
                                            [](char c) { return c >= '0' && c <= '9'; });
        // "250-..." continues a reply; the line without the dash ends it.
        if (!hasCode || (line.size() > 3 && line[3] == '-')) continue;
        if (dialogue_.quitPending) {
            dialogue_.quitPending = false;
        } else {
            dialogue_.lastReplyCode = std::stoi(line.substr(0, 3));
            dialogue_.lastReply = line;
        }
    }
}

int SmtpSender::Session::onDebug(CURL*, curl_infotype type, char* data, size_t size, void* self) {
    auto& session = *static_cast<Session*>(self);
    const std::string_view text(data, size);
    if (type == CURLINFO_HEADER_OUT)
        session.commandSent(text);
    else if (type == CURLINFO_HEADER_IN)
        session.replyReceived(text);
    else if (type == CURLINFO_DATA_OUT)
        session.dialogue_.dataSent = true;
    return 0;
}

int SmtpSender::Session::onProgress(void* self, curl_off_t, curl_off_t, curl_off_t total,
                                    curl_off_t now) {
    auto& session = *static_cast<Session*>(self);
    if (session.aborting()) return 1;
    // After a failed request curl says QUIT and waits a full reply timeout for
    // the answer; a server that has just stopped answering will not answer
    // that either, and the user should not wait twice.
    if (session.dialogue_.quitPending &&
        std::chrono::steady_clock::now() - session.dialogue_.quitSentAt > kQuitGrace)
        return 1;
    if (session.reportProgress_ && total > 0 && now > session.dialogue_.lastProgress) {
        session.dialogue_.lastProgress = now;
        // Dot-stuffing can send a few bytes more than the message holds.
        session.events_.bytesSent(static_cast<std::uint64_t>(std::min(now, total)),
                                  static_cast<std::uint64_t>(total));
    }
    return 0;
}

// Called once curl has an address to connect to.
curl_socket_t SmtpSender::Session::onOpenSocket(void* self, curlsocktype, curl_sockaddr* address) {
    auto& session = *static_cast<Session*>(self);
    if (!session.dialogue_.socketOpened) {
        session.dialogue_.socketOpened = true;
        session.events_.hostResolved();
    }
    // Close-on-exec, so programs the editor starts do not inherit the
    // connection.
    const curl_socket_t socket =
        ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
    if (socket != CURL_SOCKET_BAD) {
        std::lock_guard lock(session.mutex_);
        session.sockets_.push_back(socket);
    }
    return socket;
}

int SmtpSender::Session::onCloseSocket(void* self, curl_socket_t socket) {
    auto& session = *static_cast<Session*>(self);
    {
        // Under the lock, so abort() never shuts down a number that close()
        // has already handed to someone else.
        std::lock_guard lock(session.mutex_);
        std::erase(session.sockets_, socket);
    }
    return ::close(socket);
}

void SmtpSender::Session::shutDownSockets() {
    std::lock_guard lock(mutex_);
    for (const curl_socket_t socket : sockets_) ::shutdown(socket, SHUT_RDWR);
}

SmtpSender::SmtpSender(SmtpEvents& events) : session_(std::make_unique<Session>(events)) {}
SmtpSender::~SmtpSender() = default;
bool SmtpSender::connect(const SmtpServer& server) { return session_->connect(server); }
bool SmtpSender::send(const MailMessage& message) { return session_->send(message); }
void SmtpSender::disconnect() { session_->disconnect(); }
bool SmtpSender::isConnected() const { return session_->isConnected(); }
void SmtpSender::abort() { session_->abort(); }

}  // namespace zqw
