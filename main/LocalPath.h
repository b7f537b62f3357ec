// Host paths between Qt's texts and the engine's byte strings, in the encoding of the
// file system.
#pragma once

#include <QFile>
#include <QString>
#include <string>

inline std::string ToLocalPath(const QString& FileName) {
    return QFile::encodeName(FileName).toStdString();
}

inline QString FromLocalPath(const std::string& FileName) {
    return QFile::decodeName(QByteArray::fromStdString(FileName));
}
