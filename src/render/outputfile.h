#pragma once

#include <QByteArray>
#include <QString>

// Writes a file the user named as an output (a PDF, a report archive) the
// way card files are saved: whole or not at all, through symbolic links,
// and never in place of a folder, pipe or device, which stays as it was.
// False, with a message naming the path and the reason in *error.
bool writeOutputFile(const QString& path, const QByteArray& bytes, QString* error = nullptr);
