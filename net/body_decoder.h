// A body sent with a Content-Encoding, decoded on its way to its sink: gzip,
// and deflate in the zlib format that RFC 9110 names or as the bare deflate
// data some servers send under that name. Servers send them unasked too, a
// playlist or a segment alike. WinINet's own decoding is not used: it drops
// the answer's Content-Length and ends a compressed body cut short as if it
// were whole, while here the raw body is held to its announced length and
// the compressed data must end exactly where the body does.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>

#include "net/http_get.h"

namespace net {

enum class ContentEncoding { kIdentity, kGzip, kDeflate, kUnknown };

// The encoding a Content-Encoding header names, case ignored; an empty header is identity.
ContentEncoding EncodingNamed(const std::string& header);

class BodyDecoder : public BodySink {
  public:
    // Decodes into `decoded`, which may take at most `cap` bytes.
    BodyDecoder(ContentEncoding encoding, BodySink& decoded, uint64_t cap);
    ~BodyDecoder() override;
    BodyDecoder(const BodyDecoder&) = delete;
    BodyDecoder& operator=(const BodyDecoder&) = delete;

    // False, with the fault named, when the data cannot be decoded, decodes
    // past the cap or the sink refuses it.
    bool Keep(const char* data, uint32_t size) override;
    // Why the body is not one whole compressed stream, once all of it was
    // kept; empty when it is.
    std::string Fault() const;

  private:
    // Sets zlib up for the body whose first bytes (two for deflate) are `head`.
    bool Begin(const std::string& head);
    bool Inflate(const unsigned char* data, uint32_t size);

    const ContentEncoding encoding_;
    BodySink& decoded_;
    const uint64_t cap_;
    z_stream stream_{};
    bool begun_ = false;
    bool ended_ = false;
    uint64_t produced_ = 0;
    std::string pending_;  // a deflate body's first byte, until the second tells its format
    std::string fault_;
};

}  // namespace net
