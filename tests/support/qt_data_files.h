#pragma once
// The data file helpers for tests that name their files with QString.

#include <QByteArray>
#include <QFile>
#include <QString>

#include "support/data_files.h"

namespace tessaline::testing {

inline std::filesystem::path PathOf(const QString& path) {
    return std::filesystem::path(path.toStdString());
}

inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool IsEncryptedFile(const QString& path) {
    return IsEncryptedFile(PathOf(path));
}

inline bool WriteDataFile(const QString& path, const std::vector<CardFields>& cards,
                          const std::string& password = {}) {
    return WriteDataFile(PathOf(path), cards, password);
}

inline bool WriteDataFile(const QString& path, const std::vector<CardFields>& cards,
                          FileCipherState state) {
    return WriteDataFile(PathOf(path), cards, std::move(state));
}

}  // namespace tessaline::testing
