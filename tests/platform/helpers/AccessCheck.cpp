// Test helper: qrv-test-access-check HOME
// Prints what stands in the way of full disk access for this process, as
// "folder<TAB>reason<TAB>command", or "none". Run as another user by the
// tests (root may write everywhere, so it would never see a problem).
#include "platform/linux/PreferencesAccess.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (app.arguments().size() != 2)
        return 2;
    const auto problem = qrv::access::preferencesFolderProblem(app.arguments().at(1));
    const QString line = problem
                             ? problem->folder + u'\t' + problem->reason + u'\t' + problem->command
                             : QStringLiteral("none");
    std::fputs(qPrintable(line + u'\n'), stdout);
    return 0;
}
