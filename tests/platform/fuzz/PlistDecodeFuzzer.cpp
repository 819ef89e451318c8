// libFuzzer entry for the property-list reader (build with -DQRV_FUZZ=ON and
// clang). Whatever the bytes, decoding returns; what it returns encodes again
// and reads back as the same value. Inputs that ever failed belong in
// tests/platform/data/hostile/, which the unit tests replay.
#include "platform/plist/PlistCodec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto decoded = qrv::plist::decode(bytes);
    if (!decoded)
        return 0;
    const auto encoded = qrv::plist::encode(*decoded);
    if (!encoded)
        std::abort(); // everything read has a binary form
    const auto again = qrv::plist::decode(*encoded);
    if (!again || *again != *decoded) {
        // NaN never equals itself; anything else must survive the round trip.
        if (!again || again->toString() != decoded->toString())
            std::abort();
    }
    return 0;
}
