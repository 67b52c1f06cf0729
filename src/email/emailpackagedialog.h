#pragma once

#include <QDialog>
#include <QThread>
#include <memory>
#include <optional>
#include <string>

#include "email/emailsettings.h"
#include "email/smtpworker.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class UserDialogs;

// "Email to KHF": the user names an outgoing mail server, connects to it and
// sends a package to the collecting address. The mail dialogue runs on a
// thread of its own, so the window answers while a server is slow; closing
// the window in any way ends what is running. The window is made once and
// reused: the page last shown, the connection and the status line stay
// between uses, the fields are filled afresh each time.
class EmailPackageDialog : public QDialog, private SmtpQuestions {
    Q_OBJECT

public:
    explicit EmailPackageDialog(UserDialogs& dialogs, QWidget* parent = nullptr);
    ~EmailPackageDialog() override;

    // Fills the fields from the stored values, which "&Reset" goes back to,
    // and names the package to send.
    void prepare(const EmailSettings& stored, const QString& packagePath);
    // What the fields hold now: what "&Close" has the caller store.
    EmailSettings fieldSettings() const;

    QString statusText() const;
    // As the last connection event said.
    bool isConnected() const { return connected_; }
    // A mail operation is running or waiting its turn.
    bool isBusy() const { return pendingOperations_ > 0; }

    void connectToHost();
    void disconnectFromHost();
    void sendPackage();
    void resetFields();
    // Either "&Close" button: ends the connection and closes with OK.
    void closeWindow();

    void done(int result) override;

signals:
    // The status line shows a new text.
    void statusChanged(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // SmtpQuestions, on this window's thread.
    std::optional<std::string> askForOtherHost(const std::string& host) override;
    std::optional<zqw::SmtpServer> askToConnect() override;

    // The server as the Connection page describes it; nullopt, after
    // telling the user why, when the port is no number.
    std::optional<zqw::SmtpServer> serverFromFields();
    void showFields(const EmailSettings& settings);
    void setStatus(const QString& text);
    void pageShown(int index);
    void updateButtons();
    void operationStarted();
    QPushButton* visiblePageCloseButton() const;
    QWidget* makeConnectionPage();
    QWidget* makeSendPage();

    UserDialogs& dialogs_;
    EmailSettings stored_;
    QString packagePath_;
    bool connected_ = false;
    int pendingOperations_ = 0;

    QTabWidget* pages_ = nullptr;
    QLineEdit* hostEdit_ = nullptr;
    QLineEdit* portEdit_ = nullptr;
    QLineEdit* userIdEdit_ = nullptr;
    QLineEdit* passwordEdit_ = nullptr;
    QCheckBox* rememberPasswordBox_ = nullptr;
    QComboBox* securityChoice_ = nullptr;
    QLineEdit* userNameEdit_ = nullptr;
    QLineEdit* emailAddressEdit_ = nullptr;
    QPushButton* connectButton_ = nullptr;
    QPushButton* disconnectButton_ = nullptr;
    QPushButton* connectionCloseButton_ = nullptr;
    QLineEdit* recipientEdit_ = nullptr;
    QLabel* attachedFile_ = nullptr;
    QPushButton* sendButton_ = nullptr;
    QPushButton* resetButton_ = nullptr;
    QPushButton* sendCloseButton_ = nullptr;
    QLabel* status_ = nullptr;

    QThread thread_;
    std::unique_ptr<SmtpWorker> worker_;
};
