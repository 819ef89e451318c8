#include "exchange/EditRequestOpener.h"

#include "exchange/EditRequestMailbox.h"
#include "exchange/ExchangeFileReader.h"
#include "exchange/ExchangeFormat.h"
#include "exchange/ExchangeLogging.h"
#include "platform/AlertPresenter.h"
#include "platform/Scheduler.h"
#include "platform/Workspace.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>

namespace qrv {

namespace {

using namespace std::chrono_literals;
constexpr Millis kNotificationDelay = 500ms;

QString tr(const char* text) {
    return QCoreApplication::translate("EditRequests", text);
}

// The file's path with the folder's links resolved and the file's own name
// kept (a link is judged by where it lies, not where it points).
QString resolvedPath(const QString& path) {
    const QFileInfo info(path);
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? info.absoluteFilePath() : folder + QLatin1Char('/') + info.fileName();
}

QDateTime creationTime(const QFileInfo& info) {
    // Not every file system keeps a birth time; the last change stands in.
    const QDateTime born = info.birthTime();
    return born.isValid() ? born : info.lastModified();
}

struct FolderCheck {
    QStringList candidates;
    QString opened; // empty when nothing could be opened
    std::optional<Result<QJsonObject>> content;
};

// Runs off the main thread: lists, reads the oldest, deletes all.
FolderCheck examineFolder(const QString& folder) {
    FolderCheck check;
    const QFileInfo folderInfo(folder);
    if (folderInfo.isSymLink() || !folderInfo.isDir()) {
        if (folderInfo.isSymLink())
            qCWarning(lcExchange, "Edit-request folder %s is a symbolic link; left alone",
                      qPrintable(folder));
        return check;
    }
    QList<EditRequestOpener::Candidate> candidates;
    QDirIterator it(folder, QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        if (!EditRequestOpener::isExchangeFileName(info.fileName()))
            continue;
        const bool regular = !info.isSymLink() && info.isFile();
        candidates.append({info.filePath(), regular ? creationTime(info) : QDateTime(), regular});
    }
    const qsizetype oldest = EditRequestOpener::oldestRequest(candidates);
    if (oldest >= 0) {
        check.opened = candidates.at(oldest).path;
        check.content = exchange::readExchangeFile(check.opened, exchange::Links::Refuse);
    }
    for (const auto& candidate : candidates) {
        check.candidates.append(candidate.path);
        // Removes a link itself; a folder that happens to be named so stays.
        if (!QFile::remove(candidate.path))
            qCDebug(lcExchange, "Could not delete %s", qPrintable(candidate.path));
    }
    return check;
}

} // namespace

EditRequestOpener::EditRequestOpener(Services services, QString supportDirectory)
    : m_services(services)
    , m_supportDirectory(std::move(supportDirectory)) {}

EditRequestOpener::~EditRequestOpener() = default;

QString EditRequestOpener::editRequestsFolder() const {
    return m_supportDirectory + QLatin1Char('/') + QLatin1String(kEditRequestsFolderName);
}

bool EditRequestOpener::isExchangeFileName(const QString& path) {
    return QFileInfo(path).suffix().compare(exchange::kExtension, Qt::CaseInsensitive) == 0;
}

qsizetype EditRequestOpener::oldestRequest(const QList<Candidate>& candidates) {
    qsizetype oldest = -1;
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        if (!candidates.at(i).regularFile)
            continue;
        if (oldest < 0 || candidates.at(i).created < candidates.at(oldest).created)
            oldest = i;
    }
    return oldest;
}

EditRequestOpener::Place EditRequestOpener::placeOf(const QString& path) const {
    if (m_supportDirectory.isEmpty())
        return Place::Elsewhere;
    const QString resolved = resolvedPath(path);
    if (QFileInfo(resolved).path() == editRequestsFolder())
        return Place::EditRequests;
    QString prefix = m_supportDirectory;
    if (!prefix.endsWith(QLatin1Char('/')))
        prefix += QLatin1Char('/');
    return resolved.startsWith(prefix) ? Place::SupportFolder : Place::Elsewhere;
}

void EditRequestOpener::openFileURL(const QUrl& url, Completion done) {
    const auto answer = [&done](bool read) {
        if (done)
            done(read);
    };
    if (!url.isLocalFile())
        return answer(false);
    const QString path = url.toLocalFile();
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return answer(false);
    if (!isExchangeFileName(path) && !QMimeDatabase()
                                          .mimeTypeForFile(info, QMimeDatabase::MatchExtension)
                                          .inherits(exchange::kMimeType))
        return answer(false);
    const Place place = placeOf(path);
    const exchange::Links links =
        place == Place::EditRequests ? exchange::Links::Refuse : exchange::Links::Follow;
    std::weak_ptr<int> alive = m_alive;
    exchange::readExchangeFileInBackground(
        m_services.scheduler, path, links,
        [this, alive, path, place, done](Result<QJsonObject> content) {
            if (alive.expired())
                return;
            if (!content) {
                qCWarning(lcExchange, "Open error: %s", qPrintable(content.error()));
                if (done)
                    done(false);
                return;
            }
            openedObject(path, *content, place);
            if (done)
                done(true);
        });
}

void EditRequestOpener::openedObject(const QString& path, const QJsonObject& object, Place place) {
    if (exchange::isKindOfVersion1(object, exchange::kKindRequest)) {
        if (place == Place::EditRequests && !QFile::remove(path))
            qCDebug(lcExchange, "Could not delete %s", qPrintable(path));
    } else if (place == Place::Elsewhere) {
        Alert alert;
        alert.style = Alert::Style::Warning;
        alert.messageText =
            tr("Cannot read the file named “%1”").arg(m_services.workspace.displayNameAtPath(path));
        alert.informativeText =
            tr("The file may have been created by a newer version of this application.");
        alert.buttons = {{tr("OK"), QStringLiteral("\r")}};
        m_services.alerts.runModal(alert);
    }
    // Every object goes to the editor, which refuses (with a beep) what is
    // not a request it understands.
    std::weak_ptr<int> alive = m_alive;
    EditRequestMailbox* mailbox = &m_services.mailbox;
    m_services.scheduler.afterMain(kNotificationDelay, [alive, mailbox, object] {
        if (!alive.expired())
            mailbox->post(object);
    });
}

void EditRequestOpener::checkEditRequests(std::function<void()> done) {
    if (done)
        m_checkWaiters.push_back(std::move(done));
    if (m_supportDirectory.isEmpty()) {
        // No support folder could be made: requests have nowhere to arrive,
        // and an empty prefix must never turn into a folder at the root.
        finishCheck();
        return;
    }
    if (m_checking) {
        m_checkAgain = true;
        return;
    }
    m_checking = true;
    Scheduler& scheduler = m_services.scheduler;
    std::weak_ptr<int> alive = m_alive;
    const QString folder = editRequestsFolder();
    scheduler.asyncGlobal([&scheduler, alive, folder, this] {
        auto check = std::make_shared<FolderCheck>(examineFolder(folder));
        scheduler.asyncMain([alive, check, this] {
            if (alive.expired())
                return;
            if (check->content && !*check->content)
                qCWarning(lcExchange, "Open error: %s", qPrintable(check->content->error()));
            else if (check->content)
                openedObject(check->opened, **check->content, Place::EditRequests);
            finishCheck();
        });
    });
}

void EditRequestOpener::finishCheck() {
    m_checking = false;
    if (m_checkAgain) {
        m_checkAgain = false;
        checkEditRequests();
        return;
    }
    auto waiters = std::move(m_checkWaiters);
    m_checkWaiters.clear();
    for (auto& waiter : waiters)
        waiter();
}

} // namespace qrv
