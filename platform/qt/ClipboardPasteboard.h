#pragma once

#include "platform/Pasteboard.h"

#include <atomic>
#include <memory>

namespace qrv {

// The general pasteboard as the window system's clipboard. Needs a
// QGuiApplication; call only on the main thread.
class ClipboardPasteboard final : public Pasteboard {
  public:
    void setData(const QString& type, const QByteArray& data) override;
    QByteArray data(const QString& type) const override;
    quint64 changeCount() const override;

  private:
    // Counted from the clipboard's change signal, watched from the first request.
    mutable std::shared_ptr<std::atomic<quint64>> m_changes;
};

} // namespace qrv
