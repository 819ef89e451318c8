#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class QLabel;
class QPushButton;

namespace qrv {

class AccessKit;

// The permission library's list of the permissions a program asks for: each
// with its name, the program's reason, whether it is granted and a button to
// grant it. The states are read afresh when the view is shown, when this
// program becomes active again and when the guiding overlay ends; the buttons
// wait while the overlay shows.
class AccessKitViewController : public QObject {
    Q_OBJECT
  public:
    explicit AccessKitViewController(AccessKit& kit, QObject* parent = nullptr);
    ~AccessKitViewController() override;

    // Set before the view is made.
    void setRequestedPrivacyCategoryIdentifiers(const QStringList& identifiers);
    void setReasonStrings(const QHash<QString, QString>& reasons);

    // Made on first use; its owner takes it into a layout (and then owns it).
    QWidget* view();
    void updateAuthorizationStates();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Row {
        QString identifier;
        QLabel* state = nullptr;
        QPushButton* button = nullptr;
    };

    AccessKit& m_kit;
    QStringList m_identifiers;
    QHash<QString, QString> m_reasons;
    QPointer<QWidget> m_view;
    QList<Row> m_rows;
};

} // namespace qrv
