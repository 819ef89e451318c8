#pragma once

#include "platform/Result.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QUrl>
#include <QVariant>

namespace qrv {

// The per-user preference domains of applications, as the platform keeps them
// (current user, any host). Values are property-list values (see PlistCodec.h);
// an invalid QVariant means "no value".
//
// An application identifier is a bundle identifier, kAnyApplication for the
// global domain, or an absolute folder path followed by "/" and a bundle
// identifier, which names that application's file inside that folder (the
// preference folders of sandboxed applications).
//
// Implementations are safe to call from any thread.
class PreferenceStore {
  public:
    static inline const QString kAnyApplication = QStringLiteral("kCFPreferencesAnyApplication");

    virtual ~PreferenceStore() = default;

    virtual QVariant copyValue(const QString& key, const QString& applicationId) = 0;
    // An invalid value removes the key. Keys not named are left as they are.
    virtual Result<void> setValue(const QString& key, const QVariant& value,
                                  const QString& applicationId) = 0;
    // The whole domain, for diagnostics and copying.
    virtual QVariantMap copyDomain(const QString& applicationId) = 0;

    // Additional preference folders per bundle identifier (sandbox containers):
    // bundle identifier -> file URLs of folders.
    virtual QMap<QString, QList<QUrl>> copyApplicationMap() = 0;
};

} // namespace qrv
