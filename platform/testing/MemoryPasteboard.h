#pragma once

#include "platform/Pasteboard.h"

#include <QHash>

namespace qrv::testing {

// A pasteboard in memory: one item, replaced by every write.
class MemoryPasteboard final : public Pasteboard {
  public:
    void setData(const QString& type, const QByteArray& data) override { m_item = {{type, data}}; }
    QByteArray data(const QString& type) const override { return m_item.value(type); }

  private:
    QHash<QString, QByteArray> m_item;
};

} // namespace qrv::testing
