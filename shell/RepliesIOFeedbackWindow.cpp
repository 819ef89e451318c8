#include "shell/RepliesIOFeedbackWindow.h"

#include "platform/AlertPresenter.h"
#include "platform/UserDefaults.h"
#include "shell/RepliesIO.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>
#include <QVBoxLayout>

namespace qrv {

RepliesIOFeedbackWindow::RepliesIOFeedbackWindow(RepliesIO& replies, UserDefaults& defaults,
                                                 AlertPresenter& alerts, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_replies(replies)
    , m_defaults(defaults)
    , m_alerts(alerts) {
    setObjectName(QStringLiteral("RepliesIOFeedbackWindow"));
    m_subject = new QComboBox(this);
    m_name = new QLineEdit(this);
    m_email = new QLineEdit(this);
    m_message = new QPlainTextEdit(this);
    m_attachments = new QListWidget(this);
    m_attachments->setMaximumHeight(80);
    m_attach = new QToolButton(this);
    m_attach->setText(tr("Attach"));
    m_attach->setPopupMode(QToolButton::InstantPopup);
    m_remove = new QPushButton(tr("Remove"), this);
    m_send = new QPushButton(tr("Send"), this);
    m_send->setDefault(true);
    m_cancel = new QPushButton(tr("Cancel"), this);
    m_status = new QLabel(this);
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_name->setText(RepliesIO::storedString(defaults, RepliesIO::kSenderNameKey));
    m_email->setText(RepliesIO::storedString(defaults, RepliesIO::kSenderEmailKey));
    m_subject->setAccessibleName(tr("Subject"));
    m_name->setAccessibleName(tr("Name"));
    m_email->setAccessibleName(tr("E-mail"));
    m_message->setAccessibleName(tr("Message"));
    m_attachments->setAccessibleName(tr("Attachments"));

    auto* form = new QFormLayout;
    form->addRow(tr("Subject:"), m_subject);
    form->addRow(tr("Name:"), m_name);
    form->addRow(tr("E-mail:"), m_email);
    form->addRow(tr("Message:"), m_message);
    auto* attachmentRow = new QHBoxLayout;
    attachmentRow->addWidget(m_attach);
    attachmentRow->addWidget(m_remove);
    attachmentRow->addStretch();
    auto* attachmentBox = new QVBoxLayout;
    attachmentBox->addWidget(m_attachments);
    attachmentBox->addLayout(attachmentRow);
    form->addRow(tr("Attachments:"), attachmentBox);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_status, 1);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_send);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    resize(520, 480);

    connect(m_send, &QPushButton::clicked, this, &RepliesIOFeedbackWindow::sendMessage);
    connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
    connect(m_remove, &QPushButton::clicked, this,
            [this] { m_replies.removeAttachment(m_attachments->currentRow()); });
    connect(&m_replies, &RepliesIO::configurationChanged, this,
            &RepliesIOFeedbackWindow::configure);
    connect(&m_replies, &RepliesIO::attachmentsChanged, this,
            &RepliesIOFeedbackWindow::showAttachments);
    configure();
    showAttachments();
}

void RepliesIOFeedbackWindow::configure() {
    setWindowTitle(tr("%1 Support").arg(m_replies.productName()));
    const QVariant current = m_subject->currentData();
    m_subject->clear();
    for (RepliesIOSubject subject : m_replies.subjectTypes())
        m_subject->addItem(RepliesIO::subjectTitle(subject), static_cast<int>(subject));
    const int index = m_subject->findData(current);
    if (index >= 0)
        m_subject->setCurrentIndex(index);
    m_attach->setMenu(m_replies.menu());
    m_attach->setEnabled(m_replies.menu() != nullptr);
}

void RepliesIOFeedbackWindow::showAttachments() {
    m_attachments->clear();
    for (const RepliesIOAttachment& attachment : m_replies.attachments())
        m_attachments->addItem(
            tr("%1 (%2 KB)").arg(attachment.fileName).arg((attachment.data.size() + 1023) / 1024));
    m_remove->setEnabled(!m_replies.attachments().isEmpty());
}

QString RepliesIOFeedbackWindow::problemWithInput() const {
    if (m_message->toPlainText().trimmed().isEmpty())
        return tr("Please write a message.");
    static const QRegularExpression address(QStringLiteral("^[^@\\s]+@[^@\\s]+\\.[^@\\s]+$"));
    if (!address.match(m_email->text().trimmed()).hasMatch())
        return tr("Please give an e-mail address, so that we can answer you.");
    return {};
}

void RepliesIOFeedbackWindow::sendMessage() {
    if (const QString problem = problemWithInput(); !problem.isEmpty()) {
        m_status->setText(problem);
        return;
    }
    RepliesIOMessage message;
    message.subject = m_subject->currentIndex() >= 0
                          ? static_cast<RepliesIOSubject>(m_subject->currentData().toInt())
                          : RepliesIOSubject::Other;
    message.name = m_name->text().trimmed();
    message.email = m_email->text().trimmed();
    message.text = m_message->toPlainText();
    m_defaults.setObject(RepliesIO::kSenderNameKey, message.name);
    m_defaults.setObject(RepliesIO::kSenderEmailKey, message.email);
    m_send->setEnabled(false);
    m_status->setText(tr("Sending…"));
    QPointer<RepliesIOFeedbackWindow> self(this);
    m_replies.send(message, [self](const QString& failure) {
        if (self)
            self->sent(failure);
    });
}

void RepliesIOFeedbackWindow::sent(const QString& failure) {
    m_send->setEnabled(true);
    if (!failure.isEmpty()) {
        m_status->setText(tr("Your message could not be sent: %1").arg(failure));
        return;
    }
    m_status->clear();
    m_message->clear();
    while (!m_replies.attachments().isEmpty())
        m_replies.removeAttachment(0);
    close();
    Alert alert;
    alert.style = Alert::Style::Informational;
    alert.messageText = tr("Thank You!");
    alert.informativeText = tr("Your message was sent. We will get back to you as soon as we can.");
    m_alerts.runModal(alert);
}

} // namespace qrv
