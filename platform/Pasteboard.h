#pragma once

#include <QByteArray>
#include <QString>

namespace qrv {

// The general pasteboard: typed data, one item at a time.
// (Implemented by the key-combination work; refine there.)
class Pasteboard {
  public:
    virtual ~Pasteboard() = default;
    virtual void setData(const QString& type, const QByteArray& data) = 0;
    virtual QByteArray data(const QString& type) const = 0;
};

} // namespace qrv
