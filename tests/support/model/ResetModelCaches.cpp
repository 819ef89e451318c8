// Every test of a suite that links the model starts from the same process
// state, whatever ran before it: the caches the program builds once per
// process are put back before each test. The shared key table starts from
// the U.S. layout, so no result depends on the machine's layout.
#include "model/KSCShortcut.h"
#include "model/KeyEquivalentTable.h"
#include "model/SupportDirectory.h"
#include "model/UsageCounters.h"
#include "platform/testing/FixedKeyboardLayout.h"

#include <gtest/gtest.h>

namespace {

class ResetModelCaches : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        static const qrv::testing::FixedKeyboardLayout us = qrv::testing::FixedKeyboardLayout::us();
        qrv::KeyEquivalentTable::installShared(us);
        qrv::KSCShortcut::resetSwitches();
        qrv::usage::resetSession();
        qrv::resetSupportDirectories();
    }
};

[[maybe_unused]] const bool kInstalled = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ResetModelCaches);
    return true;
}();

} // namespace
