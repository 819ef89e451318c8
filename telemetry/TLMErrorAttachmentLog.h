#pragma once

#include "telemetry/TLMAbstractLog.h"

#include <QByteArray>

namespace qrv {

// A file that travels with a crash report (the console log, what the user
// wrote), linked to it by the report's error id. The data goes as Base64.
class TLMErrorAttachmentLog : public TLMAbstractLog {
  public:
    static inline const QString kType = QStringLiteral("errorAttachment");
    // Larger data is cut to its last part: the end of a log says most about a crash.
    static constexpr qsizetype kMaximumDataBytes = 1024 * 1024;

    // A UTF-8 text attachment.
    static std::shared_ptr<TLMErrorAttachmentLog> attachmentWithText(const QString& text,
                                                                     const QString& fileName);

    QString type() const override { return kType; }
    bool isValid() const override;
    QJsonObject toJson() const override;
    bool readJson(const QJsonObject& json) override;

    QString attachmentId; // a UUID string
    QString errorId;      // the crash report's
    QString contentType;
    QString fileName;
    QByteArray data;
};

using TLMErrorAttachmentLogPtr = std::shared_ptr<TLMErrorAttachmentLog>;

} // namespace qrv
