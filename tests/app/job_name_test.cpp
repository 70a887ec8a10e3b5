#include "app/job_name.h"

#include <gtest/gtest.h>

#include <cctype>
#include <ctime>

namespace {

TEST(JobName, Md5OfKnownTexts) {
    EXPECT_EQ("D41D8CD98F00B204E9800998ECF8427E", app::Md5Hex(""));
    EXPECT_EQ("E807F1FCF82D132F9BB018CA6738A19F", app::Md5Hex("1234567890"));
}

TEST(JobName, UnixTimeTextIsTenDigitsOfSecondsSince0800) {
    const std::string text = app::UnixTimeText();
    ASSERT_EQ(10u, text.size());
    for (char c : text) EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(c))) << text;
}

TEST(JobName, IsSixteenLowerCaseHexDigitsFromTheDigestsMiddle) {
    // MD5("1234567890") = E807F1FC F82D132F 9BB018CA 6738A19F.
    EXPECT_EQ("f82d132f9bb018ca", app::JobNameOf("1234567890"));
    const std::string name = app::JobName();
    ASSERT_EQ(16u, name.size());
    for (char c : name)
        EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(c)) || (c >= 'a' && c <= 'f')) << name;
}

}  // namespace
