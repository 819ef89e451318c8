#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Which installed desktop entry a running process is: its executable and
// command line against the entries' Exec, else its names against their
// StartupWMClass.
namespace qrv::desktop {

struct Process {
    qint64 processId = 0;
    QString executable;      // the file it runs, links resolved; empty when unknown
    QStringList commandLine; // its arguments, the program first
    QString name;            // the kernel's short name (comm)
    QString applicationName; // what the application calls itself on the accessibility bus

    // Reads /proc/<id>; the fields that cannot be read stay empty.
    static Process read(qint64 processId);
    // The name to list an application under that no entry describes.
    QString processName() const;
};

struct Entry {
    QString id;       // the desktop-file id without ".desktop"
    QString path;     // the .desktop file
    QStringList exec; // Exec as arguments, field codes and "env VAR=..." left out
    QString wmClass;  // StartupWMClass
    bool noDisplay = false;
};

// Exec split as the desktop-entry format quotes it, without field codes (%f,
// %U, ...) and without a leading "env" with its assignments.
QStringList execArguments(const QString& exec);

// The application entries of the folders, most important folder first; the
// first entry of an id wins and a hidden one hides the others of its id.
QList<Entry> readEntries(const QStringList& folders);

// The entry that describes the process, best match first: its program and
// fixed arguments start the command line (an interpreter's script counts);
// then its program has the executable's or the command's name; then its
// StartupWMClass is one of the process's names (case ignored). Nothing when
// none matches.
std::optional<qsizetype> match(const Process& process, const QList<Entry>& entries);

} // namespace qrv::desktop
