#include "shell/UPDApplicationInfo.h"

#include "platform/Images.h"

#include <QGuiApplication>
#include <mutex>

namespace qrv {
namespace {

constexpr BWSelector<QIcon(const QVariantMap&)> bw_bestIconForHost{"bw_bestIconForHost:"};

// The updater's own lookup: the theme's icon of the host's icon name, else the
// application's window icon.
QIcon updaterBestIcon(const QVariantMap& hostInfo) {
    if (!canMakeIcons())
        return {};
    for (const char* key : {"CFBundleIconName", "CFBundleIconFile"}) {
        const QString name = hostInfo.value(QLatin1String(key)).toString();
        if (!name.isEmpty() && QIcon::hasThemeIcon(name))
            return QIcon::fromTheme(name);
    }
    return QGuiApplication::windowIcon();
}

QIcon replacementBestIcon(const QVariantMap& hostInfo) {
    const QVariant name = hostInfo.value(QStringLiteral("CFBundleIconName"));
    if (name.typeId() != QMetaType::QString)
        return {};
    const QIcon image = imageNamed(name.toString());
    if (!image.isNull())
        return image;
    return UPDApplicationInfo::infoClass().send(bw_bestIconForHost, hostInfo);
}

} // namespace

BWClass& UPDApplicationInfo::infoClass() {
    static BWClass& table = []() -> BWClass& {
        BWClass& c = BWClass::named("UPDApplicationInfo");
        c.addMethod(bestIconForHostSelector, &updaterBestIcon);
        return c;
    }();
    return table;
}

QIcon UPDApplicationInfo::bestIconForHost(const QVariantMap& hostInfo) {
    return infoClass().send(bestIconForHostSelector, hostInfo);
}

void installUpdaterIconReplacement() {
    static std::once_flag once;
    std::call_once(once, [] {
        BWClass& c = UPDApplicationInfo::infoClass();
        c.addMethod(bw_bestIconForHost, &replacementBestIcon);
        // Without the replacement the updater shows its own choice: not fatal.
        (void)c.bw_swizzleMethod(UPDApplicationInfo::bestIconForHostSelector, bw_bestIconForHost,
                                 nullptr);
    });
}

} // namespace qrv
