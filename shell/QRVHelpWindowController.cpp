#include "shell/QRVHelpWindowController.h"

#include "platform/AppInfo.h"

#include <QEvent>
#include <QFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>

// The resource lives in a static library, so it is registered by hand.
static void initShellResources() {
    Q_INIT_RESOURCE(shell);
}

namespace qrv {

QRVHelpWindowController::QRVHelpWindowController(UserDefaults& defaults, Scheduler& scheduler,
                                                 QObject* parent)
    : QRVWindowController(new QTextBrowser, parent)
    , m_textView(qobject_cast<QTextBrowser*>(window())) {
    initShellResources();
    m_textView->setObjectName(QStringLiteral("QRVHelpWindow"));
    m_textView->setWindowTitle(tr("%1 Help").arg(QString::fromLatin1(appinfo::kApplicationName)));
    m_textView->resize(560, 640);
    windowDidLoad();
    rememberFrame(QStringLiteral("QRVHelpWindow"), defaults, scheduler);
}

void QRVHelpWindowController::windowDidLoad() {
    QFile file(kResource);
    QString html;
    if (file.open(QIODevice::ReadOnly))
        html = QString::fromUtf8(file.readAll());
    m_textView->setOpenExternalLinks(true);
    m_textView->setFrameShape(QFrame::NoFrame);
    m_textView->document()->setDocumentMargin(18);
    m_textView->setHtml(html);
    applyPaletteColours();
    m_textView->moveCursor(QTextCursor::Start);
    m_textView->verticalScrollBar()->setValue(0);
    m_textView->setReadOnly(true);
    m_textView->installEventFilter(this);
}

void QRVHelpWindowController::applyPaletteColours() {
    const QPalette palette = m_textView->palette();
    QTextCharFormat text;
    text.setForeground(palette.color(QPalette::Text));
    QTextCharFormat link;
    link.setForeground(palette.color(QPalette::Link));
    QTextCursor cursor(m_textView->document());
    cursor.beginEditBlock();
    for (QTextBlock block = m_textView->document()->begin(); block.isValid();
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(fragment.charFormat().isAnchor() ? link : text);
        }
    }
    cursor.endEditBlock();
}

bool QRVHelpWindowController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_textView && event->type() == QEvent::PaletteChange)
        applyPaletteColours();
    return QRVWindowController::eventFilter(watched, event);
}

} // namespace qrv
