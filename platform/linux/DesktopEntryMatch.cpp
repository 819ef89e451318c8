#include "platform/linux/DesktopEntryMatch.h"

#include "platform/linux/ApplicationBundles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

namespace qrv::desktop {

namespace {

QString canonical(const QString& program) {
    if (program.isEmpty())
        return {};
    const QString found =
        program.contains(u'/') ? program : QStandardPaths::findExecutable(program);
    const QString resolved = QFileInfo(found).canonicalFilePath();
    return resolved.isEmpty() ? found : resolved;
}

QString baseName(const QString& path) {
    return QFileInfo(path).fileName();
}

// How well an entry describes the process; 0 for not at all.
int score(const Process& process, const Entry& entry) {
    if (!entry.exec.isEmpty()) {
        const QString program = canonical(entry.exec.first());
        const QStringList fixed = entry.exec.mid(1);
        if (!program.isEmpty() && program == process.executable &&
            process.commandLine.mid(1, fixed.size()) == fixed)
            return 3 + int(fixed.size()); // more fixed arguments matched: the closer entry
        const QString programName = baseName(entry.exec.first());
        if (programName == baseName(process.executable) ||
            (!process.commandLine.isEmpty() &&
             programName == baseName(process.commandLine.first())))
            return 2;
    }
    if (!entry.wmClass.isEmpty()) {
        for (const QString& name :
             {process.applicationName, process.name, baseName(process.executable)})
            if (!name.isEmpty() && name.compare(entry.wmClass, Qt::CaseInsensitive) == 0)
                return 1;
    }
    return 0;
}

} // namespace

Process Process::read(qint64 processId) {
    Process process;
    process.processId = processId;
    const QString folder = QStringLiteral("/proc/%1/").arg(processId);
    process.executable = QFileInfo(folder + QStringLiteral("exe")).canonicalFilePath();
    QFile commandLine(folder + QStringLiteral("cmdline"));
    if (commandLine.open(QIODevice::ReadOnly)) {
        QByteArray raw = commandLine.readAll();
        if (raw.endsWith('\0'))
            raw.chop(1);
        if (!raw.isEmpty())
            for (const QByteArray& argument : raw.split('\0'))
                process.commandLine << QString::fromLocal8Bit(argument);
    }
    QFile comm(folder + QStringLiteral("comm"));
    if (comm.open(QIODevice::ReadOnly))
        process.name = QString::fromLocal8Bit(comm.readAll()).trimmed();
    return process;
}

QString Process::processName() const {
    // The short name is cut at 15 characters; the program's file name is not.
    if (!executable.isEmpty())
        return baseName(executable);
    if (!commandLine.isEmpty() && !commandLine.first().isEmpty())
        return baseName(commandLine.first());
    return name;
}

QStringList execArguments(const QString& exec) {
    QStringList arguments;
    QString current;
    bool inArgument = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (quoted) {
            if (c == u'"')
                quoted = false;
            else if (c == u'\\' && i + 1 < exec.size())
                current += exec.at(++i);
            else
                current += c;
        } else if (c == u'"') {
            quoted = inArgument = true;
        } else if (c == u' ' || c == u'\t') {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else if (c == u'%' && i + 1 < exec.size()) {
            // A field code stands for what the launcher fills in: no fixed argument.
            const QChar code = exec.at(++i);
            if (code == u'%') {
                current += code;
                inArgument = true;
            }
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments << current;
    if (!arguments.isEmpty() && baseName(arguments.first()) == QLatin1String("env")) {
        arguments.removeFirst();
        while (!arguments.isEmpty() && arguments.first().contains(u'=') &&
               !arguments.first().startsWith(u'-'))
            arguments.removeFirst();
    }
    return arguments;
}

QList<Entry> readEntries(const QStringList& folders) {
    QList<Entry> entries;
    QSet<QString> seen;
    for (const QString& folder : folders) {
        QDirIterator files(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                           QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
        while (files.hasNext()) {
            const QString path = files.next();
            const QString relative = QDir(folder).relativeFilePath(path);
            const QString id = relative.chopped(8).replace(u'/', u'-'); // without ".desktop"
            if (seen.contains(id))
                continue;
            seen.insert(id);
            const auto values = bundles::desktopEntryValues(path);
            if (!values || values->value(QStringLiteral("Type")) != QLatin1String("Application") ||
                values->value(QStringLiteral("Hidden")) == QLatin1String("true"))
                continue;
            entries << Entry{id, path, execArguments(values->value(QStringLiteral("Exec"))),
                             values->value(QStringLiteral("StartupWMClass")),
                             values->value(QStringLiteral("NoDisplay")) == QLatin1String("true")};
        }
    }
    return entries;
}

std::optional<qsizetype> match(const Process& process, const QList<Entry>& entries) {
    std::optional<qsizetype> best;
    int bestScore = 0;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const int entryScore = score(process, entries.at(i));
        if (entryScore > bestScore) {
            best = i;
            bestScore = entryScore;
        }
    }
    return best;
}

} // namespace qrv::desktop
