#include "email/emailsettings.h"

#include "platform/profilestore.h"

namespace {

const QString kUserName = QStringLiteral("UName");
const QString kEmailAddress = QStringLiteral("UEmail");
const QString kRecipient = QStringLiteral("ZQWEmail");
const QString kHost = QStringLiteral("Host");
const QString kPort = QStringLiteral("Port");
const QString kUserId = QStringLiteral("UserID");
const QString kSecurity = QStringLiteral("Security");
const QString kRememberPassword = QStringLiteral("RememberPassword");
const QString kPassword = QStringLiteral("Password");

QString securityName(zqw::SmtpSecurity security) {
    switch (security) {
        case zqw::SmtpSecurity::None:
            return QStringLiteral("none");
        case zqw::SmtpSecurity::StartTls:
            return QStringLiteral("starttls");
        case zqw::SmtpSecurity::SslTls:
            return QStringLiteral("ssl");
    }
    return QStringLiteral("none");
}

zqw::SmtpSecurity securityNamed(const QString& name) {
    if (name.compare(QStringLiteral("starttls"), Qt::CaseInsensitive) == 0)
        return zqw::SmtpSecurity::StartTls;
    if (name.compare(QStringLiteral("ssl"), Qt::CaseInsensitive) == 0)
        return zqw::SmtpSecurity::SslTls;
    return zqw::SmtpSecurity::None;
}

}  // namespace

EmailSettings EmailSettings::read(const ProfileStore& profile) {
    EmailSettings settings;
    settings.userName = profile.value(kUserName);
    settings.emailAddress = profile.value(kEmailAddress);
    settings.recipient = profile.value(kRecipient, defaultRecipient());
    settings.host = profile.value(kHost);
    settings.port = profile.value(kPort, QStringLiteral("25"));
    settings.userId = profile.value(kUserId);
    settings.security = securityNamed(profile.value(kSecurity));
    settings.rememberPassword = profile.value(kRememberPassword) == QLatin1String("1");
    if (settings.rememberPassword) settings.password = profile.value(kPassword);
    return settings;
}

void EmailSettings::write(ProfileStore& profile) const {
    profile.setValue(kUserName, userName);
    profile.setValue(kEmailAddress, emailAddress);
    profile.setValue(kRecipient, recipient);
    profile.setValue(kHost, host);
    profile.setValue(kPort, port);
    profile.setValue(kUserId, userId);
    profile.setValue(kSecurity, securityName(security));
    profile.setValue(kRememberPassword,
                     rememberPassword ? QStringLiteral("1") : QStringLiteral("0"));
    if (rememberPassword && !password.isEmpty()) {
        profile.setValue(kPassword, password);
    } else if (!profile.value(kPassword).isEmpty()) {
        // Forgetting a password the user no longer wants kept.
        profile.setValue(kPassword, QString());
    }
}
