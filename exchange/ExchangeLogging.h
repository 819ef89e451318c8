#pragma once

#include <QLoggingCategory>

// Exchange files and edit requests: "qrv.exchange".
Q_DECLARE_LOGGING_CATEGORY(lcExchange)
