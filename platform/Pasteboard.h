#pragma once

#include <QByteArray>
#include <QString>

namespace qrv {

// The general pasteboard. It holds one item: writing replaces everything on it
// with the given typed data.
class Pasteboard {
  public:
    virtual ~Pasteboard() = default;
    virtual void setData(const QString& type, const QByteArray& data) = 0;
    // Empty when the pasteboard holds nothing of that type.
    virtual QByteArray data(const QString& type) const = 0;
    // Grows whenever the content changes, here or in another program, so
    // that a reader can tell whether what it last saw is still there.
    virtual quint64 changeCount() const = 0;
};

} // namespace qrv
