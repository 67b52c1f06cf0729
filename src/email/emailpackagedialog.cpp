#include "email/emailpackagedialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/userdialogs.h"
#include "mail/mailmessage.h"
#include "mail/mailtexts.h"

namespace {

constexpr int kConnectionPage = 0;
constexpr int kSendPage = 1;

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QLineEdit* makeEdit(const char* name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QPushButton* makeButton(const QString& caption, const char* name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    // Enter presses the page's own default button, never the one that
    // happens to have the focus (Reset, after a Send that took the focus
    // away from its disabled button).
    button->setAutoDefault(false);
    return button;
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* button : buttons) row->addWidget(button);
    return row;
}

}  // namespace

EmailPackageDialog::EmailPackageDialog(UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      dialogs_(dialogs) {
    setWindowTitle(QStringLiteral("Email to KHF"));
    setObjectName(QStringLiteral("emailPackageDialog"));

    pages_ = new QTabWidget;
    pages_->setObjectName(QStringLiteral("pages"));
    pages_->addTab(makeConnectionPage(), QStringLiteral("Connection"));
    pages_->addTab(makeSendPage(), QStringLiteral("Send E-Mail to ZQW"));
    // A page is named as its tab, so a screen reader entering it says which
    // page it is.
    for (int page = 0; page < pages_->count(); ++page)
        pages_->widget(page)->setAccessibleName(pages_->tabText(page));

    auto* statusBar = new QStatusBar;
    statusBar->setAccessibleName(QStringLiteral("Status"));
    statusBar->setSizeGripEnabled(false);
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("status"));
    statusBar->addWidget(status_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->addWidget(pages_);
    layout->addWidget(statusBar);

    connect(connectButton_, &QPushButton::clicked, this, &EmailPackageDialog::connectToHost);
    connect(disconnectButton_, &QPushButton::clicked, this,
            &EmailPackageDialog::disconnectFromHost);
    connect(sendButton_, &QPushButton::clicked, this, &EmailPackageDialog::sendPackage);
    connect(resetButton_, &QPushButton::clicked, this, &EmailPackageDialog::resetFields);
    connect(connectionCloseButton_, &QPushButton::clicked, this, &EmailPackageDialog::closeWindow);
    connect(sendCloseButton_, &QPushButton::clicked, this, &EmailPackageDialog::closeWindow);
    connect(pages_, &QTabWidget::currentChanged, this, &EmailPackageDialog::pageShown);
    // The window first opens on the page that sends; later on the one last
    // used.
    pages_->setCurrentIndex(kSendPage);
    pageShown(kSendPage);

    SmtpQuestions& questions = *this;
    worker_ = std::make_unique<SmtpWorker>(questions, *this);
    worker_->moveToThread(&thread_);
    connect(worker_.get(), &SmtpWorker::statusChanged, this, &EmailPackageDialog::setStatus);
    connect(worker_.get(), &SmtpWorker::problemReported, this,
            [this](const QString& text) { dialogs_.message(text); });
    connect(worker_.get(), &SmtpWorker::connectionChanged, this, [this](bool connected) {
        connected_ = connected;
        updateButtons();
    });
    connect(worker_.get(), &SmtpWorker::operationFinished, this, [this] {
        --pendingOperations_;
        updateButtons();
    });
    thread_.setObjectName(QStringLiteral("mail"));
    thread_.start();
    updateButtons();
}

EmailPackageDialog::~EmailPackageDialog() {
    // An operation that was just starting when the first abort came would
    // miss it; asking again until the thread has ended catches it.
    worker_->abortAll();
    thread_.quit();
    while (!thread_.wait(QDeadlineTimer(50))) worker_->abortAll();
}

QWidget* EmailPackageDialog::makeConnectionPage() {
    auto* page = new QWidget;
    hostEdit_ = makeEdit("host");
    portEdit_ = makeEdit("port");
    portEdit_->setText(QStringLiteral("25"));
    userIdEdit_ = makeEdit("userId");
    auto* server = new QFormLayout;
    server->addRow(QStringLiteral("Host: "), hostEdit_);
    server->addRow(QStringLiteral("Port: "), portEdit_);
    server->addRow(QStringLiteral("User ID: "), userIdEdit_);

    // Plain SMTP knows no login and no encryption; many servers today want
    // them, so they are offered, off unless chosen.
    auto* security = new QGroupBox(QStringLiteral("Login and encryption (optional)"));
    passwordEdit_ = makeEdit("password");
    passwordEdit_->setEchoMode(QLineEdit::Password);
    rememberPasswordBox_ = new QCheckBox(QStringLiteral("Remember password"));
    rememberPasswordBox_->setObjectName(QStringLiteral("rememberPassword"));
    securityChoice_ = new QComboBox;
    securityChoice_->setObjectName(QStringLiteral("security"));
    securityChoice_->addItem(QStringLiteral("None"), static_cast<int>(zqw::SmtpSecurity::None));
    securityChoice_->addItem(QStringLiteral("STARTTLS"),
                             static_cast<int>(zqw::SmtpSecurity::StartTls));
    securityChoice_->addItem(QStringLiteral("SSL/TLS"),
                             static_cast<int>(zqw::SmtpSecurity::SslTls));
    auto* note = new QLabel(
        QStringLiteral("Beyond plain SMTP, for servers that ask for them. The login name is "
                       "Your E-Mail Address; an empty password means no login. A password is "
                       "only ever sent encrypted: with None, the server must offer STARTTLS."));
    note->setWordWrap(true);
    auto* securityForm = new QFormLayout(security);
    securityForm->addRow(note);
    securityForm->addRow(QStringLiteral("Password: "), passwordEdit_);
    securityForm->addRow(QString(), rememberPasswordBox_);
    securityForm->addRow(QStringLiteral("Secure connection: "), securityChoice_);

    auto* local = new QGroupBox(QStringLiteral("Local Information"));
    userNameEdit_ = makeEdit("userName");
    emailAddressEdit_ = makeEdit("emailAddress");
    auto* localForm = new QFormLayout(local);
    localForm->addRow(QStringLiteral("Your name: "), userNameEdit_);
    localForm->addRow(QStringLiteral("Your E-Mail Address: "), emailAddressEdit_);

    connectButton_ = makeButton(QStringLiteral("&Host Connect"), "connect");
    disconnectButton_ = makeButton(QStringLiteral("&Disconnect"), "disconnect");
    connectionCloseButton_ = makeButton(QStringLiteral("&Close"), "connectionClose");

    auto* layout = new QVBoxLayout(page);
    layout->addLayout(server);
    layout->addWidget(security);
    layout->addWidget(local);
    layout->addStretch(1);
    layout->addLayout(buttonRow({connectButton_, disconnectButton_, connectionCloseButton_}));
    return page;
}

QWidget* EmailPackageDialog::makeSendPage() {
    auto* page = new QWidget;
    recipientEdit_ = makeEdit("recipient");
    // The caption above is not tied to the field; the name says what it
    // holds.
    recipientEdit_->setAccessibleName(QStringLiteral("Recipient's e-mail address"));
    attachedFile_ = new QLabel;
    attachedFile_->setObjectName(QStringLiteral("attachedFile"));
    attachedFile_->setWordWrap(true);
    attachedFile_->setFrameShape(QFrame::Panel);
    attachedFile_->setFrameShadow(QFrame::Sunken);
    sendButton_ = makeButton(QStringLiteral("&Send"), "send");
    resetButton_ = makeButton(QStringLiteral("&Reset"), "reset");
    sendCloseButton_ = makeButton(QStringLiteral("&Close"), "sendClose");

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("To ZQW Email address:")));
    layout->addWidget(recipientEdit_);
    layout->addWidget(attachedFile_);
    layout->addStretch(1);
    layout->addLayout(buttonRow({sendButton_, resetButton_, sendCloseButton_}));
    return page;
}

void EmailPackageDialog::prepare(const EmailSettings& stored, const QString& packagePath) {
    stored_ = stored;
    packagePath_ = packagePath;
    showFields(stored);
    attachedFile_->setText(QStringLiteral("Attached file: ") + packagePath);
}

void EmailPackageDialog::showFields(const EmailSettings& settings) {
    hostEdit_->setText(settings.host);
    portEdit_->setText(settings.port);
    userIdEdit_->setText(settings.userId);
    passwordEdit_->setText(settings.password);
    rememberPasswordBox_->setChecked(settings.rememberPassword);
    securityChoice_->setCurrentIndex(
        std::max(0, securityChoice_->findData(static_cast<int>(settings.security))));
    userNameEdit_->setText(settings.userName);
    emailAddressEdit_->setText(settings.emailAddress);
    recipientEdit_->setText(settings.recipient);
}

EmailSettings EmailPackageDialog::fieldSettings() const {
    EmailSettings settings;
    settings.userName = userNameEdit_->text();
    settings.emailAddress = emailAddressEdit_->text();
    settings.recipient = recipientEdit_->text();
    settings.host = hostEdit_->text();
    settings.port = portEdit_->text();
    settings.userId = userIdEdit_->text();
    settings.security = static_cast<zqw::SmtpSecurity>(securityChoice_->currentData().toInt());
    settings.rememberPassword = rememberPasswordBox_->isChecked();
    settings.password = passwordEdit_->text();
    return settings;
}

QString EmailPackageDialog::statusText() const { return status_->text(); }

void EmailPackageDialog::setStatus(const QString& text) {
    status_->setText(text);
    emit statusChanged(text);
}

std::optional<zqw::SmtpServer> EmailPackageDialog::serverFromFields() {
    const zqw::ParsedPort port = zqw::parsePort(portEdit_->text().toStdString());
    if (!port.error.empty()) {
        dialogs_.message(fromUtf8(port.error));
        return std::nullopt;
    }
    zqw::SmtpServer server;
    server.host = hostEdit_->text().trimmed().toStdString();
    server.port = port.port;
    server.heloName = userIdEdit_->text().toStdString();
    server.security = static_cast<zqw::SmtpSecurity>(securityChoice_->currentData().toInt());
    if (!passwordEdit_->text().isEmpty()) {
        server.user = emailAddressEdit_->text().trimmed().toStdString();
        server.password = passwordEdit_->text().toStdString();
    }
    return server;
}

void EmailPackageDialog::operationStarted() {
    ++pendingOperations_;
    updateButtons();
}

void EmailPackageDialog::connectToHost() {
    const std::optional<zqw::SmtpServer> server = serverFromFields();
    if (!server) return;
    operationStarted();
    worker_->startConnect(*server);
}

void EmailPackageDialog::disconnectFromHost() {
    // Disconnecting also ends a connection or a send still under way.
    worker_->abortAll();
    operationStarted();
    worker_->startDisconnect();
}

void EmailPackageDialog::sendPackage() {
    zqw::MailMessage message;
    message.senderName = userNameEdit_->text().toStdString();
    message.senderAddress = emailAddressEdit_->text().toStdString();
    message.recipient = recipientEdit_->text().toStdString();
    message.attachmentPath = packagePath_.toStdString();
    // A field that would break the mail header is refused before anything
    // is sent or connected; a missing address is the sender's to report.
    if (!zqw::isHeaderIncomplete(message)) {
        if (const std::string problem = zqw::findHeaderProblem(message); !problem.empty()) {
            dialogs_.message(fromUtf8(problem));
            return;
        }
    }
    operationStarted();
    worker_->startSend(message);
}

void EmailPackageDialog::resetFields() { showFields(stored_); }

void EmailPackageDialog::closeWindow() { accept(); }

void EmailPackageDialog::done(int result) {
    worker_->abortAll();
    if (result == QDialog::Accepted) {
        // Quietly when there is no connection: the sender then has nothing
        // to say.
        operationStarted();
        worker_->startDisconnect();
    }
    QDialog::done(result);
}

void EmailPackageDialog::keyPressEvent(QKeyEvent* event) {
    // Esc leaves as the visible page's "&Close" does, keeping the fields.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        visiblePageCloseButton()->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QPushButton* EmailPackageDialog::visiblePageCloseButton() const {
    return pages_->currentIndex() == kConnectionPage ? connectionCloseButton_ : sendCloseButton_;
}

void EmailPackageDialog::pageShown(int index) {
    // Enter presses the visible page's own default button.
    (index == kConnectionPage ? connectButton_ : sendButton_)->setDefault(true);
}

void EmailPackageDialog::updateButtons() {
    connectButton_->setEnabled(!isBusy());
    sendButton_->setEnabled(!isBusy());
}

std::optional<std::string> EmailPackageDialog::askForOtherHost(const std::string&) {
    const std::optional<QString> host = dialogs_.inputBox(
        fromUtf8(zqw::mailtext::kInvalidHost), fromUtf8(zqw::mailtext::kNewHostPrompt), QString());
    if (!host) return std::nullopt;
    return host->trimmed().toStdString();
}

std::optional<zqw::SmtpServer> EmailPackageDialog::askToConnect() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("ZQW VEZ"),
                    fromUtf8(zqw::mailtext::kConnectionRequired),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Ok);
    dialogs_.execDialog(box);
    if (box.clickedButton() != box.button(QMessageBox::Ok)) return std::nullopt;
    return serverFromFields();
}
