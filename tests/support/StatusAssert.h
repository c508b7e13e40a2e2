#pragma once
// Status in assertions: EXPECT_TRUE(test::Ok(status)) prints the message of
// a failure, EXPECT_TRUE(test::Failed(status)) says when it succeeded.

#include <gtest/gtest.h>

#include "core/Status.h"

namespace vantrel::test {

inline ::testing::AssertionResult Ok(const Status& status) {
    if (status.ok()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "failed: " << status.message();
}

inline ::testing::AssertionResult Failed(const Status& status) {
    if (!status.ok()) return ::testing::AssertionSuccess() << status.message();
    return ::testing::AssertionFailure() << "succeeded";
}

}  // namespace vantrel::test
