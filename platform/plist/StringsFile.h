#pragma once

#include "platform/Result.h"

#include <QByteArray>
#include <QVariantMap>

namespace qrv::plist {

// Reads a strings file (the text form `"key" = "value";` with comments, in
// UTF-8 or UTF-16, or a property-list dictionary of strings), as bundles keep
// their localized texts. Errors name the line.
Result<QVariantMap> decodeStrings(const QByteArray& bytes);

} // namespace qrv::plist
