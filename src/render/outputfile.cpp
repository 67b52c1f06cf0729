#include "render/outputfile.h"

#include <QFile>
#include <string>

#include "card/textfile.h"

bool writeOutputFile(const QString& path, const QByteArray& bytes, QString* error) {
    std::string why;
    if (zqw::writeFileAtomically(QFile::encodeName(path).toStdString(),
                                 std::string_view(bytes.constData(), bytes.size()), &why)) {
        return true;
    }
    if (error) {
        *error = QStringLiteral("Unable to write to the file %1: %2")
                     .arg(path, QString::fromLocal8Bit(why.c_str()));
    }
    return false;
}
