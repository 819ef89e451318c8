#pragma once

#include <QString>
#include <QUrl>

namespace qrv {

// Where the update feeds and the support service live. For tests and support
// staff, QUORVANE_UPDATE_HOST and QUORVANE_SUPPORT_HOST replace the hosts:
// a host name ("staging.example.com", "host:8443", both HTTPS) or an address
// with its scheme; plain "http://" only to a loopback address.
struct QRVServiceHosts {
    static inline const char* kUpdateHostVariable = "QUORVANE_UPDATE_HOST";
    static inline const char* kSupportHostVariable = "QUORVANE_SUPPORT_HOST";

    QUrl makerUpdateBase;     // the maker's feed: <base>/menuShortcuts/updates/cast.php
    QUrl telemetryUpdateBase; // the telemetry service's feed:
                              // <base>/v0.1/public/updates/apps/<secret>
    QUrl supportApiBase;      // support messages

    // The shipped hosts, with the environment's replacements.
    static QRVServiceHosts fromEnvironment();

    // The base address a replacement names; invalid (with a warning) when
    // it is unusable, so the shipped host stays.
    static QUrl parseHost(const QString& value);
};

} // namespace qrv
