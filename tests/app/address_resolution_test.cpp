// Reference resolution against the examples of RFC 3986 section 5.4, and local
// paths resolved the same way.
#include "app/address_resolution.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using Cases = std::vector<std::pair<const char*, const char*>>;

void ExpectResolved(const Cases& cases) {
    for (const auto& c : cases) {
        EXPECT_EQ(c.second, app::ResolveReference("http://a/b/c/d;p?q", c.first)) << c.first;
    }
}

TEST(AddressResolution, NormalExamplesOfRfc3986) {
    ExpectResolved({{"g:h", "g:h"},
                    {"g", "http://a/b/c/g"},
                    {"./g", "http://a/b/c/g"},
                    {"g/", "http://a/b/c/g/"},
                    {"/g", "http://a/g"},
                    {"//g", "http://g"},
                    {"?y", "http://a/b/c/d;p?y"},
                    {"g?y", "http://a/b/c/g?y"},
                    {"#s", "http://a/b/c/d;p?q#s"},
                    {"g#s", "http://a/b/c/g#s"},
                    {"g?y#s", "http://a/b/c/g?y#s"},
                    {";x", "http://a/b/c/;x"},
                    {"g;x", "http://a/b/c/g;x"},
                    {"g;x?y#s", "http://a/b/c/g;x?y#s"},
                    {"", "http://a/b/c/d;p?q"},
                    {".", "http://a/b/c/"},
                    {"./", "http://a/b/c/"},
                    {"..", "http://a/b/"},
                    {"../", "http://a/b/"},
                    {"../g", "http://a/b/g"},
                    {"../..", "http://a/"},
                    {"../../", "http://a/"},
                    {"../../g", "http://a/g"}});
}

TEST(AddressResolution, AbnormalExamplesOfRfc3986) {
    ExpectResolved({{"../../../g", "http://a/g"},
                    {"../../../../g", "http://a/g"},
                    {"/./g", "http://a/g"},
                    {"/../g", "http://a/g"},
                    {"g.", "http://a/b/c/g."},
                    {".g", "http://a/b/c/.g"},
                    {"g..", "http://a/b/c/g.."},
                    {"..g", "http://a/b/c/..g"},
                    {"./../g", "http://a/b/g"},
                    {"./g/.", "http://a/b/c/g/"},
                    {"g/./h", "http://a/b/c/g/h"},
                    {"g/../h", "http://a/b/c/h"},
                    {"g;x=1/./y", "http://a/b/c/g;x=1/y"},
                    {"g;x=1/../y", "http://a/b/c/y"},
                    {"g?y/./x", "http://a/b/c/g?y/./x"},
                    {"g?y/../x", "http://a/b/c/g?y/../x"},
                    {"g#s/./x", "http://a/b/c/g#s/./x"},
                    {"g#s/../x", "http://a/b/c/g#s/../x"},
                    {"http:g", "http:g"}});
}

TEST(AddressResolution, LocalPathsResolveTheirWay) {
    EXPECT_EQ("C:\\视频\\high\\index.m3u8",
              app::ResolveAgainstFile("C:\\视频\\masters\\master.m3u8", "../high/index.m3u8"));
    EXPECT_EQ("C:\\视频\\masters\\low.m3u8",
              app::ResolveAgainstFile("C:\\视频\\masters\\master.m3u8", "low.m3u8"));
    EXPECT_EQ("D:\\other.m3u8", app::ResolveAgainstFile("C:\\a\\m.m3u8", "D:\\other.m3u8"));
    EXPECT_EQ("http://h/v.m3u8", app::ResolveAgainstFile("C:\\a\\m.m3u8", "http://h/v.m3u8"));
    EXPECT_EQ("\\\\server\\share\\v.m3u8",
              app::ResolveAgainstFile("\\\\server\\share\\m.m3u8", "v.m3u8"));
    EXPECT_EQ("C:\\第#1集\\seg 0.ts", app::ResolveAgainstFile("C:\\第#1集\\list.m3u8", "seg 0.ts"))
        << "a # in a folder's name";
}

}  // namespace
