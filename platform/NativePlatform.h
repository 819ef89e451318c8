#pragma once

#include "platform/Result.h"
#include "platform/Services.h"

#include <memory>

namespace qrv {

// The composition root of the executables: owns the real services of this
// system for one preferences home. The alert presenter needs widgets, so the
// application hands its own to desktopServices(); a command-line tool uses
// services() alone.
class NativePlatform {
  public:
    // Prepares the home (creating it when missing); the error names the
    // folder, or the service that could not be made.
    static Result<std::unique_ptr<NativePlatform>> create(const QString& home);
    ~NativePlatform();
    NativePlatform(const NativePlatform&) = delete;
    NativePlatform& operator=(const NativePlatform&) = delete;

    const Services& services() const;
    // Needs a GUI application (for the pasteboard).
    DesktopServices desktopServices(AlertPresenter& alerts) const;

  private:
    NativePlatform() = default;
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

} // namespace qrv
