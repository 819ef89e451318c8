#pragma once

#include "shell/QRVWindowController.h"

namespace qrv {

// A small window about the two permissions the program needs: a heading, a
// sentence when there is something to explain, and the content view
// controller's view with the permissions. Movable by its background.
class QRVPermissionsWindowController : public QRVWindowController {
    Q_OBJECT
  protected:
    struct Content {
        QString name; // the object name, and the name its frame is remembered under
        QString title;
        QString heading;
        QString text; // empty: none
        qreal headingScale = 1.0;
        QSize size;
    };

    // Takes the view into the window.
    QRVPermissionsWindowController(const Content& content, QWidget* contentView,
                                   UserDefaults& defaults, Scheduler& scheduler, QObject* parent);
};

} // namespace qrv
