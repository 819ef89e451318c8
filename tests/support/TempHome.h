#pragma once

#include <QString>
#include <QTemporaryDir>

namespace qrv::testing {

// A temporary preferences home, removed after the test unless the test failed
// (then it is kept and its path printed, to look at what was written).
class TempHome {
  public:
    TempHome();
    ~TempHome();
    const QString& path() const { return m_path; }
    QString file(const QString& relative) const { return m_path + QLatin1Char('/') + relative; }
    QString preferencesFile(const QString& domain) const {
        return file(QStringLiteral("Library/Preferences/") + domain + QStringLiteral(".plist"));
    }

  private:
    QTemporaryDir m_dir;
    QString m_path;
};

} // namespace qrv::testing
