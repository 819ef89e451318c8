#pragma once

#include <QWidget>

class QLabel;

namespace qrv {

class PermissionStatus;

// The two permissions the program needs, each with what it is for and
// whether it is granted. The status is read afresh whenever the view is
// shown and whenever the program becomes active again (the user may have
// been to the system settings meanwhile); nothing is remembered.
class QRVPermissionsView : public QWidget {
    Q_OBJECT
  public:
    explicit QRVPermissionsView(PermissionStatus& permissions, QWidget* parent = nullptr);

    void updateAuthorizationStates();
    // The status text shown for a permission ("Granted" or "Not granted").
    QString stateText(const QString& permission) const;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    struct Row {
        QString permission;
        QLabel* state = nullptr;
    };

    PermissionStatus& m_permissions;
    QList<Row> m_rows;
};

} // namespace qrv
