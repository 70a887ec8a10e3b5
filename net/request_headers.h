// The headers a person gives the job's requests (a browser's, pasted as a
// cURL command): sent with every GET of the process from the time they are
// set, besides the program's own. The credentials among them go only to the
// host they came with, as a browser scopes a host-only cookie.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace net {

struct RequestHeader {
    std::string name;
    std::string value;
};

// Whether two header names (or host names) are the same, case aside.
bool SameName(const std::string& a, const std::string& b);

// Headers the program sets itself for every request, which no one else's
// value may replace: Host, Content-Length, Connection, Accept-Encoding, Range
// and If-*.
bool IsSetByProgram(const std::string& name);

// Whether a header may go out as given: a name of token characters that the
// program does not set itself, and a value without a line break or NUL
// that would end the header early and start another.
bool IsForwardable(const RequestHeader& header);

// Cookie and Authorization: for the owner's host alone.
bool IsCredential(const std::string& name);

class RequestHeaders {
  public:
    RequestHeaders() = default;
    // Keeps the forwardable headers; the credentials go to the host of
    // `ownerAddress` only, at any port.
    RequestHeaders(std::vector<RequestHeader> headers, const std::string& ownerAddress);

    bool HasCredentialsFor(const std::string& host) const;
    // The header lines for a request to `host`, each ending in CR LF.
    std::string LinesFor(const std::string& host) const;

  private:
    bool Reaches(const RequestHeader& header, const std::string& host) const;

    std::vector<RequestHeader> headers_;
    std::string ownerHost_;
};

// The headers every GET started from now on carries; set by the window
// thread while no job runs. A GET keeps the set it started with.
void UseRequestHeaders(RequestHeaders headers);
std::shared_ptr<const RequestHeaders> RequestHeadersInUse();

}  // namespace net
