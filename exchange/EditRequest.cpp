#include "exchange/EditRequest.h"

#include "exchange/ExchangeFormat.h"
#include "model/QRVMenuShortcut.h"

namespace qrv {

EditRequest EditRequest::fromUserInfo(const QJsonObject& userInfo) {
    using namespace exchange;
    EditRequest request;
    request.isRequestOfVersion1 = isKindOfVersion1(userInfo, kKindRequest);
    const QJsonObject application =
        firstObjectOf(userInfo, key::applications).value_or(QJsonObject());
    request.bundleIdentifier = stringMember(application, key::bundleIdentifier).value_or(QString());
    request.localizedName = stringMember(application, key::localizedName);
    const QJsonObject shortcut = firstObjectOf(application, key::shortcuts).value_or(QJsonObject());
    request.title = stringMember(shortcut, key::title);
    request.parents = stringListMember(shortcut, key::parents).value_or(QStringList());
    // Writers that keep a path's empty first piece put it before the
    // outermost menu; it names no menu.
    if (!request.parents.isEmpty() && request.parents.first().isEmpty())
        request.parents.removeFirst();
    return request;
}

QString EditRequest::pathTitle() const {
    const QString itemTitle = title.value_or(QString());
    if (parents.isEmpty())
        return itemTitle;
    // The parents lost an empty first piece when they were read; what is left is kept.
    return QRVMenuShortcut::kPathSeparator +
           (parents + QStringList{itemTitle}).join(QRVMenuShortcut::kPathSeparator);
}

} // namespace qrv
