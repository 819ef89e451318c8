#pragma once

#include "platform/Pasteboard.h"

#include <atomic>
#include <memory>

namespace qrv {

// The general pasteboard as the window system's clipboard, which holds one
// piece of data per format: the first item goes under the type itself, the
// n-th (from 2) under "<type>#<n>". Needs a QGuiApplication; call only on the
// main thread.
class ClipboardPasteboard final : public Pasteboard {
  public:
    static QString formatOfItem(const QString& type, qsizetype index);

    void setItems(const QString& type, const QList<QByteArray>& items) override;
    QList<QByteArray> items(const QString& type) const override;
    quint64 changeCount() const override;

  private:
    // Counted from the clipboard's change signal, watched from the first request.
    mutable std::shared_ptr<std::atomic<quint64>> m_changes;
};

} // namespace qrv
