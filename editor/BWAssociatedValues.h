#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <memory>

namespace qrv {

// Values attached to a QObject under a key. Keys are compared by identity
// (their address), not by content: callers use the address of a constant.
using BWAssociationKey = const void*;

// Strong values: owned by the receiver and released with it.
void bw_setAssociatedValue(QObject* receiver, BWAssociationKey key, std::shared_ptr<void> value);
std::shared_ptr<void> bw_associatedValueForKey(const QObject* receiver, BWAssociationKey key);

template <typename T>
std::shared_ptr<T> bw_associatedValueForKey(const QObject* receiver, BWAssociationKey key) {
    return std::static_pointer_cast<T>(bw_associatedValueForKey(receiver, key));
}

// The receiver's table of weakly held values: an entry goes away when its
// object is destroyed.
class BWWeakMapTable {
  public:
    void setObject(QObject* value, BWAssociationKey key);
    QObject* objectForKey(BWAssociationKey key) const;
    // The keys whose objects are still alive.
    int count() const;

  private:
    void prune() const;
    mutable QHash<BWAssociationKey, QPointer<QObject>> m_entries;
};

// Created on first use and attached to the receiver (strongly).
BWWeakMapTable& bw_associatedObjectsWeakMapTable(QObject* receiver);

// A null value removes the key.
void bw_setWeakAssociatedValue(QObject* receiver, BWAssociationKey key, QObject* value);
QObject* bw_weakAssociatedValueForKey(QObject* receiver, BWAssociationKey key);

} // namespace qrv
