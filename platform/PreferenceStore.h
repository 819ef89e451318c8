#pragma once

#include "platform/Result.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <functional>
#include <optional>

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

    // An invalid value both for "no value" and for a domain that cannot be read.
    virtual QVariant copyValue(const QString& key, const QString& applicationId) = 0;
    // The same, but a domain that cannot be read (not a regular file, no
    // permission, not a property-list dictionary) is an error naming the file.
    virtual Result<QVariant> readValue(const QString& key, const QString& applicationId) = 0;
    // An invalid value removes the key. Keys not named are left as they are.
    virtual Result<void> setValue(const QString& key, const QVariant& value,
                                  const QString& applicationId) = 0;

    // Answers the new value of a key from its current one (invalid when absent),
    // or nullopt to leave the domain as it is.
    using ValueChange = std::function<std::optional<QVariant>(const QVariant& current)>;
    // Reads the key and writes what `change` answers as one step: no other
    // writer, in this process or another, changes the domain in between. The
    // change must not call the store. Fails, without calling it, when the
    // domain exists but cannot be read.
    virtual Result<void> updateValue(const QString& key, const QString& applicationId,
                                     const ValueChange& change) = 0;
    // The whole domain, for diagnostics and copying.
    virtual QVariantMap copyDomain(const QString& applicationId) = 0;

    // Additional preference folders per bundle identifier (sandbox containers):
    // bundle identifier -> file URLs of folders.
    virtual QMap<QString, QList<QUrl>> copyApplicationMap() = 0;
};

} // namespace qrv
