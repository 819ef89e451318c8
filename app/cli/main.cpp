// quorvane-cli: the store and diagnostics without a display.
#include "CliCommand.h"
#include "CliText.h"
#include "model/SupportDirectory.h"
#include "platform/AppInfo.h"
#include "platform/NativePlatform.h"
#include "platform/PreferencesHome.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <cstdio>

using namespace qrv;
using namespace qrv::cli;

namespace {

const QString kHelpOption = QStringLiteral("--help");

void printExitStatuses(QTextStream& out, const QString& failure) {
    out << '\n'
        << tr("exit status:") << "\n  0  " << tr("success") << "\n  1  "
        << (failure.isEmpty() ? tr("the command failed; the reason is printed") : failure)
        << "\n  2  " << tr("the arguments were not usable; the reason and the usage are printed")
        << '\n';
}

void printHelp(QTextStream& out) {
    out << "usage: quorvane-cli [--home DIR] COMMAND [ARGUMENTS]\n\n"
        << "--home DIR  the preferences home (default: $QUORVANE_HOME, else "
           "$XDG_DATA_HOME/quorvane/home)\n\ncommands:\n";
    for (const CliCommand& command : CliRegistry::commands())
        out << "  " << command.name << (command.usage.isEmpty() ? "" : " ") << command.usage
            << "\n      " << command.summary << '\n';
    out << '\n' << tr("quorvane-cli COMMAND --help describes a command.") << '\n';
    printExitStatuses(out, QString());
}

QString synopsis(const CliCommand& command) {
    QString line = QStringLiteral("quorvane-cli ");
    if (command.needsPlatform)
        line += QStringLiteral("[--home DIR] ");
    line += command.name;
    if (!command.usage.isEmpty())
        line += QLatin1Char(' ') + command.usage;
    return line;
}

void printUsage(QTextStream& err, const CliCommand& command) {
    err << "usage: " << synopsis(command) << '\n'
        << tr("(quorvane-cli %1 --help describes it)").arg(command.name) << '\n';
}

void printCommandHelp(QTextStream& out, const CliCommand& command) {
    out << "usage: " << synopsis(command) << "\n\n" << command.summary << '\n';
    if (!command.details.isEmpty())
        out << '\n' << command.details << '\n';
    printExitStatuses(out, command.failure);
}

// "--help" among the command's options; after "--" it is an argument (a title).
bool asksForHelp(const QStringList& arguments) {
    for (const QString& argument : arguments) {
        if (argument == QLatin1String("--"))
            return false;
        if (argument == kHelpOption)
            return true;
    }
    return false;
}

struct DecodedArguments {
    QStringList arguments; // without the program's name
    int notUtf8 = 0;       // the first argument that is not UTF-8 text, if any
};

// The arguments exactly as given. Qt's own list turns bytes that are not UTF-8
// into U+FFFD and drops a leading U+FEFF, so a bundle identifier or title would
// silently name something else; such arguments are refused instead. Decoding
// replaces every ill-formed sequence (stray, overlong, surrogate) and keeps
// back one cut short, so only valid text encodes back to the same bytes.
DecodedArguments decodeArguments(int argc, char** argv) {
    DecodedArguments decoded;
    for (int i = 1; i < argc; ++i) {
        const QByteArrayView bytes(argv[i]);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        QString text = decoder.decode(bytes);
        if (text.toUtf8() != bytes) {
            decoded.notUtf8 = i;
            break;
        }
        decoded.arguments << std::move(text);
    }
    return decoded;
}

// Printable ASCII as it is, every other byte as \xHH.
QString shownBytes(QByteArrayView bytes) {
    QString shown;
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        if (value >= 0x20 && value < 0x7F && value != '\\')
            shown += QLatin1Char(byte);
        else
            shown += QStringLiteral("\\x") +
                     QString::number(value, 16).rightJustified(2, QLatin1Char('0')).toUpper();
    }
    return shown;
}

// Takes "--home DIR" / "--home=DIR" out of the arguments, up to a "--".
QString takeHome(QStringList& arguments, bool* missingValue) {
    QString home;
    for (qsizetype i = 0; i < arguments.size();) {
        if (arguments.at(i) == QLatin1String("--"))
            break; // what follows is the command's, even "--home" (a title, say)
        if (arguments.at(i) == QLatin1String("--home")) {
            if (i + 1 >= arguments.size()) {
                *missingValue = true;
                arguments.removeAt(i);
                continue;
            }
            home = arguments.at(i + 1);
            arguments.remove(i, 2);
        } else if (arguments.at(i).startsWith(QLatin1String("--home="))) {
            home = arguments.at(i).mid(7);
            arguments.removeAt(i);
        } else {
            ++i;
        }
    }
    return home;
}

int runVersion(CliContext& context) {
    if (!context.arguments.isEmpty()) {
        context.err << "quorvane-cli version: "
                    << tr("unexpected argument “%1”").arg(context.arguments.first()) << '\n';
        return kExitUsage;
    }
    context.out << appinfo::kApplicationName << ' ' << appinfo::kVersion << '\n';
    return kExitOk;
}

} // namespace

QRV_CLI_COMMAND(version,
                {QStringLiteral("version"), QString(),
                 QStringLiteral("prints the name and version of the program"), false, &runVersion})

int main(int argc, char** argv) {
    DecodedArguments decoded = decodeArguments(argc, argv);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(appinfo::kApplicationName));
    QCoreApplication::setOrganizationName(QString::fromLatin1(appinfo::kOrganizationName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(appinfo::kVersion));

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (decoded.notUtf8 > 0) {
        err << "quorvane-cli: "
            << tr("argument %1 (“%2”) is not UTF-8 text, which every argument must be")
                   .arg(decoded.notUtf8)
                   .arg(shownBytes(argv[decoded.notUtf8]))
            << '\n';
        return kExitUsage;
    }
    QStringList arguments = std::move(decoded.arguments);
    bool missingHome = false;
    const QString explicitHome = takeHome(arguments, &missingHome);
    if (missingHome) {
        err << "quorvane-cli: --home needs a folder\n";
        return kExitUsage;
    }
    if (arguments.isEmpty() || arguments.first() == QLatin1String("help") ||
        arguments.first() == kHelpOption || arguments.first() == QLatin1String("-h")) {
        // "help COMMAND" is "COMMAND --help".
        if (arguments.size() == 2 && arguments.first() == QLatin1String("help")) {
            if (const CliCommand* command = CliRegistry::find(arguments.at(1))) {
                printCommandHelp(out, *command);
                return kExitOk;
            }
        }
        printHelp(arguments.isEmpty() ? err : out);
        return arguments.isEmpty() ? kExitUsage : kExitOk;
    }
    const QString name = arguments.takeFirst();
    const CliCommand* command =
        CliRegistry::find(name == QLatin1String("--version") ? QStringLiteral("version") : name);
    if (!command) {
        err << "quorvane-cli: unknown command “" << escapeForDisplay(name)
            << "” (see quorvane-cli --help)\n";
        return kExitUsage;
    }
    if (asksForHelp(arguments)) {
        printCommandHelp(out, *command);
        return kExitOk;
    }

    std::unique_ptr<NativePlatform> native;
    QString home;
    if (command->needsPlatform) {
        auto created = NativePlatform::create(PreferencesHome::resolve(explicitHome));
        if (!created) {
            err << "quorvane-cli: " << created.error() << '\n';
            return kExitFailed;
        }
        native = std::move(created).value();
        native->install();
        home = native->services().home;
        // Edit requests live in the support folder; a home without one is unusable.
        if (auto support = menuShortcutsSupportDirectory(); !support) {
            err << "quorvane-cli: " << support.error() << '\n';
            return kExitFailed;
        }
    }
    CliContext context{arguments, home, out, err, native ? &native->services() : nullptr};
    const int status = command->run(context);
    if (status == kExitUsage)
        printUsage(err, *command);
    out.flush();
    err.flush();
    return status;
}
