#include "support/TempHome.h"

#include <QDir>
#include <gtest/gtest.h>

namespace qrv::testing {

TempHome::TempHome()
    : m_dir(QDir::tempPath() + QStringLiteral("/quorvane-test-XXXXXX")) {
    m_path = m_dir.path();
    QDir().mkpath(m_path + QStringLiteral("/Library/Preferences"));
}

TempHome::~TempHome() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    if (info && info->result() && info->result()->Failed()) {
        m_dir.setAutoRemove(false);
        std::fprintf(stderr, "Kept the test home of the failed test: %s\n", qPrintable(m_path));
    }
}

} // namespace qrv::testing
