#pragma once

#include <QLoggingCategory>

// Key combinations, the notation, records and the store: "qrv.model".
Q_DECLARE_LOGGING_CATEGORY(lcModel)
