#pragma once

#include "platform/Pasteboard.h"

#include <QHash>

namespace qrv::testing {

// A pasteboard in memory: one item, replaced by every write.
class MemoryPasteboard final : public Pasteboard {
  public:
    void setData(const QString& type, const QByteArray& data) override {
        m_item = {{type, data}};
        ++m_changeCount;
    }
    QByteArray data(const QString& type) const override { return m_item.value(type); }
    quint64 changeCount() const override { return m_changeCount; }
    // Another program took the pasteboard with data we cannot read.
    void clearByAnotherProgram() {
        m_item.clear();
        ++m_changeCount;
    }

  private:
    QHash<QString, QByteArray> m_item;
    quint64 m_changeCount = 0;
};

} // namespace qrv::testing
