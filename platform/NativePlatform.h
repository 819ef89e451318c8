#pragma once

#include "platform/Result.h"
#include "platform/Services.h"

#include <memory>

namespace qrv {

// The composition root of the executables: owns the real services of this
// system for one preferences home. The alert presenter and the permission
// library need widgets, so the application hands its own to
// desktopServices(); a command-line tool uses services() alone.
class NativePlatform {
  public:
    // How the home must be: a program that cannot explain an unwritable home
    // stops at it; one that can (the permissions onboarding) opens it anyway.
    enum class HomeUse { MustBeWritable, MayBeReadOnly };

    // Prepares the home (creating it when missing); the error names the
    // folder, or the service that could not be made.
    static Result<std::unique_ptr<NativePlatform>> create(const QString& home,
                                                          HomeUse use = HomeUse::MustBeWritable);
    ~NativePlatform();
    NativePlatform(const NativePlatform&) = delete;
    NativePlatform& operator=(const NativePlatform&) = delete;

    const Services& services() const;
    // Needs a GUI application (for the pasteboard).
    DesktopServices desktopServices(AlertPresenter& alerts, AccessKit& accessKit) const;

  private:
    NativePlatform() = default;
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

} // namespace qrv
