#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace qrv {

class QRVModalRunner;
class UserDefaults;

// The crash-report dialog: asks whether to send the reports of an earlier
// crash, with the sender's name, e-mail address and what they were doing.
class BWCrashReporterWindowController : public QDialog {
    Q_OBJECT
  public:
    // Shared with the support window.
    static const QString& kSenderNameKey;
    static const QString& kSenderEmailKey;
    // Button tags: a non-zero tag means send.
    static constexpr int kDontSendTag = 0;
    static constexpr int kSendTag = 1;

    BWCrashReporterWindowController(UserDefaults& defaults, QWidget* parent = nullptr);

    // Runs the dialog modally. After "Send" fills the given slots, remembers
    // the name and address for next time and answers true; otherwise
    // changes nothing and answers false.
    static bool requestReportName(UserDefaults& defaults, QRVModalRunner& runner, QString* name,
                                  QString* email, QString* details);

    const QString& applicationName() const { return m_applicationName; }
    QLineEdit* nameField() const { return m_nameField; }
    QLineEdit* emailField() const { return m_emailField; }
    QPlainTextEdit* detailsTextView() const { return m_detailsTextView; }
    QPushButton* sendButton() const { return m_sendButton; }
    QPushButton* dontSendButton() const { return m_dontSendButton; }

    // Ends the modal run with the tag as result code and closes the window.
    void sendAction(int tag);

  private:
    void windowDidLoad();

    UserDefaults& m_defaults;
    QString m_applicationName;
    QLineEdit* m_nameField = nullptr;
    QLineEdit* m_emailField = nullptr;
    QPlainTextEdit* m_detailsTextView = nullptr;
    QPushButton* m_sendButton = nullptr;
    QPushButton* m_dontSendButton = nullptr;
};

} // namespace qrv
