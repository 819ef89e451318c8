#include "editor/BWAssociatedValues.h"

#include <QMutex>
#include <QVariant>

namespace qrv {

namespace {

// The values of one receiver, kept in a dynamic property so that they are
// released together with it.
struct AssociatedValues {
    QHash<BWAssociationKey, std::shared_ptr<void>> strong;
};

constexpr char kPropertyName[] = "_bw_associatedValues";

std::shared_ptr<AssociatedValues> valuesOf(const QObject* receiver) {
    return receiver->property(kPropertyName).value<std::shared_ptr<AssociatedValues>>();
}

// Two threads must not attach two tables to one receiver.
QMutex& attachMutex() {
    static QMutex mutex;
    return mutex;
}

// With attachMutex() held.
std::shared_ptr<AssociatedValues> attachedValuesLocked(QObject* receiver) {
    if (auto values = valuesOf(receiver))
        return values;
    auto values = std::make_shared<AssociatedValues>();
    receiver->setProperty(kPropertyName, QVariant::fromValue(values));
    return values;
}

std::shared_ptr<AssociatedValues> attachedValuesOf(QObject* receiver) {
    if (auto values = valuesOf(receiver))
        return values;
    QMutexLocker lock(&attachMutex());
    return attachedValuesLocked(receiver);
}

// The key under which the weak table is itself a strong associated value.
constexpr char kWeakMapTableKey = 0;

} // namespace

void bw_setAssociatedValue(QObject* receiver, BWAssociationKey key, std::shared_ptr<void> value) {
    auto values = attachedValuesOf(receiver);
    if (value)
        values->strong.insert(key, std::move(value));
    else
        values->strong.remove(key);
}

std::shared_ptr<void> bw_associatedValueForKey(const QObject* receiver, BWAssociationKey key) {
    const auto values = valuesOf(receiver);
    return values ? values->strong.value(key) : nullptr;
}

void BWWeakMapTable::setObject(QObject* value, BWAssociationKey key) {
    if (value)
        m_entries.insert(key, value);
    else
        m_entries.remove(key);
}

QObject* BWWeakMapTable::objectForKey(BWAssociationKey key) const {
    prune();
    return m_entries.value(key);
}

int BWWeakMapTable::count() const {
    prune();
    return int(m_entries.size());
}

void BWWeakMapTable::prune() const {
    m_entries.removeIf([](const auto& entry) { return entry.value().isNull(); });
}

BWWeakMapTable& bw_associatedObjectsWeakMapTable(QObject* receiver) {
    if (auto table = bw_associatedValueForKey<BWWeakMapTable>(receiver, &kWeakMapTableKey))
        return *table;
    QMutexLocker lock(&attachMutex());
    if (auto table = bw_associatedValueForKey<BWWeakMapTable>(receiver, &kWeakMapTableKey))
        return *table;
    auto table = std::make_shared<BWWeakMapTable>();
    attachedValuesLocked(receiver)->strong.insert(&kWeakMapTableKey, table);
    return *table;
}

void bw_setWeakAssociatedValue(QObject* receiver, BWAssociationKey key, QObject* value) {
    bw_associatedObjectsWeakMapTable(receiver).setObject(value, key);
}

QObject* bw_weakAssociatedValueForKey(QObject* receiver, BWAssociationKey key) {
    return bw_associatedObjectsWeakMapTable(receiver).objectForKey(key);
}

} // namespace qrv
