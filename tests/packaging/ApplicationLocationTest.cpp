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

TEST(ApplicationLocation, OnlyTheWholeBundleLayoutMakesABundleWhichKeepsItsResourcesInside) {
    // Wherever the folder was unpacked: spaces, quotes and a dollar sign included.
    const QString bundle = u"/home/ann/My \"Down's\" $HOME/Quorvane.app"_s;
    const QString nested = u"/A.app/Contents/Resources/B.app"_s;
    const struct {
        QString executable, bundlePath, dataDirectory;
    } cases[] = {
        {bundle + u"/Contents/MacOS/quorvane"_s, bundle, bundle + u"/Contents/Resources"_s},
        // The command-line tool beside it belongs to the same folder.
        {bundle + u"/Contents/MacOS/quorvane-cli"_s, bundle, bundle + u"/Contents/Resources"_s},
        // A nested bundle is the innermost one: the folder the executable runs from.
        {nested + u"/Contents/MacOS/b"_s, nested, nested + u"/Contents/Resources"_s},
        // An installed tree keeps its data beside bin.
        {u"/usr/bin/quorvane"_s, {}, u"/usr/share"_s},
        {u"/opt/my apps/q/bin/quorvane"_s, {}, u"/opt/my apps/q/share"_s},
        // Folders that look a little like a bundle are plain folders.
        {u"/x/Quorvane.app/MacOS/quorvane"_s, {}, u"/x/Quorvane.app/share"_s}, // no Contents
        {u"/x/Quorvane/Contents/MacOS/quorvane"_s, {}, u"/x/Quorvane/Contents/share"_s},
        {u"/x/Quorvane.app/Contents/bin/quorvane"_s, {}, u"/x/Quorvane.app/Contents/share"_s},
        {u"/x/Quorvane.app/Contents/MacOS/sub/quorvane"_s,
         {},
         u"/x/Quorvane.app/Contents/MacOS/share"_s},
        {u"/x/Quorvane.application/Contents/MacOS/quorvane"_s,
         {},
         u"/x/Quorvane.application/Contents/share"_s},
    };
    for (const auto& c : cases) {
        const auto location = ApplicationLocation::forExecutable(c.executable);
        EXPECT_EQ(location.bundlePath, c.bundlePath) << c.executable.toStdString();
        EXPECT_EQ(location.dataDirectory, c.dataDirectory) << c.executable.toStdString();
    }
    // Relative and unclean paths come out absolute and clean.
    const auto relative = ApplicationLocation::forExecutable(u"Q.app/Contents/MacOS/../MacOS/q"_s);
    EXPECT_EQ(relative.bundlePath, QDir::current().absoluteFilePath(u"Q.app"_s));
}

TEST(ApplicationLocation, TheIconHasEverySizeTheDataFolderHolds) {
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    const auto savePng = [&](int size, const QString& name, Qt::GlobalColor color) {
        const QString folder = data.filePath(QStringLiteral("icons/hicolor/%1x%1/apps").arg(size));
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(color);
        return QDir().mkpath(folder) && image.save(folder + '/' + name + u".png"_s);
    };
    for (int size : {16, 48, 256})
        ASSERT_TRUE(savePng(size, QString::fromLatin1(appinfo::kBundleIdentifier), Qt::blue));
    // Another application's icon in the same theme is not ours.
    ASSERT_TRUE(savePng(32, u"org.example.Other"_s, Qt::red));

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
