#pragma once
// A check that cannot run on this machine (its tool is missing) is skipped
// with the reason, except where every check must run
// (ZORVELT_REQUIRE_ALL_TOOLS=1, as `make check` sets it): there it fails.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string_view>

namespace test_support {

inline bool EveryCheckMustRun() {
    const char* value = std::getenv("ZORVELT_REQUIRE_ALL_TOOLS");
    return value != nullptr && std::string_view(value) == "1";
}

}  // namespace test_support

// Returns from the calling function, as GTEST_SKIP and GTEST_FAIL do.
#define ZORVELT_SKIP(reason)                                                                            \
    do {                                                                                                \
        if (::test_support::EveryCheckMustRun()) {                                                      \
            GTEST_FAIL() << reason << " (ZORVELT_REQUIRE_ALL_TOOLS=1: every check must run)";          \
        } else {                                                                                        \
            GTEST_SKIP() << reason;                                                                     \
        }                                                                                               \
    } while (false)
