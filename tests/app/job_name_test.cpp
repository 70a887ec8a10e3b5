#include "app/job_name.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

#include "tests/support/local_clock.h"

namespace {

TEST(JobName, Md5OfKnownTexts) {
    EXPECT_EQ("D41D8CD98F00B204E9800998ECF8427E", app::Md5Hex(""));
    EXPECT_EQ("E807F1FCF82D132F9BB018CA6738A19F", app::Md5Hex("1234567890"));
}

// Today's seconds have ten digits, so they fill the text and the milliseconds fall off.
TEST(JobName, UnixTimeTextIsTheSecondsSince0800) {
    const long long before = support::LocalSecondsSince0800();
    const std::string text = app::UnixTimeText();
    const long long after = support::LocalSecondsSince0800();
    ASSERT_EQ(10u, text.size());
    const long long seconds = std::atoll(text.c_str());
    EXPECT_TRUE(seconds >= before && seconds <= after)
        << text << " not in " << before << ".." << after;
}

TEST(JobName, IsSixteenLowerCaseHexDigitsFromTheDigestsMiddle) {
    // MD5("1234567890") = E807F1FC F82D132F 9BB018CA 6738A19F.
    EXPECT_EQ("f82d132f9bb018ca", app::JobNameOf("1234567890"));
}

TEST(JobName, TheNextTimeTextIsOneGreater) {
    const std::pair<const char*, const char*> rows[] = {{"1796825467", "1796825468"},
                                                        {"1796825469", "1796825470"},
                                                        {"1799999999", "1800000000"},
                                                        {"9999999999", "10000000000"}};
    for (const auto& [text, next] : rows) EXPECT_EQ(next, app::NextTimeText(text)) << text;
}

}  // namespace
