#include "shell/QRVViewController.h"

#include <QEvent>

namespace qrv {

QRVViewController::QRVViewController(QString viewName, QObject* parent)
    : QObject(parent)
    , m_viewName(std::move(viewName)) {}

QRVViewController::~QRVViewController() {
    if (!m_view)
        return;
    m_view->removeEventFilter(this);
    if (!m_view->parent())
        delete m_view; // no window took it
}

QWidget* QRVViewController::view() {
    if (m_view)
        return m_view;
    m_view = new QWidget;
    m_view->setObjectName(m_viewName);
    m_view->installEventFilter(this);
    loadView(m_view);
    return m_view;
}

bool QRVViewController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_view) {
        if (event->type() == QEvent::Show) {
            viewWillAppear();
            viewDidAppear();
        } else if (event->type() == QEvent::Hide) {
            viewDidDisappear();
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace qrv
