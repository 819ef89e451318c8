#include "platform/Platform.h"

namespace qrv {

PlatformServices& platform() {
    static PlatformServices services;
    return services;
}

ScopedPlatform::ScopedPlatform(const PlatformServices& services)
    : m_previous(platform()) {
    platform() = services;
}

ScopedPlatform::~ScopedPlatform() {
    platform() = m_previous;
}

} // namespace qrv
