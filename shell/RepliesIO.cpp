#include "shell/RepliesIO.h"

#include "platform/PreferenceStore.h"
#include "platform/UserDefaults.h"
#include "platform/plist/PlistCodec.h"
#include "shell/RepliesIOFeedbackWindow.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QMenu>

namespace qrv {

Result<RepliesIOAttachment>
RepliesIOAttachment::attachmentWithPreferencesForIdentifier(PreferenceStore& store,
                                                            const QString& identifier) {
    const Result<QByteArray> xml = plist::encode(store.copyDomain(identifier), plist::Format::Xml);
    if (!xml)
        return makeError(
            QCoreApplication::translate("RepliesIO", "The preferences could not be attached: %1")
                .arg(xml.error()));
    return RepliesIOAttachment{identifier + QStringLiteral(".plist"),
                               QStringLiteral("application/x-plist"), *xml};
}

RepliesIOAttachment RepliesIOAttachment::attachmentWithApplicationLog(const QString& logContent) {
    return RepliesIOAttachment{kApplicationLogFileName, QStringLiteral("text/plain; charset=utf-8"),
                               logContent.toUtf8()};
}

RepliesIO::RepliesIO(const RepliesIOServices& services, QObject* parent)
    : QObject(parent)
    , m_services(services) {}

RepliesIO::~RepliesIO() {
    *m_alive = false;
    delete m_window;
}

void RepliesIO::setSubjectTypes(const QList<RepliesIOSubject>& subjects) {
    m_subjects = subjects;
    emit configurationChanged();
}

void RepliesIO::setMenu(QMenu* menu) {
    if (menu == m_menu.get())
        return;
    m_menu.reset(menu);
    emit configurationChanged();
}

void RepliesIO::presentWindow() {
    if (!m_window)
        m_window = new RepliesIOFeedbackWindow(*this, m_services.userDefaults, m_services.alerts);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void RepliesIO::addAttachment(const RepliesIOAttachment& attachment) {
    for (RepliesIOAttachment& existing : m_attachments) {
        if (existing.fileName == attachment.fileName) {
            existing = attachment;
            emit attachmentsChanged();
            return;
        }
    }
    m_attachments.append(attachment);
    emit attachmentsChanged();
}

void RepliesIO::removeAttachment(qsizetype index) {
    if (index < 0 || index >= m_attachments.size())
        return;
    m_attachments.removeAt(index);
    emit attachmentsChanged();
}

QString RepliesIO::storedString(const UserDefaults& defaults, const QString& key) {
    const QVariant value = defaults.objectForKey(key);
    return value.typeId() == QMetaType::QString ? value.toString() : QString();
}

namespace {

struct SubjectName {
    RepliesIOSubject subject;
    const char* key;   // in the message sent
    const char* title; // shown, translated
};

constexpr SubjectName kSubjectNames[] = {
    {RepliesIOSubject::Question, "question", QT_TRANSLATE_NOOP("qrv::RepliesIO", "Question")},
    {RepliesIOSubject::Problem, "problem", QT_TRANSLATE_NOOP("qrv::RepliesIO", "Problem")},
    {RepliesIOSubject::FeatureRequest, "feature-request",
     QT_TRANSLATE_NOOP("qrv::RepliesIO", "Feature Request")},
    {RepliesIOSubject::Other, "other", QT_TRANSLATE_NOOP("qrv::RepliesIO", "Other")},
};

const SubjectName& nameOf(RepliesIOSubject subject) {
    for (const SubjectName& name : kSubjectNames)
        if (name.subject == subject)
            return name;
    return kSubjectNames[3];
}

} // namespace

QString RepliesIO::subjectKey(RepliesIOSubject subject) {
    return QString::fromLatin1(nameOf(subject).key);
}

QString RepliesIO::subjectTitle(RepliesIOSubject subject) {
    return tr(nameOf(subject).title);
}

QString RepliesIO::messageLanguage() const {
    for (const QString& language : QLocale().uiLanguages()) {
        const QString code = language.left(2).toLower();
        if (m_languages.contains(code))
            return code;
    }
    return m_languages.value(0, QStringLiteral("en"));
}

HttpRequest RepliesIO::requestFor(const RepliesIOMessage& message) const {
    QJsonArray attachments;
    for (const RepliesIOAttachment& attachment : m_attachments)
        attachments.append(
            QJsonObject{{QStringLiteral("fileName"), attachment.fileName},
                        {QStringLiteral("contentType"), attachment.contentType},
                        {QStringLiteral("data"), QString::fromLatin1(attachment.data.toBase64())}});
    const QJsonObject body{
        {QStringLiteral("product"), m_productName},
        {QStringLiteral("productVersion"), m_productVersion},
        {QStringLiteral("subject"), subjectKey(message.subject)},
        {QStringLiteral("language"), messageLanguage()},
        {QStringLiteral("sender"), QJsonObject{{QStringLiteral("name"), message.name},
                                               {QStringLiteral("email"), message.email}}},
        {QStringLiteral("message"), message.text},
        {QStringLiteral("attachments"), attachments}};

    HttpRequest request;
    request.method = "POST";
    request.url = m_apiHost;
    request.url.setPath(
        kMessagesPath.arg(QString::fromLatin1(QUrl::toPercentEncoding(m_formIdentifier))));
    request.headers = {
        {"Content-Type", "application/json; charset=utf-8"},
        {"Accept", "application/json"},
        {"User-Agent", (m_productName + QLatin1Char('/') + m_productVersion).toUtf8()}};
    request.body = QJsonDocument(body).toJson(QJsonDocument::Compact);
    request.maxResponseBytes = 64 * 1024;
    return request;
}

void RepliesIO::send(const RepliesIOMessage& message,
                     std::function<void(const QString& failure)> done) {
    m_services.http.send(requestFor(message),
                         [alive = m_alive, done = std::move(done)](const HttpResponse& response) {
                             if (*alive)
                                 done(response.succeeded() ? QString() : response.failureReason());
                         });
}

} // namespace qrv
