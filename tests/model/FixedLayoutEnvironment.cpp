// The process-wide key-text table is built once, from the layout installed at
// that moment. Build it from the fixed U.S. table before any test runs, so no
// result depends on the machine's layout or on the order of the tests.
#include "model/KeyEquivalentTable.h"
#include "platform/Platform.h"
#include "platform/testing/FixedKeyboardLayout.h"

#include <gtest/gtest.h>

namespace {

class FixedLayoutEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        static qrv::testing::FixedKeyboardLayout layout = qrv::testing::FixedKeyboardLayout::us();
        qrv::platform().keyboardLayout = &layout;
        (void)qrv::KeyEquivalentTable::shared();
    }
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new FixedLayoutEnvironment);

} // namespace
