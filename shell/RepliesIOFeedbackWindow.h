#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace qrv {

class AlertPresenter;
class RepliesIO;
class UserDefaults;

// The support request window: subject, name, e-mail, message, attachments.
// Sending keeps the window and everything in it until the service took the
// message; a failure says why beside the buttons.
class RepliesIOFeedbackWindow : public QWidget {
    Q_OBJECT
  public:
    RepliesIOFeedbackWindow(RepliesIO& replies, UserDefaults& defaults, AlertPresenter& alerts,
                            QWidget* parent = nullptr);

    QComboBox* subjectField() const { return m_subject; }
    QLineEdit* nameField() const { return m_name; }
    QLineEdit* emailField() const { return m_email; }
    QPlainTextEdit* messageField() const { return m_message; }
    QListWidget* attachmentsList() const { return m_attachments; }
    QToolButton* attachButton() const { return m_attach; }
    QPushButton* sendButton() const { return m_send; }
    QLabel* statusLabel() const { return m_status; }

    void sendMessage();

  private:
    void configure();
    void showAttachments();
    void sent(const QString& failure);
    QString problemWithInput() const;

    RepliesIO& m_replies;
    UserDefaults& m_defaults;
    AlertPresenter& m_alerts;
    QComboBox* m_subject;
    QLineEdit* m_name;
    QLineEdit* m_email;
    QPlainTextEdit* m_message;
    QListWidget* m_attachments;
    QToolButton* m_attach;
    QPushButton* m_remove;
    QPushButton* m_send;
    QPushButton* m_cancel;
    QLabel* m_status;
};

} // namespace qrv
