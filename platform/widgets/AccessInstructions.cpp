#include "platform/widgets/AccessInstructions.h"

#include "platform/AppInfo.h"
#include "platform/PermissionStatus.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace qrv::access {
namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("AccessInstructions", text);
}

QString applicationName() {
    return QString::fromLatin1(appinfo::kApplicationName);
}

QString accessibilitySteps(const QString& settingsName) {
    const QString where = settingsName.isEmpty() ? tr("your desktop's accessibility settings")
                                                 : tr("%1 (Accessibility)").arg(settingsName);
    return tr("%1 reads other applications' menus through the desktop's accessibility "
              "service. Switch on assistive technologies in %2, then start again the "
              "applications whose menus you want to complete.")
        .arg(applicationName(), where);
}

} // namespace

QString permissionName(const QString& identifier) {
    if (identifier == PermissionStatus::kFullDiskAccess)
        return tr("Full Disk Access");
    if (identifier == PermissionStatus::kAssistive)
        return tr("Accessibility");
    return identifier;
}

QString folderProblemText(const FolderProblem& problem) {
    QString text = tr("%1 edits keyboard shortcuts in the preference files of other "
                      "applications, but it cannot change the folder “%2”.")
                       .arg(applicationName(), problem.folder) +
                   u' ' + problem.reason;
    if (!problem.command.isEmpty())
        text += QStringLiteral("\n\n") + tr("To allow it, run this command in a terminal:") +
                QStringLiteral("\n\n") + problem.command;
    text += QStringLiteral("\n\n") +
            tr("Or start %1 with a preferences home you can change: %2 --home FOLDER.")
                .arg(applicationName(), QStringLiteral("quorvane"));
    return text;
}

InstructionsWindow::InstructionsWindow(const PermissionStatus& status,
                                       const PrivacySettings& settings)
    : QWidget(nullptr, Qt::Window)
    , m_status(status)
    , m_settings(settings) {
    setObjectName(QStringLiteral("AccessInstructionsWindow"));
    setWindowTitle(tr("Privacy Permissions"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    resize(520, 360);
}

void InstructionsWindow::showPermissions(const QStringList& identifiers) {
    delete m_content;
    m_accessibilitySettings = m_settings.accessibilitySettings();
    m_content = new QWidget(this);
    auto* layout = new QVBoxLayout(m_content);
    layout->setContentsMargins(22, 18, 22, 22);
    layout->setSpacing(10);
    for (const QString& identifier : identifiers)
        addSection(layout, identifier);
    layout->addStretch(1);
    static_cast<QVBoxLayout*>(this->layout())->addWidget(m_content);
    show();
    raise();
    activateWindow();
}

void InstructionsWindow::addSection(QVBoxLayout* layout, const QString& identifier) {
    auto* heading = new QLabel(m_content);
    heading->setText(
        QStringLiteral("<b>") + permissionName(identifier).toHtmlEscaped() +
        QStringLiteral("</b> — ") +
        (m_status.isGranted(identifier) ? tr("granted") : tr("not granted")).toHtmlEscaped());
    layout->addWidget(heading);
    const auto addText = [&](const QString& text) {
        auto* label = new QLabel(text, m_content);
        label->setWordWrap(true);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        layout->addWidget(label);
    };
    if (identifier == PermissionStatus::kFullDiskAccess) {
        const auto problem = m_settings.preferencesFolderProblem();
        if (!problem) {
            addText(tr("%1 can change the preference files in “%2”.")
                        .arg(applicationName(), m_settings.preferencesHome()));
            return;
        }
        addText(tr("%1 cannot change the folder “%2”.").arg(applicationName(), problem->folder) +
                u' ' + problem->reason);
        if (!problem->command.isEmpty()) {
            addText(tr("To allow it, run this command in a terminal:"));
            addCommand(layout, problem->command);
        }
        addText(tr("Or start %1 with a preferences home you can change:").arg(applicationName()));
        addCommand(layout, QStringLiteral("quorvane --home FOLDER"));
    } else if (identifier == PermissionStatus::kAssistive) {
        addText(accessibilitySteps(m_accessibilitySettings ? m_accessibilitySettings->name
                                                           : QString()));
        if (m_accessibilitySettings) {
            auto* open =
                new QPushButton(tr("Open %1…").arg(m_accessibilitySettings->name), m_content);
            connect(open, &QPushButton::clicked, this,
                    &InstructionsWindow::openAccessibilitySettingsRequested);
            layout->addWidget(open, 0, Qt::AlignLeft);
        } else {
            addText(tr("On GNOME, this command switches them on:"));
            addCommand(layout, QStringLiteral("gsettings set org.gnome.desktop.interface "
                                              "toolkit-accessibility true"));
        }
    }
}

void InstructionsWindow::addCommand(QVBoxLayout* layout, const QString& command) {
    auto* row = new QHBoxLayout;
    auto* field = new QLineEdit(command, m_content);
    field->setReadOnly(true);
    field->setCursorPosition(0);
    auto* copy = new QPushButton(tr("Copy"), m_content);
    connect(copy, &QPushButton::clicked, this,
            [command] { QGuiApplication::clipboard()->setText(command); });
    row->addWidget(field, 1);
    row->addWidget(copy);
    layout->addLayout(row);
}

GuidingOverlay::GuidingOverlay()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus) {
    setObjectName(QStringLiteral("AccessGuidingOverlay"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(true);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 12, 8, 12);
    m_text = new QLabel(this);
    m_text->setWordWrap(true);
    m_text->setFixedWidth(240);
    auto* close = new QToolButton(this);
    close->setText(QStringLiteral("×"));
    close->setAccessibleName(tr("Close"));
    close->setAutoRaise(true);
    connect(close, &QToolButton::clicked, this, &GuidingOverlay::dismissed);
    layout->addWidget(m_text, 1);
    layout->addWidget(close, 0, Qt::AlignTop);
}

void GuidingOverlay::showFor(const QString& identifier, const QString& settingsName,
                             QWidget* settingsWindow) {
    QString steps;
    if (identifier == PermissionStatus::kAssistive)
        steps = accessibilitySteps(settingsName);
    else
        steps = tr("Do what the window “%1” says, then come back to %2.")
                    .arg(tr("Privacy Permissions"), applicationName());
    m_text->setText(QStringLiteral("<b>") +
                    tr("Allow %1").arg(permissionName(identifier)).toHtmlEscaped() +
                    QStringLiteral("</b><br>") + steps.toHtmlEscaped());
    adjustSize();
    const QScreen* screen = settingsWindow && settingsWindow->screen()
                                ? settingsWindow->screen()
                                : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    QPoint at(available.right() - width() - 16, available.top() + 16);
    if (settingsWindow && settingsWindow->isVisible()) {
        const QRect frame = settingsWindow->frameGeometry();
        at = QPoint(frame.right() + 12, frame.top());
        if (at.x() + width() > available.right())
            at.setX(std::max(available.left(), frame.left() - width() - 12));
    }
    move(at);
    show();
}

} // namespace qrv::access
