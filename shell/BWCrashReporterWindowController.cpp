#include "shell/BWCrashReporterWindowController.h"

#include "platform/UserDefaults.h"
#include "shell/QRVModalRunner.h"
#include "shell/RepliesIO.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace qrv {

const QString& BWCrashReporterWindowController::kSenderNameKey = RepliesIO::kSenderNameKey;
const QString& BWCrashReporterWindowController::kSenderEmailKey = RepliesIO::kSenderEmailKey;

BWCrashReporterWindowController::BWCrashReporterWindowController(UserDefaults& defaults,
                                                                 QWidget* parent)
    : QDialog(parent)
    , m_defaults(defaults)
    , m_applicationName(QGuiApplication::applicationDisplayName()) {
    setObjectName(QStringLiteral("BWCrashReporterWindowController"));
    setWindowTitle(tr("Crash Report"));

    auto* title = new QLabel(tr("%1 quit unexpectedly.").arg(m_applicationName), this);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* explanation = new QLabel(
        tr("Please help us fix the problem by sending a crash report. Your name and e-mail "
           "address are optional; we use them only to ask about the crash."),
        this);
    explanation->setWordWrap(true);

    m_nameField = new QLineEdit(this);
    m_emailField = new QLineEdit(this);
    m_detailsTextView = new QPlainTextEdit(this);
    m_detailsTextView->setPlaceholderText(tr("What were you doing when the crash happened?"));
    m_nameField->setAccessibleName(tr("Name"));
    m_emailField->setAccessibleName(tr("E-mail"));
    m_detailsTextView->setAccessibleName(tr("Details"));

    auto* form = new QFormLayout;
    form->addRow(tr("Name:"), m_nameField);
    form->addRow(tr("E-mail:"), m_emailField);
    form->addRow(tr("Details:"), m_detailsTextView);

    auto* buttons = new QDialogButtonBox(this);
    m_dontSendButton = buttons->addButton(tr("Don't Send"), QDialogButtonBox::RejectRole);
    m_sendButton = buttons->addButton(tr("Send"), QDialogButtonBox::AcceptRole);
    m_sendButton->setDefault(true);
    connect(m_sendButton, &QPushButton::clicked, this, [this] { sendAction(kSendTag); });
    connect(m_dontSendButton, &QPushButton::clicked, this, [this] { sendAction(kDontSendTag); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(explanation);
    layout->addLayout(form);
    layout->addWidget(buttons);
    windowDidLoad();
}

void BWCrashReporterWindowController::windowDidLoad() {
    m_nameField->setText(RepliesIO::storedString(m_defaults, kSenderNameKey));
    m_emailField->setText(RepliesIO::storedString(m_defaults, kSenderEmailKey));
}

void BWCrashReporterWindowController::sendAction(int tag) {
    done(tag);
}

bool BWCrashReporterWindowController::requestReportName(UserDefaults& defaults,
                                                        QRVModalRunner& runner, QString* name,
                                                        QString* email, QString* details) {
    BWCrashReporterWindowController controller(defaults);
    if (runner.runModal(controller) == kDontSendTag)
        return false;
    const QString nameText = controller.m_nameField->text();
    const QString emailText = controller.m_emailField->text();
    if (name)
        *name = nameText;
    if (email)
        *email = emailText;
    if (details)
        *details = controller.m_detailsTextView->toPlainText();
    defaults.setObject(kSenderNameKey, nameText);
    defaults.setObject(kSenderEmailKey, emailText);
    return true;
}

} // namespace qrv
