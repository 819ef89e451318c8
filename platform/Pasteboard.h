#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace qrv {

// The general pasteboard. It holds a list of items of one type: writing
// replaces everything on it.
class Pasteboard {
  public:
    virtual ~Pasteboard() = default;
    virtual void setItems(const QString& type, const QList<QByteArray>& items) = 0;
    // Empty when the pasteboard holds nothing of that type.
    virtual QList<QByteArray> items(const QString& type) const = 0;
    // Grows whenever the content changes, here or in another program, so
    // that a reader can tell whether what it last saw is still there.
    virtual quint64 changeCount() const = 0;

    // One item.
    void setData(const QString& type, const QByteArray& data) { setItems(type, {data}); }
    // The first item of that type; empty when there is none.
    QByteArray data(const QString& type) const {
        const QList<QByteArray> all = items(type);
        return all.isEmpty() ? QByteArray() : all.first();
    }
};

} // namespace qrv
