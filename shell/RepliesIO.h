#pragma once

#include "platform/HttpTransport.h"
#include "platform/Result.h"
#include "shell/RepliesIOFeedbackWindow.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>

class QMenu;

namespace qrv {

class AlertPresenter;
class PreferenceStore;
class UserDefaults;

enum class RepliesIOSubject { Question, Problem, FeatureRequest, Other };

// A file sent along with a support message.
struct RepliesIOAttachment {
    static inline const QString kApplicationLogFileName = QStringLiteral("Console Log.txt");

    QString fileName;
    QString contentType;
    QByteArray data;

    // The preferences of an application domain as an XML property list.
    static Result<RepliesIOAttachment>
    attachmentWithPreferencesForIdentifier(PreferenceStore& store, const QString& identifier);
    // The console log text.
    static RepliesIOAttachment attachmentWithApplicationLog(const QString& logContent);
};

// What the user wrote.
struct RepliesIOMessage {
    RepliesIOSubject subject = RepliesIOSubject::Question;
    QString name;
    QString email;
    QString text;
};

struct RepliesIOServices {
    HttpTransport& http;
    UserDefaults& userDefaults;
    AlertPresenter& alerts;
};

// Our support layer: the configuration the application gives it, the
// feedback window, and sending a message with its attachments to the support
// service as one JSON POST (docs/ARCHITECTURE.md, "Support messages").
class RepliesIO : public QObject {
    Q_OBJECT
  public:
    static inline const QString kSenderNameKey = QStringLiteral("io_replies_sender_name");
    static inline const QString kSenderEmailKey = QStringLiteral("io_replies_sender_email");
    static inline const QString kMessagesPath = QStringLiteral("/v1/forms/%1/messages");

    explicit RepliesIO(const RepliesIOServices& services, QObject* parent = nullptr);
    ~RepliesIO() override;

    void setAPIHost(const QUrl& base) { m_apiHost = base; }
    void setFormIdentifier(const QString& form) { m_formIdentifier = form; }
    void setProductName(const QString& product) { m_productName = product; }
    void setProductVersion(const QString& version) { m_productVersion = version; }
    void setSubjectTypes(const QList<RepliesIOSubject>& subjects);
    void setSupportedLanguages(const QStringList& languages) { m_languages = languages; }
    // The way to add attachments, offered in the window. Taken over.
    void setMenu(QMenu* menu);

    const QUrl& apiHost() const { return m_apiHost; }
    const QString& formIdentifier() const { return m_formIdentifier; }
    const QString& productName() const { return m_productName; }
    const QList<RepliesIOSubject>& subjectTypes() const { return m_subjects; }
    const QStringList& supportedLanguages() const { return m_languages; }
    QMenu* menu() const { return m_menu.get(); }
    const QList<RepliesIOAttachment>& attachments() const { return m_attachments; }

    // Shows the feedback window (created on first use) and brings it forward.
    void presentWindow();
    RepliesIOFeedbackWindow* window() const { return m_window; }
    // Adds a file to the next message; one of the same name is replaced.
    void addAttachment(const RepliesIOAttachment& attachment);
    void removeAttachment(qsizetype index);

    // The language the message is written in: the user's, when supported.
    QString messageLanguage() const;
    // Sends the message with the attachments; the reason of a failure, or
    // an empty string, comes back on the main thread.
    void send(const RepliesIOMessage& message, std::function<void(const QString& failure)> done);
    // The request send() makes (for the record and for tests).
    HttpRequest requestFor(const RepliesIOMessage& message) const;

    // The value under the key when it is a string (the sender's name and
    // address are prefilled only from strings); empty otherwise.
    static QString storedString(const UserDefaults& defaults, const QString& key);

    static QString subjectKey(RepliesIOSubject subject);
    static QString subjectTitle(RepliesIOSubject subject);

  signals:
    void configurationChanged();
    void attachmentsChanged();

  private:
    RepliesIOServices m_services;
    QUrl m_apiHost;
    QString m_formIdentifier;
    QString m_productName;
    QString m_productVersion;
    QList<RepliesIOSubject> m_subjects;
    QStringList m_languages;
    std::unique_ptr<QMenu> m_menu;
    QList<RepliesIOAttachment> m_attachments;
    QPointer<RepliesIOFeedbackWindow> m_window;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace qrv
