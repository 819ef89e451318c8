#include "shell/QRVWelcomeWindowController.h"

#include "platform/AppInfo.h"
#include "shell/QRVPermissionsView.h"
#include "shell/QRVWindowChrome.h"

#include <QLabel>
#include <QVBoxLayout>

namespace qrv {

QRVWelcomeWindowController::QRVWelcomeWindowController(PermissionStatus& permissions,
                                                       UserDefaults& defaults, Scheduler& scheduler,
                                                       QObject* parent)
    : QRVWindowController(new QRVVisualEffectView, parent) {
    const QString name = QString::fromLatin1(appinfo::kApplicationName);
    QWidget* content = window();
    content->setObjectName(QStringLiteral("QRVWelcomeWindow"));
    content->setWindowTitle(tr("Welcome to %1").arg(name));
    content->setWindowFlag(Qt::Window);
    setMovableByWindowBackground(content, true);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(28, 24, 28, 28);
    layout->setSpacing(14);
    auto* heading = new QLabel(tr("Welcome to %1").arg(name), content);
    QFont font = heading->font();
    font.setPointSizeF(font.pointSizeF() * 1.5);
    font.setBold(true);
    heading->setFont(font);
    layout->addWidget(heading);
    auto* text = new QLabel(tr("%1 needs two permissions to give your applications' menu "
                               "commands keyboard shortcuts. Grant them in the system's "
                               "privacy settings, then come back here.")
                                .arg(name),
                            content);
    text->setWordWrap(true);
    layout->addWidget(text);
    m_permissionsView = new QRVPermissionsView(permissions, content);
    layout->addWidget(m_permissionsView);
    layout->addStretch(1);
    content->resize(480, 300);
    rememberFrame(QStringLiteral("QRVWelcomeWindow"), defaults, scheduler);
}

} // namespace qrv
