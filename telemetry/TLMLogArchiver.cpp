#include "telemetry/TLMLogArchiver.h"

#include "telemetry/TLMCrashReportLog.h"
#include "telemetry/TLMErrorAttachmentLog.h"

#include <QJsonDocument>

namespace qrv {

QString TLMLogArchiver::encode(const TLMAbstractLog& log) {
    return QString::fromLatin1(archive(log).toBase64());
}

TLMLogPtr TLMLogArchiver::decode(const QString& encoded) {
    const auto decoded =
        QByteArray::fromBase64Encoding(encoded.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return nullptr;
    return unarchive(*decoded);
}

QByteArray TLMLogArchiver::archive(const TLMAbstractLog& log) {
    QJsonObject archived;
    archived.insert(QStringLiteral("archiveVersion"), kArchiveVersion);
    archived.insert(QStringLiteral("log"), log.toJson());
    return QJsonDocument(archived).toJson(QJsonDocument::Compact);
}

TLMLogPtr TLMLogArchiver::unarchive(const QByteArray& archived) {
    const QJsonDocument document = QJsonDocument::fromJson(archived);
    if (!document.isObject())
        return nullptr;
    const QJsonObject root = document.object();
    if (root.value(QLatin1String("archiveVersion")).toInt(-1) != kArchiveVersion)
        return nullptr;
    const QJsonObject json = root.value(QLatin1String("log")).toObject();
    TLMLogPtr log = makeLog(json.value(QLatin1String("type")).toString());
    if (!log || !log->readJson(json))
        return nullptr;
    return log;
}

TLMLogPtr TLMLogArchiver::makeLog(const QString& type) {
    if (type == TLMCrashReportLog::kType)
        return std::make_shared<TLMCrashReportLog>();
    if (type == TLMErrorAttachmentLog::kType)
        return std::make_shared<TLMErrorAttachmentLog>();
    return nullptr;
}

} // namespace qrv
