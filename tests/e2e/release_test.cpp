// The release as a person gets it: the zip unpacked into a folder whose name
// holds Chinese characters and a blank (unpack_release.sh does that and names
// the folder in VELMORA_RELEASE_DIR), and the version its program carries.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/e2e/end_to_end.h"
#include "tests/support/child_process.h"

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

std::string ReleaseFile(const std::string& name) {
    return driver::ReadWholeFile(ReleaseFolder() + "\\" + name);
}

size_t Occurrences(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
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

// Notepad takes a text with a byte-order mark as UTF-8 and wants CR LF.
TEST(ReleaseContents, TheGuideIsATextNotepadReads) {
    const std::string guide = ReleaseFile("README.txt");
    ASSERT_GE(guide.size(), 3u);
    EXPECT_EQ("\xEF\xBB\xBF", guide.substr(0, 3));
    EXPECT_EQ(1u, Occurrences(guide, "Velmora " VELMORA_VERSION "\r\n"));
    EXPECT_EQ(1u, Occurrences(guide, u8"## 使用说明\r\n"));
    EXPECT_EQ(1u, Occurrences(guide, "## User guide\r\n"));
    EXPECT_EQ(Occurrences(guide, "\n"), Occurrences(guide, "\r\n"));
}

// Each licence once, and only the texts of what is linked or shipped.
TEST(ReleaseContents, EachLicenceIsThereOnce) {
    const struct {
        const char* file;
        const char* phrase;
    } licences[] = {
        {"ffmpeg-LGPL-2.1.txt", "Version 2.1, February 1999"},
        {"ffmpeg-SOURCE.txt", "--enable-w32threads"},
        {"zlib.txt", "Upstream-Name: zlib"},
        {"libpng.txt", "PNG Reference Library License version 2"},
        {"libjpeg-turbo.txt", "The Modified (3-clause) BSD License, which is listed below"},
        {"libjpeg-turbo.txt", "The Independent JPEG Group's JPEG software"},
        {"mingw-w64-runtime.txt", "Files: mingw-w64-libraries/winpthreads/*"},
        {"gcc-runtime.txt", "GCC RUNTIME LIBRARY EXCEPTION"},
    };
    for (const auto& licence : licences) {
        EXPECT_EQ(
            1u, Occurrences(ReleaseFile(std::string("licenses\\") + licence.file), licence.phrase))
            << licence.file << ": " << licence.phrase;
    }
    // libpng's contributions carry licences of their own; none of them is ours.
    EXPECT_EQ(0u, Occurrences(ReleaseFile("licenses\\libpng.txt"),
                              "Copyright (c) 1998-2008 Greg Roelofs"));
}

}  // namespace
}  // namespace e2e
