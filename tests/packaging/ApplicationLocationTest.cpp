#include "platform/ApplicationLocation.h"

#include "platform/AppInfo.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace qrv;
using namespace Qt::StringLiterals;

namespace {

TEST(ApplicationLocation, AnApplicationFolderKeepsItsResourcesInside) {
    // Wherever the folder was unpacked: spaces, quotes and a dollar sign included.
    const QString bundle = u"/home/ann/My \"Down's\" $HOME/Quorvane.app"_s;
    const auto location =
        ApplicationLocation::forExecutable(bundle + u"/Contents/MacOS/quorvane"_s);
    EXPECT_EQ(location.bundlePath, bundle);
    EXPECT_EQ(location.dataDirectory, bundle + u"/Contents/Resources"_s);

    // The command-line tool beside it belongs to the same folder.
    EXPECT_EQ(
        ApplicationLocation::forExecutable(bundle + u"/Contents/MacOS/quorvane-cli"_s).bundlePath,
        bundle);
}

TEST(ApplicationLocation, AnInstalledTreeKeepsItsDataBesideBin) {
    for (const QString& prefix : {QStringLiteral("/usr"), QStringLiteral("/opt/my apps/q"),
                                  QStringLiteral("/work/build")}) {
        const auto location = ApplicationLocation::forExecutable(prefix + u"/bin/quorvane"_s);
        EXPECT_TRUE(location.bundlePath.isEmpty()) << prefix.toStdString();
        EXPECT_EQ(location.dataDirectory, prefix + u"/share"_s) << prefix.toStdString();
    }
}

TEST(ApplicationLocation, OnlyTheWholeBundleLayoutMakesABundle) {
    // Folders that look a little like a bundle are plain folders.
    for (const QString& executable :
         {QStringLiteral("/x/Quorvane.app/MacOS/quorvane"),        // no Contents
          QStringLiteral("/x/Quorvane/Contents/MacOS/quorvane"),   // not a .app
          QStringLiteral("/x/Quorvane.app/Contents/bin/quorvane"), // not MacOS
          QStringLiteral("/x/Quorvane.app/Contents/MacOS/sub/quorvane"),
          QStringLiteral("/x/Quorvane.application/Contents/MacOS/quorvane")}) {
        const auto location = ApplicationLocation::forExecutable(executable);
        EXPECT_TRUE(location.bundlePath.isEmpty()) << executable.toStdString();
        EXPECT_TRUE(location.dataDirectory.endsWith(u"/share"_s)) << executable.toStdString();
    }
    // A nested bundle is the innermost one: that is the folder the executable runs from.
    EXPECT_EQ(
        ApplicationLocation::forExecutable(u"/A.app/Contents/Resources/B.app/Contents/MacOS/b"_s)
            .bundlePath,
        u"/A.app/Contents/Resources/B.app"_s);
    // Relative and unclean paths come out absolute and clean.
    const auto relative = ApplicationLocation::forExecutable(u"Q.app/Contents/MacOS/../MacOS/q"_s);
    EXPECT_EQ(relative.bundlePath, QDir::current().absoluteFilePath(u"Q.app"_s));
}

TEST(ApplicationLocation, TheIconHasEverySizeTheDataFolderHolds) {
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    const QString name = QString::fromLatin1(appinfo::kBundleIdentifier);
    for (int size : {16, 48, 256}) {
        const QString folder = data.filePath(QStringLiteral("icons/hicolor/%1x%1/apps").arg(size));
        ASSERT_TRUE(QDir().mkpath(folder));
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(Qt::blue);
        ASSERT_TRUE(image.save(folder + '/' + name + u".png"_s));
    }
    // Another application's icon in the same theme is not ours.
    ASSERT_TRUE(QDir().mkpath(data.filePath(u"icons/hicolor/32x32/apps"_s)));
    QImage other(32, 32, QImage::Format_ARGB32);
    other.fill(Qt::red);
    ASSERT_TRUE(other.save(data.filePath(u"icons/hicolor/32x32/apps/org.example.Other.png"_s)));

    const QIcon icon = applicationIcon(data.path());
    ASSERT_FALSE(icon.isNull());
    QList<int> sizes;
    for (const QSize size : icon.availableSizes())
        sizes << size.width();
    std::sort(sizes.begin(), sizes.end());
    EXPECT_EQ(sizes, (QList<int>{16, 48, 256}));
    EXPECT_EQ(icon.pixmap(48).toImage().pixelColor(8, 8), QColor(Qt::blue));
}

} // namespace
