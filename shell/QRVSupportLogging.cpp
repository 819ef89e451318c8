#include "shell/QRVSupportLogging.h"

Q_LOGGING_CATEGORY(lcSupport, "qrv.support")
Q_LOGGING_CATEGORY(lcUpdates, "qrv.updates")
