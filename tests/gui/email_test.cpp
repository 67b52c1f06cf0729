// The "Email to KHF" window driven as a user would, against a real mail
// server on loopback that keeps what it receives.

#include <sys/stat.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include "email/emailpackagedialog.h"
#include "guitestmain.h"
#include "guitestsupport.h"
#include "mail/mailtexts.h"
#include "platform/profilestore.h"

namespace {

const QString kPackageFilter = QStringLiteral("ZQW files (*.zqw)|*.zqw");
const QString kWindowTitle = QStringLiteral("Email to KHF");
const QString kSender = QStringLiteral("ann.lee@example.org");
const QString kRecipient = QStringLiteral("cards@khf.example");
const QString kHelo = QStringLiteral("player-7");
const QString kConnected = QStringLiteral("Connected");
const QString kSent = QStringLiteral("ZQW file successfully sent");
const QString kHeaderIncomplete =
    QStringLiteral("Header Incomplete.\rPlease supply your name and email address");
// How the scripted dialogs log a message they showed.
const QString kMessageLogged = QStringLiteral("message: ");
// Long enough for a loaded machine, far below the sender's own timeouts.
constexpr int kWaitMs = 10000;

// The loopback server of tests/gui/smtprecorder.py.
class MailServer {
public:
    bool start() {
        process_.start(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(ZQW_SOURCE_DIR "/tests/gui/smtprecorder.py"), folder_.path()});
        if (!process_.waitForStarted(10000)) return false;
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(10000)) return false;
        }
        port_ = process_.readLine().trimmed().toInt();
        return port_ > 0;
    }
    void stop() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(5000)) process_.kill();
        process_.waitForFinished(5000);
    }
    int port() const { return port_; }
    // How often a client hung up on a message the server had not answered.
    int hangUps() const {
        return static_cast<int>(
            QDir(folder_.path()).entryList({QStringLiteral("hangup-*.json")}).size());
    }
    // The logins the server was given so far, each with its password.
    int logins() const {
        return static_cast<int>(
            QDir(folder_.path()).entryList({QStringLiteral("login-*.json")}).size());
    }
    // The messages received so far, in order.
    QList<QJsonObject> messages() const {
        QList<QJsonObject> found;
        for (int n = 1;; ++n) {
            const QString file = folder_.filePath(QStringLiteral("%1.json").arg(n));
            if (!QFileInfo::exists(file)) return found;
            found << QJsonDocument::fromJson(readBytes(file)).object();
        }
    }

private:
    QProcess process_;
    QTemporaryDir folder_;
    int port_ = 0;
};

QLineEdit& edit(QDialog& window, const char* name) {
    auto* found = window.findChild<QLineEdit*>(QLatin1String(name));
    if (!found) qFatal("no field %s", name);
    return *found;
}

QPushButton& button(QDialog& window, const char* name) {
    auto* found = window.findChild<QPushButton*>(QLatin1String(name));
    if (!found) qFatal("no button %s", name);
    return *found;
}

QTabWidget& pages(QDialog& window) {
    return *window.findChild<QTabWidget*>(QStringLiteral("pages"));
}

}  // namespace

class EmailTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(server_.start(), "the mail server did not start"); }
    void cleanupTestCase() { server_.stop(); }
    void init();
    void cleanup() { session_.reset(); }

    void fieldsComeFromSettings_data();
    void fieldsComeFromSettings();
    void onlyCloseStoresTheFields();
    void connectThenSend();
    void sendWithoutConnection_data();
    void sendWithoutConnection();
    void unresolvedHostAsksForAnother();
    void refusedMessagesSayWhy_data();
    void refusedMessagesSayWhy();
    void portMustBeAWholeNumber_data();
    void portMustBeAWholeNumber();
    void closingAbortsTransfer();
    void passwordIsNeverSentInClear_data();
    void passwordIsNeverSentInClear();
    void statusEndsOnTheFailure_data();
    void statusEndsOnTheFailure();

private:
    // Opens the window through Options > Email ZQW File and runs script in
    // it; the window's result is what the script leaves it with.
    void runWindow(const std::function<void(EmailPackageDialog&)>& script);
    // Types the values of a working submission into the fields.
    void fillFields(QDialog& window);
    // Messages the server received since the test began.
    int received() const { return static_cast<int>(server_.messages().size()) - receivedBefore_; }

    MailServer server_;
    std::unique_ptr<EditorSession> session_;
    QString package_;
    QByteArray packageBytes_;
    int receivedBefore_ = 0;
};

void EmailTest::init() {
    session_ = std::make_unique<EditorSession>();
    receivedBefore_ = static_cast<int>(server_.messages().size());
    package_ = session_->path(QStringLiteral("club card.zqw"));
    // Every byte value, so the attachment's encoding is checked whole.
    for (int i = 0; i < 3000; ++i) packageBytes_ += static_cast<char>(i % 256);
    writeBytes(package_, packageBytes_);
}

void EmailTest::runWindow(const std::function<void(EmailPackageDialog&)>& script) {
    session_->dialogs().expectOpenFile(package_, kPackageFilter);
    session_->dialogs().expectDialog(kWindowTitle, [&script](QDialog& dialog) {
        auto& window = static_cast<EmailPackageDialog&>(dialog);
        script(window);
        return window.result();
    });
    chooseMenuItem(session_->app(), "emailPackage");
}

void EmailTest::fillFields(QDialog& window) {
    edit(window, "host").setText(QStringLiteral("127.0.0.1"));
    edit(window, "port").setText(QString::number(server_.port()));
    edit(window, "userId").setText(kHelo);
    edit(window, "userName").setText(QStringLiteral("Ann Lee"));
    edit(window, "emailAddress").setText(kSender);
    edit(window, "recipient").setText(kRecipient);
}

void EmailTest::fieldsComeFromSettings_data() {
    QTest::addColumn<QStringList>("stored");  // name=value pairs
    QTest::addColumn<QStringList>("shown");   // host, port, user ID, name, address, recipient
    QTest::newRow("nothing stored")
        << QStringList()
        << QStringList{{}, QStringLiteral("25"), {}, {}, {}, QStringLiteral("cards@khf.example")};
    QTest::newRow("all stored") << QStringList{QStringLiteral("Host=mail.example.org"),
                                               QStringLiteral("Port=587"),
                                               QStringLiteral("UserID=player-7"),
                                               QStringLiteral("UName=Ann Lee"),
                                               QStringLiteral("UEmail=ann@example.org"),
                                               QStringLiteral("ZQWEmail=cards@other.example")}
                                << QStringList{QStringLiteral("mail.example.org"),
                                               QStringLiteral("587"),
                                               QStringLiteral("player-7"),
                                               QStringLiteral("Ann Lee"),
                                               QStringLiteral("ann@example.org"),
                                               QStringLiteral("cards@other.example")};
}

void EmailTest::fieldsComeFromSettings() {
    QFETCH(QStringList, stored);
    QFETCH(QStringList, shown);
    ProfileStore profile;
    for (const QString& pair : stored)
        profile.setValue(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
    profile.sync();
    session_->start();

    QStringList onScreen;
    QStringList afterReset;
    int firstPage = -1;
    QString attached;
    runWindow([&](EmailPackageDialog& window) {
        const auto fields = [&window] {
            QStringList texts;
            for (const char* name :
                 {"host", "port", "userId", "userName", "emailAddress", "recipient"})
                texts << edit(window, name).text();
            return texts;
        };
        onScreen = fields();
        firstPage = pages(window).currentIndex();
        attached = window.findChild<QLabel*>(QStringLiteral("attachedFile"))->text();
        // Reset takes back what was typed.
        for (const char* name : {"host", "port", "userId", "userName", "emailAddress", "recipient"})
            QTest::keyClicks(&edit(window, name), QStringLiteral("x"));
        button(window, "reset").click();
        afterReset = fields();
        window.close();
    });
    session_->verifyDialogs();
    QCOMPARE(onScreen, shown);
    QCOMPARE(afterReset, shown);
    QCOMPARE(firstPage, 1);
    QCOMPARE(attached, QStringLiteral("Attached file: ") + package_);
}

void EmailTest::onlyCloseStoresTheFields() {
    ProfileStore profile;
    profile.setValue(QStringLiteral("Host"), QStringLiteral("old.example.org"));
    profile.sync();
    session_->start();
    const auto stored = [](const char* name) { return ProfileStore().value(QLatin1String(name)); };

    // The close box keeps nothing.
    runWindow([](EmailPackageDialog& window) {
        edit(window, "host").setText(QStringLiteral("mail.example.org"));
        window.close();
    });
    QCOMPARE(stored("Host"), QStringLiteral("old.example.org"));

    // Esc leaves by the visible page's Close, which stores all six fields;
    // a password is not kept unless asked.
    QString hostShown;
    runWindow([&hostShown](EmailPackageDialog& window) {
        hostShown = edit(window, "host").text();
        edit(window, "host").setText(QStringLiteral("new.example.org"));
        edit(window, "userName").setText(QStringLiteral("Ann Lee"));
        edit(window, "password").setText(QStringLiteral("s3cret"));
        QTest::keyClick(&edit(window, "recipient"), Qt::Key_Escape);
    });
    QCOMPARE(hostShown, QStringLiteral("old.example.org"));
    QCOMPARE(stored("Host"), QStringLiteral("new.example.org"));
    QCOMPARE(stored("UName"), QStringLiteral("Ann Lee"));
    QCOMPARE(stored("Port"), QStringLiteral("25"));
    QCOMPARE(stored("ZQWEmail"), QStringLiteral("cards@khf.example"));
    QCOMPARE(stored("Password"), QString());

    // Asked to, the password is kept, in the per-user store only, and the
    // window opens where it was left.
    QString passwordShown = QStringLiteral("<not opened>");
    runWindow([&passwordShown](EmailPackageDialog& window) {
        passwordShown = edit(window, "password").text();
        pages(window).setCurrentIndex(0);
        edit(window, "password").setText(QStringLiteral("s3cret"));
        window.findChild<QCheckBox*>(QStringLiteral("rememberPassword"))->setChecked(true);
        auto* security = window.findChild<QComboBox*>(QStringLiteral("security"));
        security->setCurrentIndex(security->findText(QStringLiteral("STARTTLS")));
        button(window, "connectionClose").click();
    });
    int pageShown = -1;
    runWindow([&pageShown](EmailPackageDialog& window) {
        pageShown = pages(window).currentIndex();
        window.close();
    });
    session_->stop();
    session_->verifyDialogs();
    QCOMPARE(passwordShown, QString());
    QCOMPARE(pageShown, 0);
    QCOMPARE(stored("Password"), QStringLiteral("s3cret"));
    QCOMPARE(stored("Security"), QStringLiteral("starttls"));
    QVERIFY(!readBytes(session_->settings().iniPath()).contains("s3cret"));
    const QString store =
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("ZQW_VEZ"))
            .fileName();
    QCOMPARE(QFile::permissions(store) & (QFileDevice::ReadGroup | QFileDevice::ReadOther),
             QFileDevice::Permissions());
}

void EmailTest::connectThenSend() {
    session_->start();
    QStringList statuses;
    bool connectedAfterSend = false;
    runWindow([&](EmailPackageDialog& window) {
        pages(window).setCurrentIndex(0);
        fillFields(window);
        // Enter presses the visible page's default button: Host Connect.
        QTest::keyClick(&edit(window, "host"), Qt::Key_Return);
        QTRY_COMPARE_WITH_TIMEOUT(window.statusText(), kConnected, kWaitMs);
        statuses << window.statusText();
        pages(window).setCurrentIndex(1);
        for (int time = 0; time < 2; ++time) {
            QTest::keyClick(&edit(window, "recipient"), Qt::Key_Return);
            QTRY_VERIFY_WITH_TIMEOUT(!window.isBusy(), kWaitMs);
            statuses << window.statusText();
        }
        connectedAfterSend = window.isConnected();
        button(window, "sendClose").click();
        QTRY_COMPARE_WITH_TIMEOUT(window.statusText(), QStringLiteral("Disconnected"), kWaitMs);
    });
    session_->verifyDialogs();
    QCOMPARE(statuses, (QStringList{kConnected, kSent, kSent}));
    QVERIFY(connectedAfterSend);

    const QList<QJsonObject> messages = server_.messages();
    QCOMPARE(received(), 2);
    const QJsonObject& message = messages.at(receivedBefore_);
    QCOMPARE(message[QStringLiteral("helo")].toString(), kHelo);
    QCOMPARE(message[QStringLiteral("from")].toString(), kSender);
    QCOMPARE(message[QStringLiteral("to")].toArray(), QJsonArray{kRecipient});
    QCOMPARE(message[QStringLiteral("subject")].toString(), QStringLiteral("ZQW file"));
    QVERIFY(message[QStringLiteral("sender")].toString().contains(QStringLiteral("Ann Lee")));
    const QJsonArray attachments = message[QStringLiteral("attachments")].toArray();
    QCOMPARE(attachments.size(), 1);
    const QJsonObject attachment = attachments.first().toObject();
    QCOMPARE(attachment[QStringLiteral("name")].toString(), QStringLiteral("club card.zqw"));
    QCOMPARE(QByteArray::fromBase64(attachment[QStringLiteral("content")].toString().toLatin1()),
             packageBytes_);
}

void EmailTest::sendWithoutConnection_data() {
    QTest::addColumn<bool>("connect");
    QTest::newRow("answered OK") << true;
    QTest::newRow("answered Cancel") << false;
}

void EmailTest::sendWithoutConnection() {
    QFETCH(bool, connect);
    session_->start();
    ScriptedDialogs& dialogs = session_->dialogs();
    QString question;
    QString finalStatus;
    runWindow([&](EmailPackageDialog& window) {
        fillFields(window);
        dialogs.expectDialog(QStringLiteral("ZQW VEZ"), [&question, connect](QDialog& box) {
            auto& messageBox = static_cast<QMessageBox&>(box);
            question = messageBox.text();
            messageBox.button(connect ? QMessageBox::Ok : QMessageBox::Cancel)->click();
            return messageBox.result();
        });
        // Without a connection the sender says so in a message of its own.
        if (!connect) dialogs.expectMessage(QString());
        button(window, "send").click();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isBusy(), kWaitMs);
        finalStatus = window.statusText();
        button(window, "sendClose").click();
    });
    session_->verifyDialogs();
    QCOMPARE(question, QStringLiteral("Connection Required. Connect?"));
    QCOMPARE(received(), connect ? 1 : 0);
    QCOMPARE(finalStatus == kSent, connect);
}

void EmailTest::unresolvedHostAsksForAnother() {
    session_->start();
    QString hostAfter;
    // Each status with whether the question for a new host was still to come.
    QStringList statuses;
    runWindow([&](EmailPackageDialog& window) {
        fillFields(window);
        connect(&window, &EmailPackageDialog::statusChanged, this, [&](const QString& text) {
            statuses << text + (session_->dialogs().pending() > 0 ? QStringLiteral(" (asking)")
                                                                  : QString());
        });
        session_->dialogs().expectInput(QStringLiteral("Specify a new host:"),
                                        QStringLiteral("127.0.0.1"));
        edit(window, "host").setText(QStringLiteral("no-such-host.invalid"));
        button(window, "connect").click();
        QTRY_COMPARE_WITH_TIMEOUT(window.statusText(), kConnected, kWaitMs);
        hostAfter = edit(window, "host").text();
        button(window, "sendClose").click();
    });
    session_->verifyDialogs();
    // While the user is asked, the status line says why.
    QCOMPARE(statuses.mid(0, 3), (QStringList{QStringLiteral("Invalid Host! (asking)"),
                                              QStringLiteral("Host Resolved"), kConnected}));
    // The typed host served this connection only.
    QCOMPARE(hostAfter, QStringLiteral("no-such-host.invalid"));
    QCOMPARE(ProfileStore().value(QStringLiteral("Host")), QStringLiteral("no-such-host.invalid"));
}

void EmailTest::refusedMessagesSayWhy_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("message");  // empty: any text, checked below
    QTest::newRow("refused recipient")
        << QStringLiteral("recipient") << QStringLiteral("nobody@khf.example")
        << QStringLiteral("Recipient \"nobody@khf.example\" not found");
    QTest::newRow("no sender address")
        << QStringLiteral("emailAddress") << QString() << kHeaderIncomplete;
    QTest::newRow("line break in the name")
        << QStringLiteral("userName") << QStringLiteral("Ann\r\nBcc: victim@example.org")
        << QString();
}

void EmailTest::refusedMessagesSayWhy() {
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, message);
    session_->start();
    runWindow([&](EmailPackageDialog& window) {
        pages(window).setCurrentIndex(0);
        fillFields(window);
        button(window, "connect").click();
        QTRY_COMPARE_WITH_TIMEOUT(window.statusText(), kConnected, kWaitMs);
        edit(window, field.toLatin1().constData()).setText(value);
        session_->dialogs().expectMessage(message);
        button(window, "send").click();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isBusy() && session_->dialogs().pending() == 0, kWaitMs);
        QVERIFY(window.statusText() != kSent);
        button(window, "connectionClose").click();
    });
    session_->verifyDialogs();
    QCOMPARE(received(), 0);
    if (message.isEmpty()) {
        const QString shown = session_->dialogs().log().last();
        QVERIFY2(shown.contains(QStringLiteral("line break")), qPrintable(shown));
    }
}

void EmailTest::portMustBeAWholeNumber_data() {
    QTest::addColumn<QString>("port");
    QTest::newRow("letters") << QStringLiteral("2x5");
    QTest::newRow("empty") << QString();
}

void EmailTest::portMustBeAWholeNumber() {
    QFETCH(QString, port);
    session_->start();
    bool busy = true;
    runWindow([&](EmailPackageDialog& window) {
        fillFields(window);
        session_->dialogs().expectMessage(
            QStringLiteral("'%1' is not a valid integer value").arg(port));
        edit(window, "port").setText(port);
        button(window, "connect").click();
        busy = window.isBusy();
        window.close();
    });
    session_->verifyDialogs();
    QVERIFY(!busy);
}

void EmailTest::closingAbortsTransfer() {
    session_->start();
    EmailPackageDialog* shown = nullptr;
    const int hangUpsBefore = server_.hangUps();
    runWindow([&](EmailPackageDialog& window) {
        shown = &window;
        fillFields(window);
        // This recipient's server never answers the message; only the sender's
        // own timeout, longer than any wait here, would end the transfer.
        edit(window, "recipient").setText(QStringLiteral("slow@khf.example"));
        button(window, "connect").click();
        QTRY_COMPARE_WITH_TIMEOUT(window.statusText(), kConnected, kWaitMs);
        button(window, "send").click();
        QTRY_VERIFY_WITH_TIMEOUT(window.statusText().contains(QStringLiteral(" bytes of ")),
                                 kWaitMs);
        QTest::qWait(300);
        QVERIFY(window.isBusy());
        QCOMPARE(server_.hangUps(), hangUpsBefore);
        window.close();
    });
    QVERIFY(shown);
    QTRY_VERIFY2_WITH_TIMEOUT(!shown->isBusy(), "closing did not end the transfer", kWaitMs);
    // The transfer was cut, not finished: the server saw the client go while
    // the message still waited for its answer.
    QTRY_COMPARE_WITH_TIMEOUT(server_.hangUps(), hangUpsBefore + 1, kWaitMs);
    QVERIFY(!shown->isConnected());
    QVERIFY(shown->statusText() != kSent);
    // Nothing the ended transfer would have said comes up afterwards.
    QTest::qWait(200);
    session_->verifyDialogs();
    QCOMPARE(received(), 0);
}

void EmailTest::passwordIsNeverSentInClear_data() {
    QTest::addColumn<int>("security");  // the "Secure connection: " choice
    QTest::addColumn<QString>("message");
    QTest::newRow("None, the default")
        << 0 << QString::fromUtf8(zqw::mailtext::kPasswordNeedsEncryption.data());
    QTest::newRow("STARTTLS") << 1 << QStringLiteral("offers no STARTTLS encryption");
}

void EmailTest::passwordIsNeverSentInClear() {
    QFETCH(int, security);
    QFETCH(QString, message);
    session_->start();
    QString status;
    bool connected = true;
    runWindow([&](EmailPackageDialog& window) {
        pages(window).setCurrentIndex(0);
        fillFields(window);
        edit(window, "password").setText(QStringLiteral("s3cret"));
        window.findChild<QComboBox*>(QStringLiteral("security"))->setCurrentIndex(security);
        // The server offers AUTH but no STARTTLS, and would take mail with
        // a login or without.
        session_->dialogs().expectMessage({});
        button(window, "connect").click();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isBusy() && session_->dialogs().pending() == 0, kWaitMs);
        status = window.statusText();
        connected = window.isConnected();
        button(window, "connectionClose").click();
    });
    session_->verifyDialogs();
    const QString shown = session_->dialogs().log().last();
    QVERIFY2(shown.startsWith(kMessageLogged) && shown.contains(message), qPrintable(shown));
    QCOMPARE(status, shown.mid(kMessageLogged.size()));
    QVERIFY(!connected);
    QCOMPARE(server_.logins(), 0);
    QCOMPARE(received(), 0);
}

void EmailTest::statusEndsOnTheFailure_data() {
    QTest::addColumn<QString>("recipient");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("status");  // empty: the text of the message shown
    QTest::newRow("refused recipient")
        << QStringLiteral("nobody@khf.example") << QStringLiteral("127.0.0.1")
        << QStringLiteral("Recipient \"nobody@khf.example\" not found");
    // No other host given: the connection fails with the sender's reason.
    QTest::newRow("unknown host") << kRecipient << QStringLiteral("no-such-host.invalid")
                                  << QString();
}

// Connected and sent once, then a send that fails: the status line ends on
// the failure, never on a state from before it.
void EmailTest::statusEndsOnTheFailure() {
    QFETCH(QString, recipient);
    QFETCH(QString, host);
    QFETCH(QString, status);
    session_->start();
    QStringList statuses;
    runWindow([&](EmailPackageDialog& window) {
        fillFields(window);
        button(window, "connect").click();
        QTRY_COMPARE_WITH_TIMEOUT(window.statusText(), kConnected, kWaitMs);
        button(window, "send").click();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isBusy(), kWaitMs);
        QCOMPARE(window.statusText(), kSent);
        QSignalSpy changes(&window, &EmailPackageDialog::statusChanged);
        edit(window, "recipient").setText(recipient);
        if (host != QLatin1String("127.0.0.1")) {
            // A new connection to a host that cannot be found, the question
            // for another answered Cancel.
            edit(window, "host").setText(host);
            session_->dialogs().expectInput(QStringLiteral("Specify a new host:"), std::nullopt);
            session_->dialogs().expectMessage({});
            button(window, "connect").click();
        } else {
            session_->dialogs().expectMessage(status);
            button(window, "send").click();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!window.isBusy() && session_->dialogs().pending() == 0, kWaitMs);
        for (const QList<QVariant>& change : changes) statuses << change.at(0).toString();
        button(window, "sendClose").click();
    });
    session_->verifyDialogs();
    if (status.isEmpty()) status = session_->dialogs().log().last().mid(kMessageLogged.size());
    QVERIFY(!statuses.isEmpty());
    QCOMPARE(statuses.last(), status);
    QVERIFY2(!statuses.contains(kSent) && !statuses.contains(QStringLiteral("Host Resolved")),
             qPrintable(statuses.join(QStringLiteral(" | "))));
    QCOMPARE(received(), 1);
}

ZQW_GUI_TEST(EmailTest)
#include "email_test.moc"
