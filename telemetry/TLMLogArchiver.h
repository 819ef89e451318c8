#pragma once

#include "telemetry/TLMAbstractLog.h"

#include <QByteArray>
#include <QString>

namespace qrv {

// The stored form of a log: {"archiveVersion": 1, "log": <the log's JSON>},
// as compact UTF-8 JSON, then Base64 without line breaks. The version lets a
// later program read what this one stored, and tell what it cannot read.
struct TLMLogArchiver {
    static constexpr int kArchiveVersion = 1;

    static QString encode(const TLMAbstractLog& log);
    // Null when the text is not a stored log of a kind and version we know.
    static TLMLogPtr decode(const QString& encoded);

    static QByteArray archive(const TLMAbstractLog& log);
    static TLMLogPtr unarchive(const QByteArray& archived);

    // A new, empty log of the kind; null for a kind we do not know.
    static TLMLogPtr makeLog(const QString& type);
};

} // namespace qrv
