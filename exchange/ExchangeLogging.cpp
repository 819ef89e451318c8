#include "exchange/ExchangeLogging.h"

Q_LOGGING_CATEGORY(lcExchange, "qrv.exchange")
