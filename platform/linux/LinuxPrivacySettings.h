#pragma once

#include "platform/PrivacySettings.h"
#include "platform/linux/AccessibilitySettings.h"

namespace qrv {

// Full disk access stands for the home's preference folders being writable
// (access::preferencesFolderProblem); the accessibility settings are GNOME's
// or KDE's (access::accessibilitySettings).
class LinuxPrivacySettings final : public PrivacySettings {
  public:
    explicit LinuxPrivacySettings(
        QString preferencesHome,
        access::SettingsSearch search = access::SettingsSearch::fromEnvironment())
        : m_home(std::move(preferencesHome))
        , m_search(std::move(search)) {}

    QString preferencesHome() const override { return m_home; }
    std::optional<FolderProblem> preferencesFolderProblem() const override;
    std::optional<SettingsProgram> accessibilitySettings() const override;

  private:
    QString m_home;
    access::SettingsSearch m_search;
};

} // namespace qrv
