#include "platform/testing/FakeWorkspace.h"

namespace qrv::testing {

void FakeWorkspace::launch(const RunningApplication& application) {
    m_running.append(application);
    emit didLaunchApplication(application);
}

void FakeWorkspace::quit(qint64 processId) {
    m_running.removeIf([&](const RunningApplication& a) { return a.processId == processId; });
}

void FakeWorkspace::activate(qint64 processId) {
    for (const RunningApplication& application : std::as_const(m_running))
        if (application.processId == processId)
            emit didActivateApplication(application);
}

void FakeWorkspace::install(const QString& bundleIdentifier, const QString& path) {
    m_installed.insert(bundleIdentifier.toLower(), path);
}

QUrl FakeWorkspace::urlForApplication(const QString& bundleIdentifier) const {
    const QString path = m_installed.value(bundleIdentifier.toLower());
    return path.isEmpty() ? QUrl() : QUrl::fromLocalFile(path);
}

} // namespace qrv::testing
