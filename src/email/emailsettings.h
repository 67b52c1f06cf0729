#pragma once

#include <QString>

#include "mail/smtpserver.h"

class ProfileStore;

// What the e-mail window remembers in the per-user store between uses: the
// server, the sender and the recipient. They are stored only when the user
// leaves the window by "&Close".
struct EmailSettings {
    QString userName;
    QString emailAddress;
    QString recipient = defaultRecipient();
    QString host;
    QString port = QStringLiteral("25");
    QString userId;
    // Plain SMTP needs neither; some servers want one or both.
    zqw::SmtpSecurity security = zqw::SmtpSecurity::None;
    bool rememberPassword = false;
    // Kept only when rememberPassword is set.
    QString password;

    // Where submitted cards go unless the user names another address.
    static QString defaultRecipient() { return QStringLiteral("cards@khf.example"); }

    static EmailSettings read(const ProfileStore& profile);
    // Writes every value; a password the user does not want remembered is
    // emptied in the store.
    void write(ProfileStore& profile) const;

    bool operator==(const EmailSettings&) const = default;
};
