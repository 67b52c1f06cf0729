#include "rememberednotes.h"

#include <QFile>
#include <QFileInfo>

namespace zqw {

bool RememberedNotesLinks::followOutside(const std::string& cardPath,
                                         const std::string& notesPath) {
    const QString card =
        QFileInfo(QFile::decodeName(QByteArray::fromStdString(cardPath))).canonicalFilePath();
    if (store_.isRememberedNotesLink(card, QFile::decodeName(QByteArray::fromStdString(notesPath))))
        return true;
    if (notices_) {
        notices_->showMessage("The notes file " + notesPath +
                              " is outside the card's folder and was not opened");
    }
    return false;
}

}  // namespace zqw
