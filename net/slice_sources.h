// Where the slices of a job's resources come from (#EXT-X-BYTERANGE): the
// server, asked with Range for each slice; or, once a server has answered a
// Range request with the whole resource (200), that copy, kept in the job
// folder, so that the resource is fetched once in the job whatever its
// number of slices.
//
// Threads: any worker of the job's pools may fetch through it at once. The
// first request for a resource goes alone, until its answer shows whether
// the server honours Range; later ones go side by side.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "net/byte_range.h"
#include "net/http_get.h"

namespace net {

class SliceSources {
  public:
    // Whole resources are kept in `directory`, which ends with a backslash.
    explicit SliceSources(std::string directory);
    SliceSources(const SliceSources&) = delete;
    SliceSources& operator=(const SliceSources&) = delete;

    // A GET of the resource that asks for the slice with Range, its body
    // into the slice's file; `wholeResource` tells when the answer brought
    // the whole resource instead.
    using RangedGet = std::function<GetOutcome(bool* wholeResource)>;

    // Fetches the slice of the web resource at `address` into `file`, as one
    // try of a segment, with `get` when the server must be asked; `failure`
    // says why it failed.
    GetOutcome Fetch(const std::string& address, const ByteRange& range, const std::string& file,
                     const RangedGet& get, std::string* failure);

  private:
    struct Source {
        enum class Answers { kUnknown, kSlices, kWholeResource };
        std::mutex lock;  // held by the request that finds out how the server answers
        Answers answers = Answers::kUnknown;
        std::string wholeFile;  // with kWholeResource
    };

    Source& SourceOf(const std::string& address);

    const std::string directory_;
    std::mutex tableLock_;
    std::map<std::string, std::unique_ptr<Source>> sources_;  // by address
    int wholeFiles_ = 0;                                      // under tableLock_
};

// Copies the slice of the local file `from` into `file`; fails when the file
// is shorter than the slice's end. Gives up between its pieces once
// transfers are stopped.
GetOutcome CopySlice(const std::string& from, const ByteRange& range, const std::string& file,
                     std::string* failure);

}  // namespace net
