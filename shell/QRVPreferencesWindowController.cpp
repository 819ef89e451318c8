#include "shell/QRVPreferencesWindowController.h"

#include "platform/AppInfo.h"
#include "shell/QRVPermissionsView.h"
#include "shell/QRVWindowChrome.h"

#include <QLabel>
#include <QVBoxLayout>

namespace qrv {

QRVPreferencesWindowController::QRVPreferencesWindowController(PermissionStatus& permissions,
                                                               UserDefaults& defaults,
                                                               Scheduler& scheduler,
                                                               QObject* parent)
    : QRVWindowController(new QRVVisualEffectView, parent) {
    QWidget* content = window();
    content->setObjectName(QStringLiteral("QRVPreferencesWindow"));
    content->setWindowTitle(
        tr("%1 Preferences").arg(QString::fromLatin1(appinfo::kApplicationName)));
    content->setWindowFlag(Qt::Window);
    setMovableByWindowBackground(content, true);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(24, 20, 24, 24);
    layout->setSpacing(14);
    auto* heading = new QLabel(tr("Permissions"), content);
    QFont font = heading->font();
    font.setBold(true);
    heading->setFont(font);
    layout->addWidget(heading);
    m_permissionsView = new QRVPermissionsView(permissions, content);
    layout->addWidget(m_permissionsView);
    layout->addStretch(1);
    content->resize(460, 220);
    rememberFrame(QStringLiteral("QRVPreferencesWindow"), defaults, scheduler);
}

} // namespace qrv
