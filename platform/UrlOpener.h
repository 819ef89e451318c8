#pragma once

#include <QUrl>

namespace qrv {

// Opens web pages in the user's default browser.
class UrlOpener {
  public:
    virtual ~UrlOpener() = default;
    // False when no browser took the address.
    virtual bool openUrl(const QUrl& url) = 0;
};

} // namespace qrv
