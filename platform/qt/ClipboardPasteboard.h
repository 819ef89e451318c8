#pragma once

#include "platform/Pasteboard.h"

namespace qrv {

// The general pasteboard as the window system's clipboard. Needs a
// QGuiApplication; call only on the main thread.
class ClipboardPasteboard final : public Pasteboard {
  public:
    void setData(const QString& type, const QByteArray& data) override;
    QByteArray data(const QString& type) const override;
};

} // namespace qrv
