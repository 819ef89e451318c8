#pragma once

#include "telemetry/TLMDevice.h"

#include <QDateTime>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <memory>
#include <optional>

namespace qrv {

// Persistence flags of a log; the low 8 bits are its priority in the store
// (a higher value is more important).
enum TLMFlags : quint32 {
    TLMFlagsNone = 0,
    TLMFlagsNormal = 1,
    TLMFlagsCritical = 2,
    TLMFlagsPersistenceMask = 0xFF,
    TLMFlagsDefault = TLMFlagsNormal,
};

// A telemetry log: what every kind of log carries, its validity test and its
// JSON form. Concrete kinds add their fields and are known to TLMLogArchiver.
class TLMAbstractLog {
  public:
    virtual ~TLMAbstractLog();

    // The kind of log as the service knows it; also the key of its archived form.
    virtual QString type() const = 0;
    virtual bool isValid() const;

    // The JSON form. Target tokens are left out: they are secrets and travel
    // beside the log, never inside it.
    virtual QJsonObject toJson() const;
    // Reads what toJson() wrote; false when a field is of the wrong kind.
    virtual bool readJson(const QJsonObject& json);

    QDateTime timestamp;
    QString sid; // the session, a UUID string
    std::optional<TLMDevice> device;
    QString dataResidencyRegion;
    // For logs addressed to transmission targets: "<target key>-<secret>".
    QSet<QString> transmissionTargetTokens;

    // The key part of a target token: everything before the first "-".
    static QString targetKeyFromToken(const QString& token);
};

using TLMLogPtr = std::shared_ptr<TLMAbstractLog>;

} // namespace qrv
