#include "shell/UPDAppcast.h"

#include "platform/HttpTransport.h"
#include "shell/UPDVersionComparator.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

namespace qrv {
namespace {

QString tr(const char* text) {
    return QCoreApplication::translate("UPDAppcast", text);
}

// A download or notes page the feed names: HTTPS, or plain HTTP to this
// machine (a test's server), never a plain-HTTP download from elsewhere that
// anyone on the way could replace.
bool isSoundLink(const QUrl& url) {
    return HttpTransport::isAllowedUrl(url);
}

// Reads one <item>; answers why it cannot be used, or an empty string.
QString readItem(QXmlStreamReader& xml, UPDAppcastItem& item) {
    bool hasEnclosure = false;
    QString enclosureLength;
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        const bool ours = xml.namespaceUri() == UPDAppcast::kNamespace;
        if (name == QLatin1String("title") && xml.namespaceUri().isEmpty()) {
            item.title = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (name == QLatin1String("description") && xml.namespaceUri().isEmpty()) {
            item.itemDescription = xml.readElementText(QXmlStreamReader::IncludeChildElements);
        } else if (ours && name == QLatin1String("version")) {
            item.version = xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (ours && name == QLatin1String("shortVersionString")) {
            item.shortVersionString =
                xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (ours && name == QLatin1String("releaseNotesLink")) {
            item.releaseNotesLink =
                QUrl(xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed(),
                     QUrl::StrictMode);
        } else if (name == QLatin1String("enclosure") && xml.namespaceUri().isEmpty()) {
            hasEnclosure = true;
            item.enclosureUrl =
                QUrl(xml.attributes().value(QLatin1String("url")).toString().trimmed(),
                     QUrl::StrictMode);
            enclosureLength = xml.attributes().value(QLatin1String("length")).toString().trimmed();
            xml.skipCurrentElement();
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError())
        return {};
    if (item.version.isEmpty())
        return tr("an entry has no version.");
    if (!hasEnclosure || !isSoundLink(item.enclosureUrl))
        return tr("the entry for version %1 has no valid download address.").arg(item.version);
    if (!enclosureLength.isEmpty()) {
        bool ok = false;
        item.enclosureLength = enclosureLength.toLongLong(&ok);
        if (!ok || item.enclosureLength < 0)
            return tr("the entry for version %1 gives \"%2\" as its download size, which is "
                      "not a number.")
                .arg(item.version, enclosureLength.left(40));
    }
    if (!item.releaseNotesLink.isEmpty() && !isSoundLink(item.releaseNotesLink))
        item.releaseNotesLink.clear(); // the notes are a courtesy, the release still counts
    return {};
}

} // namespace

Result<UPDAppcast> UPDAppcast::parse(const QByteArray& document) {
    if (document.size() > kMaximumBytes)
        return makeError(tr("The update feed is too large (%1 bytes; at most %2 are read).")
                             .arg(document.size())
                             .arg(kMaximumBytes));
    if (document.trimmed().isEmpty())
        return makeError(tr("The update feed is empty."));

    QXmlStreamReader xml(document);
    // The reader caps entity expansion, so a feed built to blow up in memory
    // ends as an XML error below.
    UPDAppcast appcast;
    QString firstProblem;
    int itemsSeen = 0;
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("rss"))
        return makeError(xml.hasError() ? tr("The update feed is not valid XML: %1 (line %2).")
                                              .arg(xml.errorString())
                                              .arg(xml.lineNumber())
                                        : tr("The update feed is not an RSS document."));
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("channel")) {
            xml.skipCurrentElement();
            continue;
        }
        while (xml.readNextStartElement()) {
            if (xml.name() != QLatin1String("item")) {
                xml.skipCurrentElement();
                continue;
            }
            if (++itemsSeen > kMaximumItems)
                return makeError(
                    tr("The update feed has more than %1 entries.").arg(kMaximumItems));
            UPDAppcastItem item;
            const QString problem = readItem(xml, item);
            if (xml.hasError())
                break;
            if (problem.isEmpty())
                appcast.items.append(item);
            else if (firstProblem.isEmpty())
                firstProblem = problem;
        }
    }
    if (xml.hasError())
        return makeError(tr("The update feed is not valid XML: %1 (line %2).")
                             .arg(xml.errorString())
                             .arg(xml.lineNumber()));
    if (appcast.items.isEmpty() && !firstProblem.isEmpty())
        return makeError(tr("The update feed has no usable entry: %1").arg(firstProblem));
    return appcast;
}

const UPDAppcastItem* UPDAppcast::newestItem() const {
    const UPDAppcastItem* newest = nullptr;
    for (const UPDAppcastItem& item : items)
        if (!newest || UPDVersionComparator::compareVersions(item.version, newest->version) > 0)
            newest = &item;
    return newest;
}

} // namespace qrv
