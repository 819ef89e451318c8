#include "telemetry/TLMErrorAttachmentLog.h"

#include "telemetry/TLMLogJson.h"

#include <QUuid>

namespace qrv {

std::shared_ptr<TLMErrorAttachmentLog>
TLMErrorAttachmentLog::attachmentWithText(const QString& text, const QString& fileName) {
    auto attachment = std::make_shared<TLMErrorAttachmentLog>();
    attachment->attachmentId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    attachment->contentType = QStringLiteral("text/plain; charset=utf-8");
    attachment->fileName = fileName;
    QByteArray data = text.toUtf8();
    if (data.size() > kMaximumDataBytes) {
        qsizetype start = data.size() - kMaximumDataBytes;
        // Never begin inside a character: skip UTF-8 continuation bytes.
        while (start < data.size() && (static_cast<unsigned char>(data.at(start)) & 0xC0) == 0x80)
            ++start;
        data = data.mid(start);
    }
    attachment->data = data;
    return attachment;
}

bool TLMErrorAttachmentLog::isValid() const {
    return TLMAbstractLog::isValid() && !attachmentId.isEmpty() && !errorId.isEmpty() &&
           !contentType.isEmpty() && !data.isEmpty() && data.size() <= kMaximumDataBytes;
}

QJsonObject TLMErrorAttachmentLog::toJson() const {
    QJsonObject json = TLMAbstractLog::toJson();
    json.insert(QStringLiteral("id"), attachmentId);
    json.insert(QStringLiteral("errorId"), errorId);
    json.insert(QStringLiteral("contentType"), contentType);
    if (!fileName.isEmpty())
        json.insert(QStringLiteral("fileName"), fileName);
    json.insert(QStringLiteral("data"), QString::fromLatin1(data.toBase64()));
    return json;
}

bool TLMErrorAttachmentLog::readJson(const QJsonObject& json) {
    QString encoded;
    if (!TLMAbstractLog::readJson(json) || !logjson::readString(json, "id", attachmentId) ||
        !logjson::readString(json, "errorId", errorId) ||
        !logjson::readString(json, "contentType", contentType) ||
        !logjson::readString(json, "fileName", fileName) ||
        !logjson::readString(json, "data", encoded))
        return false;
    auto decoded =
        QByteArray::fromBase64Encoding(encoded.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return false;
    data = *decoded;
    return true;
}

} // namespace qrv
