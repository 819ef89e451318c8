#pragma once

#include "platform/UrlOpener.h"

namespace qrv {

// The desktop's default browser (QDesktopServices).
class DesktopUrlOpener final : public UrlOpener {
  public:
    bool openUrl(const QUrl& url) override;
};

} // namespace qrv
