#include "platform/UserDefaults.h"

#include "platform/Logging.h"

namespace qrv {

UserDefaults::UserDefaults(PreferenceStore& store, QString domain)
    : m_store(store)
    , m_domain(std::move(domain)) {}

void UserDefaults::registerDefaults(const QVariantMap& defaults) {
    QMutexLocker lock(&m_mutex);
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        m_registered.insert(it.key(), it.value());
}

QVariant UserDefaults::registeredValue(const QString& key) const {
    QMutexLocker lock(&m_mutex);
    return m_registered.value(key);
}

QVariant UserDefaults::objectForKey(const QString& key) const {
    QVariant value = m_store.copyValue(key, m_domain);
    return value.isValid() ? value : registeredValue(key);
}

bool UserDefaults::boolForKey(const QString& key) const {
    const QVariant value = objectForKey(key);
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::QString: {
        const QString s = value.toString().trimmed();
        if (s.compare(QLatin1String("YES"), Qt::CaseInsensitive) == 0 ||
            s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        return s.toLongLong() != 0;
    }
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::ULongLong:
        return value.toLongLong() != 0;
    case QMetaType::Double:
        return value.toDouble() != 0.0;
    default:
        return false;
    }
}

namespace {
qint64 integerFromValue(const QVariant& value) {
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::QString: {
        const QString s = value.toString().trimmed();
        bool ok = false;
        const qint64 n = s.toLongLong(&ok);
        if (ok)
            return n;
        const double d = s.toDouble(&ok);
        return ok ? static_cast<qint64>(d) : 0;
    }
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::ULongLong:
        return value.toLongLong();
    case QMetaType::Double:
        return static_cast<qint64>(value.toDouble());
    default:
        return 0;
    }
}

} // namespace

qint64 UserDefaults::integerForKey(const QString& key) const {
    return integerFromValue(objectForKey(key));
}

void UserDefaults::addToInteger(const QString& key, qint64 amount) {
    const auto added = m_store.updateValue(key, m_domain, [&](const QVariant& current) {
        return std::optional<QVariant>(
            integerFromValue(current.isValid() ? current : registeredValue(key)) + amount);
    });
    if (!added)
        qCWarning(lcPrefs) << "Cannot save setting" << key << ":" << added.error();
}

double UserDefaults::doubleForKey(const QString& key) const {
    const QVariant value = objectForKey(key);
    switch (value.metaType().id()) {
    case QMetaType::Bool:
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return value.toDouble();
    case QMetaType::QString:
        return value.toString().trimmed().toDouble();
    default:
        return 0.0;
    }
}

QString UserDefaults::stringForKey(const QString& key) const {
    const QVariant value = objectForKey(key);
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::Double:
    case QMetaType::Bool:
        // The platform answers numbers as their text form.
        return value.metaType().id() == QMetaType::Bool ? QString::number(value.toBool() ? 1 : 0)
                                                        : value.toString();
    default:
        return {};
    }
}

void UserDefaults::setObject(const QString& key, const QVariant& value) {
    if (auto r = m_store.setValue(key, value, m_domain); !r)
        qCWarning(lcPrefs) << "Cannot save setting" << key << ":" << r.error();
}

void UserDefaults::removeObject(const QString& key) {
    setObject(key, QVariant());
}

} // namespace qrv
