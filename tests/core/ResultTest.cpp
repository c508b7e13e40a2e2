// Result<T>: a value or the failure that says why, and nothing in between.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Result.h"

namespace vantrel {
namespace {

Result<std::vector<int>> Digits(const std::string& text) {
    std::vector<int> digits;
    for (const char c : text) {
        if (c < '0' || c > '9') return Status::Error("not a digit: " + std::string(1, c));
        digits.push_back(c - '0');
    }
    return digits;
}

TEST(Result, HoldsTheValueOrTheReason) {
    const auto good = Digits("407");
    ASSERT_TRUE(good.ok());
    EXPECT_TRUE(good.status().ok());
    EXPECT_EQ(*good, (std::vector<int>{4, 0, 7}));
    EXPECT_EQ(good->size(), 3u);

    const auto bad = Digits("4x7");
    EXPECT_FALSE(bad.ok());
    EXPECT_FALSE(bad);
    EXPECT_FALSE(bad.status().ok());
    EXPECT_EQ(bad.message(), "not a digit: x");
    EXPECT_EQ(bad.ValueOr({9}), std::vector<int>{9});
    EXPECT_EQ(good.ValueOr({9}), (std::vector<int>{4, 0, 7}));
}

TEST(Result, AnOkStatusGivenAsTheFailureStillFails) {
    const Result<int> odd(Status::Ok());
    EXPECT_FALSE(odd.ok());
    EXPECT_FALSE(odd.status().ok());  // never a result that is neither a value nor a failure
}

TEST(Result, CarriesValuesThatOnlyMove) {
    Result<std::unique_ptr<int>> owned(std::make_unique<int>(5));
    ASSERT_TRUE(owned.ok());
    const std::unique_ptr<int> taken = *std::move(owned);
    EXPECT_EQ(*taken, 5);
}

}  // namespace
}  // namespace vantrel
