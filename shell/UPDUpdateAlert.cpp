#include "shell/UPDUpdateAlert.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace qrv {

UPDUpdateAlert::UPDUpdateAlert(const QString& applicationName, const QString& installedVersion,
                               const UPDAppcastItem& item, const QString& notes, const QIcon& icon,
                               QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("UPDUpdateAlert"));
    setWindowTitle(tr("Software Update"));
    auto* iconView = new QLabel(this);
    if (!icon.isNull())
        iconView->setPixmap(icon.pixmap(64, 64));
    auto* title = new QLabel(tr("A new version of %1 is available!").arg(applicationName), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* info = new QLabel(tr("%1 %2 is now available—you have %3. Would you like to download "
                               "it now?")
                                .arg(applicationName, item.displayVersion(), installedVersion),
                            this);
    info->setWordWrap(true);
    auto* notesTitle = new QLabel(tr("Release Notes:"), this);

    m_notes = new QTextBrowser(this);
    // Notes come from the network: show them, never follow or load from them.
    m_notes->setOpenLinks(false);
    m_notes->setOpenExternalLinks(false);
    m_notes->setHtml(notes);
    m_notes->setAccessibleName(tr("Release Notes"));

    auto* buttons = new QDialogButtonBox(this);
    m_skip = buttons->addButton(tr("Skip This Version"), QDialogButtonBox::ActionRole);
    m_later = buttons->addButton(tr("Remind Me Later"), QDialogButtonBox::RejectRole);
    m_download = buttons->addButton(tr("Download"), QDialogButtonBox::AcceptRole);
    m_download->setDefault(true);
    connect(m_skip, &QPushButton::clicked, this, [this] { done(SkipVersion); });
    connect(m_later, &QPushButton::clicked, this, [this] { done(RemindLater); });
    connect(m_download, &QPushButton::clicked, this, [this] { done(Download); });

    auto* heading = new QVBoxLayout;
    heading->addWidget(title);
    heading->addWidget(info);
    auto* top = new QHBoxLayout;
    top->addWidget(iconView, 0, Qt::AlignTop);
    top->addLayout(heading, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(notesTitle);
    layout->addWidget(m_notes);
    layout->addWidget(buttons);
    resize(520, 420);
}

QPushButton* UPDUpdateAlert::button(Choice choice) const {
    switch (choice) {
    case SkipVersion:
        return m_skip;
    case Download:
        return m_download;
    case RemindLater:
        break;
    }
    return m_later;
}

} // namespace qrv
