#include "menus/QRVAplication.h"

namespace qrv {

QRVAplication::QRVAplication(QString bundleIdentifier, QString localizedName)
    : m_bundleIdentifier(std::move(bundleIdentifier))
    , m_localizedName(std::move(localizedName)) {}

bool operator==(const QRVAplication& a, const QRVAplication& b) {
    return !a.m_bundleIdentifier.isEmpty() && a.m_bundleIdentifier == b.m_bundleIdentifier;
}

} // namespace qrv
