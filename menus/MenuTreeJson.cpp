#include "menus/MenuTreeJson.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace qrv {

namespace {

const QString kTitle = QStringLiteral("title");
const QString kKey = QStringLiteral("key");
const QString kChildren = QStringLiteral("children");

QString tr(const char* text) {
    return QCoreApplication::translate("MenuTreeJson", text);
}

// "line L, column C" of a byte offset (columns count characters, from 1).
QString position(const QByteArray& text, qsizetype offset) {
    offset = std::clamp<qsizetype>(offset, 0, text.size());
    const QByteArrayView before(text.constData(), offset);
    const qsizetype lineStart = before.lastIndexOf('\n') + 1;
    const qsizetype line = before.count('\n') + 1;
    const qsizetype column = QString::fromUtf8(before.sliced(lineStart)).size() + 1;
    return tr("line %1, column %2").arg(line).arg(column);
}

struct Reader {
    std::optional<QString> problem;

    QRVMenuItemList items(const QJsonArray& array, const QString& where,
                          const QRVMenuItemPtr& parent) {
        QRVMenuItemList out;
        for (qsizetype i = 0; i < array.size() && !problem; ++i)
            if (QRVMenuItemPtr made =
                    item(array.at(i), QStringLiteral("%1[%2]").arg(where).arg(i), parent))
                out << made;
        return out;
    }

    QRVMenuItemPtr item(const QJsonValue& value, const QString& where,
                        const QRVMenuItemPtr& parent) {
        if (!value.isObject())
            return fail(tr("%1 is not an object with a \"title\"").arg(where));
        const QJsonObject object = value.toObject();
        const QJsonValue title = object.value(kTitle);
        if (!title.isString())
            return fail(tr("%1.title is missing or not a string").arg(where));
        const QJsonValue key = object.value(kKey);
        if (!key.isUndefined() && !key.isString())
            return fail(tr("%1.key is not a string").arg(where));
        const QJsonValue children = object.value(kChildren);
        if (!children.isUndefined() && !children.isArray())
            return fail(tr("%1.children is not an array").arg(where));

        auto made = std::make_shared<QRVMenuItem>();
        made->setTitle(title.toString());
        if (key.isString() && !key.toString().isEmpty())
            made->setKeyEquivalent(key.toString());
        if (parent)
            made->setParent(parent);
        made->setChildren(items(children.toArray(), where + QLatin1Char('.') + kChildren, made));
        return made;
    }

    QRVMenuItemPtr fail(QString message) {
        problem = std::move(message);
        return nullptr;
    }
};

} // namespace

QJsonArray MenuTreeJson::toJson(const QRVMenuItemList& menuBar) {
    QJsonArray array;
    for (const QRVMenuItemPtr& item : menuBar) {
        QJsonObject object{{kTitle, item->title()}};
        if (!item->keyEquivalent().isEmpty())
            object.insert(kKey, item->keyEquivalent());
        if (!item->children().isEmpty())
            object.insert(kChildren, toJson(item->children()));
        array.append(object);
    }
    return array;
}

Result<QRVMenuItemList> MenuTreeJson::fromJson(const QByteArray& text) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        return makeError(
            tr("not valid JSON at %1: %2").arg(position(text, error.offset), error.errorString()));
    if (!document.isArray())
        return makeError(tr("expected an array of the menu bar's items, found an object"));
    Reader reader;
    QRVMenuItemList menuBar = reader.items(document.array(), QString(), nullptr);
    if (reader.problem)
        return makeError(*reader.problem);
    return menuBar;
}

Result<QRVMenuItemList> MenuTreeJson::fromFile(const QString& path) {
    if (QFileInfo(path).isDir())
        return makeError(tr("%1 is a folder").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return makeError(tr("cannot read %1: %2").arg(path, file.errorString()));
    auto menuBar = fromJson(file.readAll());
    if (!menuBar)
        return makeError(QStringLiteral("%1: %2").arg(path, menuBar.error()));
    return menuBar;
}

} // namespace qrv
