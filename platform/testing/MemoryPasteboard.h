#pragma once

#include "platform/Pasteboard.h"

namespace qrv::testing {

// A pasteboard in memory, replaced by every write.
class MemoryPasteboard final : public Pasteboard {
  public:
    void setItems(const QString& type, const QList<QByteArray>& items) override {
        m_type = type;
        m_items = items;
    }
    QList<QByteArray> items(const QString& type) const override {
        return type == m_type ? m_items : QList<QByteArray>();
    }

  private:
    QString m_type;
    QList<QByteArray> m_items;
};

} // namespace qrv::testing
