#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <vector>

namespace qrv {

class AlertPresenter;
class EditRequestMailbox;
class Scheduler;
class Workspace;

// The application delegate's side of edit requests: a file the user opens
// (from the file manager, or `quorvane FILE`) and the files other programs put
// into the edit-request folder "EditRequests" of the support folder. Files are
// checked and read off the main thread; what reads as a JSON object is posted
// to the mailbox 0.5 s later, where the editor takes it (and rejects what is
// not a request of version 1).
//
// Only the edit-request folder is ever emptied: a request read from there is
// deleted, a symbolic link in it is removed without being followed, and a
// folder that is itself a link is left alone. Main thread.
class EditRequestOpener {
  public:
    struct Services {
        Scheduler& scheduler;
        AlertPresenter& alerts;
        Workspace& workspace; // the file's display name in alerts
        EditRequestMailbox& mailbox;
    };
    static constexpr const char* kEditRequestsFolderName = "EditRequests";

    // `supportDirectory` is the support folder with links resolved
    // (menuShortcutsSupportDirectory).
    EditRequestOpener(Services services, QString supportDirectory);
    ~EditRequestOpener();
    EditRequestOpener(const EditRequestOpener&) = delete;
    EditRequestOpener& operator=(const EditRequestOpener&) = delete;

    QString editRequestsFolder() const;

    // Answers through `done` (main thread) whether the file was read as a JSON
    // object: false at once for what is not a local file of the exchange type.
    using Completion = std::function<void(bool read)>;
    void openFileURL(const QUrl& url, Completion done = {});

    // Opens the oldest request file of the edit-request folder (by creation
    // time, the first listed among equals) and deletes every request file
    // there. A check asked for while one runs runs again after it.
    void checkEditRequests(std::function<void()> done = {});

    // Whether a file of this name is of the exchange type.
    static bool isExchangeFileName(const QString& path);

    // One request file of the folder, as listed.
    struct Candidate {
        QString path;
        QDateTime created;
        bool regularFile = false; // not a link, folder or other special file
    };
    // The candidate to open: the regular file created first, the first listed
    // among equal times; -1 when there is none.
    static qsizetype oldestRequest(const QList<Candidate>& candidates);

  private:
    enum class Place { Elsewhere, SupportFolder, EditRequests };
    Place placeOf(const QString& path) const;
    void openedObject(const QString& path, const QJsonObject& object, Place place);
    void finishCheck();

    Services m_services;
    QString m_supportDirectory;
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
    bool m_checking = false;
    bool m_checkAgain = false;
    std::vector<std::function<void()>> m_checkWaiters;
};

} // namespace qrv
