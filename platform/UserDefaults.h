#pragma once

#include "platform/PreferenceStore.h"

#include <QMutex>
#include <QVariantMap>

namespace qrv {

// The program's own settings: one domain of the preference store (our bundle
// identifier), with defaults registered in memory underneath. The getters
// convert the way the platform's user defaults do: numbers and the strings
// "YES"/"true"/"1" are booleans, numeric strings are integers, and so on.
class UserDefaults {
  public:
    UserDefaults(PreferenceStore& store, QString domain);

    const QString& domain() const { return m_domain; }

    void registerDefaults(const QVariantMap& defaults);

    // The stored value, else the registered one, else an invalid QVariant.
    QVariant objectForKey(const QString& key) const;
    bool boolForKey(const QString& key) const;
    qint64 integerForKey(const QString& key) const;
    double doubleForKey(const QString& key) const;
    QString stringForKey(const QString& key) const; // null for non-strings

    void setObject(const QString& key, const QVariant& value);
    void setBool(const QString& key, bool value) { setObject(key, value); }
    void setInteger(const QString& key, qint64 value) { setObject(key, value); }
    // Adds to the integer in one step of the store, so that two processes
    // counting at once lose no count.
    void addToInteger(const QString& key, qint64 amount);
    void removeObject(const QString& key);

  private:
    QVariant registeredValue(const QString& key) const;

    PreferenceStore& m_store;
    QString m_domain;
    mutable QMutex m_mutex;
    QVariantMap m_registered;
};

} // namespace qrv
