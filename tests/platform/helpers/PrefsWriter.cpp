// Test helper: qrv-test-prefs-writer HOME DOMAIN KEY-PREFIX COUNT [PAYLOAD-SIZE]
// Sets COUNT keys "<prefix><n>" = n in DOMAIN, one read-modify-write each.
// With a payload size, every value is a string of that size instead (for the
// killed-writer test, so that writes take long enough to be interrupted).
#include "platform/linux/PlistFilePreferenceStore.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5)
        return 2;
    qrv::PlistFilePreferenceStore store(args.at(1));
    const int count = args.at(4).toInt();
    const int payload = args.size() > 5 ? args.at(5).toInt() : 0;
    for (int i = 0; i < count; ++i) {
        const QVariant value =
            payload > 0 ? QVariant(QString(payload, QChar(u'a' + i % 26))) : QVariant(qint64(i));
        if (!store.setValue(args.at(3) + QString::number(payload > 0 ? 0 : i), value, args.at(2)))
            return 1;
    }
    return 0;
}
