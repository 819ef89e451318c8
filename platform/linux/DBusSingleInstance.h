#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

namespace qrv {

// One running copy of the program per preferences home on a desktop session,
// so two editors never save over each other's edits to the same files. The
// first copy holds a name on the D-Bus session bus:
//   service   com.brackwyn.Quorvane.Home<hash of the home folder>
//   path      /com/brackwyn/Quorvane
//   interface com.brackwyn.Quorvane.Instance
//   method    Open(as files): absolute paths of the files to open
// A later start for the same home hands its files to that copy and ends.
// Without a session bus every start runs alone.
class DBusSingleInstance final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.brackwyn.Quorvane.Instance")
  public:
    enum class Role {
        First,      // this copy holds the name and receives later starts' files
        HandedOver, // another copy took the files; this one ends
        Alone,      // no bus, or the other copy did not answer: run anyway
    };
    static const QString kPath;
    static const QString kInterface;

    // Files that arrive go to the handler given later; until then they wait.
    using FilesHandler = std::function<void(const QStringList& files)>;

    // connectionName: a connection of its own to the session bus (tests start
    // two copies in one process); empty uses the process's session bus.
    explicit DBusSingleInstance(const QString& home, const QString& connectionName = {});
    ~DBusSingleInstance() override;

    static QString serviceName(const QString& home);

    // Claims the name, or hands the files (made absolute) to the copy that
    // holds it. Why a hand-over failed goes to *problem.
    Role claimOrHandOver(const QStringList& files, QString* problem = nullptr);
    void setFilesHandler(FilesHandler handler);

  public slots:
    Q_SCRIPTABLE void Open(const QStringList& files);

  private:
    QString m_home;
    QString m_connectionName;
    FilesHandler m_handler;
    QStringList m_waiting;
};

} // namespace qrv
