// The release as a person gets it: the zip unpacked into a folder whose name
// holds Chinese characters and a blank (unpack_release.sh does that and names
// the folder in VELMORA_RELEASE_DIR), and the version its program carries.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/end_to_end.h"

namespace e2e {
namespace {

std::string ReleaseFolder() {
    const char* folder = std::getenv("VELMORA_RELEASE_DIR");
    return folder ? folder : "";
}

// A text of the version resource's Simplified Chinese, Unicode block.
std::string VersionText(const std::vector<char>& resource, const std::string& name) {
    void* value = nullptr;
    UINT length = 0;
    const std::string path = "\\StringFileInfo\\080404B0\\" + name;
    if (!::VerQueryValueA(resource.data(), path.c_str(), &value, &length) || length == 0) return {};
    return static_cast<const char*>(value);
}

using Release = VelmoraEndToEnd;

TEST_F(Release, TheUnpackedProgramDownloadsIntoItsOwnFolder) {
    const std::string folder = ReleaseFolder();
    ASSERT_NE(std::string::npos, folder.find("发布 ")) << folder;
    StartIn(RunDirectory::Existing(folder));
    DownloadAll(Server() + "plain/relative/index.m3u8", {true, true, true});
    ExpectVideo(folder + "\\Data\\output.mp4", kSampleSeconds);
}

TEST(ReleaseVersion, TheProgramCarriesTheProjectsVersion) {
    const std::string program = ReleaseFolder() + "\\Velmora.exe";
    const DWORD size = ::GetFileVersionInfoSizeA(program.c_str(), nullptr);
    ASSERT_NE(0u, size) << program;
    std::vector<char> resource(size);
    ASSERT_TRUE(::GetFileVersionInfoA(program.c_str(), 0, size, resource.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(resource.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(static_cast<DWORD>(VELMORA_VERSION_MAJOR << 16 | VELMORA_VERSION_MINOR),
              fixed->dwFileVersionMS);
    EXPECT_EQ(static_cast<DWORD>(VELMORA_VERSION_PATCH << 16), fixed->dwFileVersionLS);
    EXPECT_EQ(VELMORA_VERSION, VersionText(resource, "FileVersion"));
    EXPECT_EQ(VELMORA_VERSION, VersionText(resource, "ProductVersion"));
    EXPECT_EQ("Velmora", VersionText(resource, "ProductName"));
    EXPECT_EQ("Velmora M3U8 downloader", VersionText(resource, "FileDescription"));
}

}  // namespace
}  // namespace e2e
