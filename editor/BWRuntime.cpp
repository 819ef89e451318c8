#include "editor/BWRuntime.h"

#include "editor/EditorLogging.h"

#include <QMetaObject>
#include <QMutex>
#include <map>

namespace qrv {

namespace {

// Classes live for the whole process: operations may be sent to them at any
// time after their initialisation.
struct Registry {
    QMutex mutex;
    std::map<QByteArray, std::unique_ptr<BWClass>> classes;
};

Registry& registry() {
    static Registry* shared = new Registry; // never destroyed: classes outlive every object
    return *shared;
}

} // namespace

BWClass& BWClass::named(const QByteArray& name, BWClass* superclass) {
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    auto& slot = r.classes[name];
    if (!slot)
        slot.reset(new BWClass(name, superclass));
    return *slot;
}

BWClass& BWClass::forMetaObject(const QMetaObject& metaObject) {
    BWClass* superclass =
        metaObject.superClass() ? &forMetaObject(*metaObject.superClass()) : nullptr;
    return named(metaObject.className(), superclass);
}

const BWClass::Entry* BWClass::lookUp(const char* selector, const std::type_info& signature) const {
    const QByteArray key(selector);
    for (const BWClass* c = this; c; c = c->m_superclass) {
        const auto it = c->m_methods.constFind(key);
        if (it != c->m_methods.constEnd())
            return it->signature == std::type_index(signature) ? &*it : nullptr;
    }
    return nullptr;
}

bool BWClass::exchange(const char* original, const char* alternate, const std::type_info& signature,
                       QString* error) {
    // The same wording as the platform's runtime category, so logs read alike.
    static const char* const kFunction =
        "+[NSObject(BWSwizzle) bw_swizzleMethod:withMethod:error:]";
    auto notFound = [&](const char* which, const char* selector) {
        if (error)
            *error = QStringLiteral("%1: %2 method %3 not found for class %4")
                         .arg(QLatin1String(kFunction), QLatin1String(which),
                              QLatin1String(selector), QString::fromLatin1(m_name));
        return false;
    };
    const Entry* originalEntry = lookUp(original, signature);
    if (!originalEntry)
        return notFound("original", original);
    const Entry* alternateEntry = lookUp(alternate, signature);
    if (!alternateEntry)
        return notFound("alternate", alternate);
    // Copies first: an inherited operation gets an entry of this class, so
    // the exchange stays out of the superclass.
    Entry first = *originalEntry;
    Entry second = *alternateEntry;
    m_methods.insert(QByteArray(original), second);
    m_methods.insert(QByteArray(alternate), first);
    return true;
}

void BWClass::reportMissing(const char* selector) const {
    qCWarning(lcEditor, "%s does not respond to %s", m_name.constData(), selector);
}

void bw_logFailedSwizzle(const char* selector, const QString& error) {
    qCWarning(lcEditor, "Failed to swizzle %s: %s", selector, qPrintable(error));
}

} // namespace qrv
