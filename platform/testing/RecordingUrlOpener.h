#pragma once

#include "platform/UrlOpener.h"

#include <QList>

namespace qrv::testing {

// Keeps the addresses instead of opening a browser.
class RecordingUrlOpener final : public UrlOpener {
  public:
    bool openUrl(const QUrl& url) override {
        opened.append(url);
        return succeeds;
    }
    QList<QUrl> opened;
    bool succeeds = true;
};

} // namespace qrv::testing
