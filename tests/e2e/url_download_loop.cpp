// url_download_loop: the least a downloader must do for a playlist: one
// URLDownloadToFileA per segment address, one after the other, into numbered
// files, each download's entry taken out of the system's download cache as
// Velmora does. Velmora's download phase is measured against it.
//
//   url_download_loop PLAYLIST_URL [--keep-cache | --remove-files]
// --keep-cache leaves the entries in the cache while the loop runs, as urlmon
// does unasked; they are taken out after the timing. --remove-files deletes
// each file once it arrived, so that the directory never fills up, to see
// what a full directory costs each new file.
// Prints `url_download_loop_s`, `segments` and `failed` as "name value unit".
#include <windows.h>

#include <urlmon.h>
#include <wininet.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace {

// Segment lines of the playlist, made absolute against its directory.
std::vector<std::string> SegmentAddresses(const std::string& playlistUrl, const std::string& text) {
    const std::string base = playlistUrl.substr(0, playlistUrl.rfind('/') + 1);
    std::vector<std::string> addresses;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        addresses.push_back(line.find("://") == std::string::npos ? base + line : line);
    }
    return addresses;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string option = argc == 3 ? argv[2] : "";
    const bool keepCache = option == "--keep-cache";
    const bool removeFiles = option == "--remove-files";
    if (argc < 2 || argc > 3 || (argc == 3 && !keepCache && !removeFiles)) {
        std::fprintf(stderr,
                     "usage: url_download_loop PLAYLIST_URL [--keep-cache | --remove-files]\n");
        return 1;
    }
    const std::string directory = driver::MakeTempDirectory();
    const std::string playlist = directory + "\\index.m3u8";
    if (directory.empty() ||
        ::URLDownloadToFileA(nullptr, argv[1], playlist.c_str(), 0, nullptr) != S_OK) {
        std::fprintf(stderr, "url_download_loop: cannot fetch %s\n", argv[1]);
        return 1;
    }
    const std::vector<std::string> addresses =
        SegmentAddresses(argv[1], driver::ReadWholeFile(playlist));

    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    int failed = 0;
    for (size_t i = 0; i < addresses.size(); ++i) {
        const std::string file = directory + "\\" + std::to_string(i + 1) + ".seg";
        if (::URLDownloadToFileA(nullptr, addresses[i].c_str(), file.c_str(), 0, nullptr) != S_OK) {
            ++failed;
        }
        if (!keepCache) ::DeleteUrlCacheEntryA(addresses[i].c_str());
        if (removeFiles) ::DeleteFileA(file.c_str());
    }
    ::QueryPerformanceCounter(&end);

    for (size_t i = 0; i < addresses.size(); ++i) {
        ::DeleteUrlCacheEntryA(addresses[i].c_str());
        ::DeleteFileA((directory + "\\" + std::to_string(i + 1) + ".seg").c_str());
    }
    ::DeleteFileA(playlist.c_str());
    ::RemoveDirectoryA(directory.c_str());
    std::printf("url_download_loop_s %.3f s\nsegments %zu count\nfailed %d count\n",
                static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart,
                addresses.size(), failed);
    return failed == 0 ? 0 : 1;
}
