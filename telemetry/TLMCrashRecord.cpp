#include "telemetry/TLMCrashRecord.h"

#include <QFile>
#include <QRegularExpression>
#include <QTimeZone>
#include <QUuid>
#include <cstring>
#include <cxxabi.h>
#include <dlfcn.h>

namespace qrv {
namespace {

bool toNumber(const QString& text, quint64& value, int base = 10) {
    bool ok = false;
    value = text.toULongLong(&ok, base);
    return ok;
}

quint64 hexNumber(const QString& text, bool* ok) {
    QString digits = text;
    if (digits.startsWith(QLatin1String("0x")))
        digits.remove(0, 2);
    return digits.toULongLong(ok, 16);
}

// The mappings of this process, to find the frames of a crashed run in
// files that are loaded here too.
const QList<TLMCrashRecord::Module>& ownModules() {
    static const QList<TLMCrashRecord::Module> modules = [] {
        QList<TLMCrashRecord::Module> list;
        QFile maps(QStringLiteral("/proc/self/maps"));
        if (maps.open(QIODevice::ReadOnly))
            for (const QByteArray& line : maps.readAll().split('\n'))
                if (auto module = TLMCrashRecord::parseModule(QString::fromUtf8(line)))
                    list << *module;
        return list;
    }();
    return modules;
}

// A return address points past its call, which may be past the end of the
// calling function (a call that does not return), so it is looked up one
// byte earlier; `back` is that byte.
QString symbolFor(const TLMCrashRecord::Module& crashed, quint64 fileOffset, quint64 back) {
    fileOffset -= back;
    for (const auto& own : ownModules()) {
        if (own.path != crashed.path || own.inode != crashed.inode || own.device != crashed.device)
            continue;
        if (fileOffset < own.fileOffset || fileOffset >= own.fileOffset + (own.end - own.start))
            continue;
        const quint64 address = own.start + (fileOffset - own.fileOffset);
        Dl_info info{};
        if (!dladdr(reinterpret_cast<void*>(address), &info) || !info.dli_sname)
            return {};
        int status = 0;
        char* demangled = abi::__cxa_demangle(info.dli_sname, nullptr, nullptr, &status);
        const QString name =
            QString::fromUtf8(status == 0 && demangled ? demangled : info.dli_sname);
        free(demangled);
        return QStringLiteral("%1 + %2").arg(name).arg(address + back - quint64(info.dli_saddr));
    }
    return {};
}

// A log's dates travel as ISO 8601 text, which has four digits for the year:
// a later (or negative) date from a damaged record would be stored but never
// read back. Such a date is brought into the range the text can carry.
QDateTime representable(const QDateTime& date) {
    static const QDateTime kEarliest = QDateTime::fromMSecsSinceEpoch(0, QTimeZone::utc());
    static const QDateTime kLatest(QDate(9999, 12, 31), QTime(23, 59, 59, 999), QTimeZone::utc());
    if (!date.isValid() || date < kEarliest)
        return kEarliest;
    return date > kLatest ? kLatest : date;
}

} // namespace

std::optional<TLMCrashRecord::Module> TLMCrashRecord::parseModule(const QString& line) {
    static const QRegularExpression form(
        QStringLiteral(R"(^([0-9a-f]+)-([0-9a-f]+) \S+ ([0-9a-f]+) (\S+) (\d+)\s+(/.*)$)"));
    const auto match = form.match(line);
    if (!match.hasMatch())
        return std::nullopt;
    Module module;
    bool ok[4] = {};
    module.start = match.captured(1).toULongLong(&ok[0], 16);
    module.end = match.captured(2).toULongLong(&ok[1], 16);
    module.fileOffset = match.captured(3).toULongLong(&ok[2], 16);
    module.device = match.captured(4);
    module.inode = match.captured(5).toULongLong(&ok[3]);
    module.path = match.captured(6);
    if (!(ok[0] && ok[1] && ok[2] && ok[3]) || module.end <= module.start)
        return std::nullopt;
    return module;
}

Result<TLMCrashRecord> TLMCrashRecord::parse(const QByteArray& text) {
    const QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty() || lines.first() != "QRVCRASH 1")
        return makeError(QStringLiteral("not a crash record"));
    TLMCrashRecord record;
    for (const QByteArray& raw : lines.mid(1)) {
        const QString line = QString::fromUtf8(raw);
        const QString key = line.section(QLatin1Char(' '), 0, 0);
        const QString value = line.section(QLatin1Char(' '), 1);
        quint64 number = 0;
        bool ok = false;
        if (key == QLatin1String("pid") && toNumber(value, number)) {
            record.processId = qint64(number);
        } else if (key == QLatin1String("process")) {
            record.processName = value;
        } else if (key == QLatin1String("launch") && toNumber(value, number)) {
            record.launchTime = QDateTime::fromMSecsSinceEpoch(qint64(number), QTimeZone::utc());
        } else if (key == QLatin1String("appVersion")) {
            record.appVersion = value;
        } else if (key == QLatin1String("appBuild")) {
            record.appBuild = value;
        } else if (key == QLatin1String("time")) {
            quint64 seconds = 0, nanoseconds = 0;
            if (toNumber(value.section(u' ', 0, 0), seconds) &&
                toNumber(value.section(u' ', 1, 1), nanoseconds))
                record.crashTime = QDateTime::fromMSecsSinceEpoch(
                    qint64(seconds * 1000 + nanoseconds / 1000000), QTimeZone::utc());
        } else if (key == QLatin1String("signal") && toNumber(value.section(u' ', 0, 0), number)) {
            record.signal = int(number);
            record.signalName = value.section(u' ', 1, 1);
        } else if (key == QLatin1String("code")) {
            // Signed: codes sent by a process (SI_USER, SI_TKILL, ...) are not above zero.
            if (const int code = value.toInt(&ok); ok)
                record.signalCode = code;
        } else if (key == QLatin1String("address")) {
            if (const quint64 address = hexNumber(value, &ok); ok)
                record.faultAddress = address;
        } else if (key == QLatin1String("exception")) {
            record.exceptionType = value;
        } else if (key == QLatin1String("reason")) {
            record.exceptionReason = value;
        } else if (key == QLatin1String("frame")) {
            if (const quint64 address = hexNumber(value, &ok); ok)
                record.frames << address;
        } else if (key == QLatin1String("module")) {
            if (auto module = parseModule(value))
                record.modules << *module;
        } else if (key == QLatin1String("end")) {
            record.complete = true;
        }
    }
    if (record.processId <= 0 || !record.launchTime.isValid() ||
        (record.signal == 0 && record.exceptionType.isEmpty()))
        return makeError(QStringLiteral("the crash record is incomplete"));
    if (!record.crashTime.isValid())
        record.crashTime = record.launchTime; // the handler died before the time was written
    return record;
}

Result<TLMCrashRecord> TLMCrashRecord::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return makeError(file.errorString());
    // A record is a few kilobytes; anything far larger is not one of ours.
    constexpr qint64 kMostBytes = 4 * 1024 * 1024;
    return parse(file.read(kMostBytes));
}

QString TLMCrashRecord::stackTrace() const {
    QStringList lines;
    for (qsizetype i = 0; i < frames.size(); ++i) {
        const quint64 address = frames.at(i);
        QString line = QStringLiteral("%1  0x%2").arg(i, 2).arg(address, 16, 16, QLatin1Char('0'));
        for (const Module& module : modules) {
            if (address < module.start || address >= module.end)
                continue;
            const quint64 fileOffset = address - module.start + module.fileOffset;
            line += QStringLiteral(" %1 + 0x%2").arg(module.path).arg(fileOffset, 0, 16);
            // Only the first frame of a signal is the faulting instruction itself.
            const quint64 back = (i == 0 && signal != 0) || fileOffset == 0 ? 0 : 1;
            if (const QString symbol = symbolFor(module, fileOffset, back); !symbol.isEmpty())
                line += QStringLiteral(" (%1)").arg(symbol);
            break;
        }
        lines << line;
    }
    return lines.join(QLatin1Char('\n'));
}

std::shared_ptr<TLMCrashReportLog> TLMCrashRecord::toLog() const {
    auto log = std::make_shared<TLMCrashReportLog>();
    log->timestamp = representable(crashTime);
    log->device = TLMDevice::current();
    if (!appVersion.isEmpty())
        log->device->appVersion = appVersion;
    log->device->appBuild = appBuild;
    log->errorId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    log->processId = processId;
    log->processName = processName.isEmpty() ? QStringLiteral("unknown") : processName;
    log->fatal = true;
    log->appLaunchTimestamp = representable(launchTime);
    if (signal != 0) {
        log->exceptionType =
            signalName.isEmpty() ? QStringLiteral("signal %1").arg(signal) : signalName;
        QString reason = QString::fromUtf8(sigdescr_np(signal));
        if (faultAddress)
            reason += QStringLiteral(" at 0x%1").arg(*faultAddress, 0, 16);
        log->exceptionReason = reason;
    } else {
        log->exceptionType = exceptionType;
        log->exceptionReason = exceptionReason;
    }
    log->stackTrace = stackTrace();
    return log;
}

} // namespace qrv
