#pragma once

#include "platform/Pasteboard.h"

namespace qrv::testing {

// A pasteboard in memory, replaced by every write.
class MemoryPasteboard final : public Pasteboard {
  public:
    void setItems(const QString& type, const QList<QByteArray>& items) override {
        m_type = type;
        m_items = items;
        ++m_changeCount;
    }
    QList<QByteArray> items(const QString& type) const override {
        return type == m_type ? m_items : QList<QByteArray>();
    }
    quint64 changeCount() const override { return m_changeCount; }
    // Another program took the pasteboard with data we cannot read.
    void clearByAnotherProgram() {
        m_type.clear();
        m_items.clear();
        ++m_changeCount;
    }

  private:
    QString m_type;
    QList<QByteArray> m_items;
    quint64 m_changeCount = 0;
};

} // namespace qrv::testing
