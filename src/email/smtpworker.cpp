#include "email/smtpworker.h"

#include <QMetaObject>
#include <condition_variable>
#include <mutex>

#include "mail/mailtexts.h"
#include "mail/smtpsender.h"

namespace {

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

}  // namespace

// Shared with the questions waiting on the window's thread, which may run
// after the worker is gone.
struct SmtpWorker::Shared {
    std::mutex mutex;
    std::condition_variable answered;
    // Raised by abortAll(): operations of an older generation are over.
    std::atomic<quint64> generation{0};
};

SmtpWorker::SmtpWorker(SmtpQuestions& questions, QObject& questionPlace)
    : questions_(questions), questionPlace_(questionPlace), shared_(std::make_shared<Shared>()) {
    zqw::SmtpEvents& events = *this;
    sender_ = std::make_unique<zqw::SmtpSender>(events);
}

SmtpWorker::~SmtpWorker() = default;

void SmtpWorker::post(std::function<void()> operation) {
    const quint64 generation = shared_->generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, operation = std::move(operation)] {
            if (generation == shared_->generation) {
                runningGeneration_ = generation;
                operationFailed_ = false;
                operation();
            }
            emit operationFinished();
        },
        Qt::QueuedConnection);
}

void SmtpWorker::startConnect(const zqw::SmtpServer& server) {
    post([this, server] { sender_->connect(server); });
}

void SmtpWorker::startSend(const zqw::MailMessage& message) {
    post([this, message] { sender_->send(message); });
}

void SmtpWorker::startDisconnect() {
    post([this] { sender_->disconnect(); });
}

void SmtpWorker::abortAll() {
    ++shared_->generation;
    sender_->abort();
    // Taking the lock orders the new generation before any waiter's check.
    { std::lock_guard lock(shared_->mutex); }
    shared_->answered.notify_all();
}

bool SmtpWorker::isStale() const { return runningGeneration_ != shared_->generation; }

template <typename T>
std::optional<T> SmtpWorker::ask(std::function<std::optional<T>()> question) {
    struct Reply {
        std::optional<T> value;
        bool given = false;
    };
    auto reply = std::make_shared<Reply>();
    const std::shared_ptr<Shared> shared = shared_;
    const quint64 generation = runningGeneration_;
    QMetaObject::invokeMethod(
        &questionPlace_,
        [shared, reply, generation, question = std::move(question)] {
            // An operation ended meanwhile has nobody waiting for the answer.
            std::optional<T> value;
            if (generation == shared->generation) value = question();
            std::lock_guard lock(shared->mutex);
            reply->value = std::move(value);
            reply->given = true;
            shared->answered.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(shared->mutex);
    shared->answered.wait(lock, [&] { return reply->given || generation != shared->generation; });
    if (!reply->given) return std::nullopt;
    return std::move(reply->value);
}

void SmtpWorker::report(const QString& problem) {
    if (isStale()) return;
    operationFailed_ = true;
    // The status line is one line; the message box shows the text whole.
    QString status = problem;
    status.replace(QLatin1String("\r\n"), QLatin1String(" "));
    status.replace(QLatin1Char('\r'), QLatin1Char(' '));
    status.replace(QLatin1Char('\n'), QLatin1Char(' '));
    emit statusChanged(status);
    emit problemReported(problem);
}

void SmtpWorker::showStatus(const QString& status) {
    if (!isStale()) emit statusChanged(status);
}

void SmtpWorker::hostResolved() { showStatus(text(zqw::mailtext::kHostResolved)); }

std::optional<std::string> SmtpWorker::hostNotResolved(const std::string& host) {
    // While the user is asked for another host, the status line says why,
    // not what an earlier connection reached.
    showStatus(text(zqw::mailtext::kInvalidHost));
    return ask<std::string>([this, host] { return questions_.askForOtherHost(host); });
}

// The connection state is always passed on: the window's buttons follow it
// even after an abort.
void SmtpWorker::connected() {
    emit statusChanged(text(zqw::mailtext::kConnected));
    emit connectionChanged(true);
}

void SmtpWorker::disconnected() {
    // A connection dropped after a failure leaves the failure in the status
    // line; the buttons show that the connection is gone.
    if (!operationFailed_ || isStale()) emit statusChanged(text(zqw::mailtext::kDisconnected));
    emit connectionChanged(false);
}

void SmtpWorker::connectionFailed() { report(text(zqw::mailtext::kConnectionFailed)); }

std::optional<zqw::SmtpServer> SmtpWorker::connectionRequired() {
    return ask<zqw::SmtpServer>([this] { return questions_.askToConnect(); });
}

void SmtpWorker::encodingStarted(const std::string& fileName) {
    showStatus(text(zqw::mailtext::encodingText(fileName)));
}

void SmtpWorker::encodingFinished(const std::string& fileName) {
    showStatus(text(zqw::mailtext::finishedEncodingText(fileName)));
}

void SmtpWorker::headerIncomplete() { report(text(zqw::mailtext::kHeaderIncomplete)); }

void SmtpWorker::sendingStarted() { showStatus(text(zqw::mailtext::kSendingMessage)); }

void SmtpWorker::bytesSent(std::uint64_t sent, std::uint64_t total) {
    showStatus(text(zqw::mailtext::progressText(sent, total)));
}

void SmtpWorker::recipientRefused(const std::string& address) {
    report(text(zqw::mailtext::recipientNotFoundText(address)));
}

void SmtpWorker::messageAccepted() { showStatus(text(zqw::mailtext::kMessageSent)); }

void SmtpWorker::messageRefused(const std::string&) {
    if (isStale()) return;
    operationFailed_ = true;
    emit statusChanged(text(zqw::mailtext::kFailure));
}

void SmtpWorker::errorOccurred(const std::string& problem) { report(text(problem)); }
