#pragma once
// Files the tests read: the shared corpus of .doc files made by other
// programs, and a digest to tell whether a file was touched.

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QString>

namespace testsupport {

// A file of the corpus (LUMETRA_CORPUS_DIR, set by CTest).
inline QString corpus(const char* name)
{
    return QDir(qEnvironmentVariable("LUMETRA_CORPUS_DIR")).filePath(QString::fromLatin1(name));
}

// The SHA-256 of a file's bytes; empty when it cannot be read.
inline QByteArray digest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

} // namespace testsupport
