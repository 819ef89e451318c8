#pragma once

#include "model/QRVAplication.h"

namespace qrv::cli {

// APP as the store commands take it: a bundle identifier, or -g for all
// applications (the global domain).
inline QRVAplication applicationFromArgument(const QString& argument) {
    return argument == QLatin1String("-g")
               ? QRVAplication(QString(), QStringLiteral("All Applications"))
               : QRVAplication(argument, argument);
}

} // namespace qrv::cli
