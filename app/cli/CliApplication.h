#pragma once

#include "menus/QRVAplication.h"

namespace qrv::cli {

// The bundle identifier APP names (see below); null for all applications.
inline QString bundleIdentifierFromArgument(const QString& argument) {
    return argument == QLatin1String("-g") ? QString() : argument;
}

// APP as the store commands take it: a bundle identifier, or -g for all
// applications (the global domain).
inline QRVAplication applicationFromArgument(const QString& argument) {
    return bundleIdentifierFromArgument(argument).isNull()
               ? QRVAplication(QString(), QStringLiteral("All Applications"))
               : QRVAplication(argument, argument);
}

} // namespace qrv::cli
