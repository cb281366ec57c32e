// SPDX-License-Identifier: MIT
#pragma once
// The one place that picks the platform of test and benchmark programs that make a
// QApplication. gtest_discover_tests runs a test program at build time, outside ctest's
// environment; with no display Qt would abort, so the offscreen platform is the default.
#include <QtGlobal>

inline void UseOffscreenPlatformByDefault() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}
