#pragma once

#include "shell/QRVWindowController.h"

namespace qrv {

class PermissionStatus;
class QRVPermissionsView;

// A small window about the two permissions the program needs: a heading, a
// sentence when there is something to explain, and the permissions with
// their state. Movable by its background.
class QRVPermissionsWindowController : public QRVWindowController {
    Q_OBJECT
  public:
    QRVPermissionsView* permissionsView() const { return m_permissionsView; }

  protected:
    struct Content {
        QString name; // the object name, and the name its frame is remembered under
        QString title;
        QString heading;
        QString text; // empty: none
        qreal headingScale = 1.0;
        QSize size;
    };

    QRVPermissionsWindowController(const Content& content, PermissionStatus& permissions,
                                   UserDefaults& defaults, Scheduler& scheduler, QObject* parent);

  private:
    QRVPermissionsView* m_permissionsView = nullptr;
};

} // namespace qrv
