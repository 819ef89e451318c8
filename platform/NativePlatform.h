#pragma once

#include "platform/Platform.h"
#include "platform/Result.h"

#include <memory>

namespace qrv {

// Owns the real services of this system for one preferences home and
// installs them. The alert presenter needs widgets, so the application adds
// its own; a command-line tool runs without one.
class NativePlatform {
  public:
    // How the home must be: a program that cannot explain an unwritable home
    // stops at it; one that can (the permissions onboarding) opens it anyway.
    enum class HomeUse { MustBeWritable, MayBeReadOnly };

    // Prepares the home (creating it when missing); the error names the folder.
    static Result<std::unique_ptr<NativePlatform>> create(const QString& home,
                                                          HomeUse use = HomeUse::MustBeWritable);
    ~NativePlatform();

    PlatformServices& services() { return m_services; }
    void install() const;

  private:
    NativePlatform() = default;
    struct Parts;
    std::unique_ptr<Parts> m_parts;
    PlatformServices m_services;
};

} // namespace qrv
