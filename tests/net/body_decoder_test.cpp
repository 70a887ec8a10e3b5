#include "net/body_decoder.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

#include "net/memory_sink.h"

namespace {

enum class Wrapper { kGzip, kZlib, kBare };

std::string Compressed(const std::string& text, Wrapper wrapper) {
    const int window = wrapper == Wrapper::kGzip ? 15 + 16 : wrapper == Wrapper::kZlib ? 15 : -15;
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, window, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(text.size())) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// A playlist long enough to fill several of the decoder's output chunks.
std::string Playlist() {
    std::string text = "#EXTM3U\n#EXT-X-TARGETDURATION:2\n";
    for (int i = 0; i < 20000; ++i) text += "#EXTINF:2.000,\nseg" + std::to_string(i) + ".ts\n";
    return text + "#EXT-X-ENDLIST\n";
}

// What the sink got, or the decoder's fault: the body handed on in pieces
// of `piece` bytes.
std::string Decoded(net::ContentEncoding encoding, const std::string& body, size_t piece,
                    uint64_t cap = 64 << 20) {
    net::MemorySink sink(cap);
    net::BodyDecoder decoder(encoding, sink, cap);
    for (size_t at = 0; at < body.size(); at += piece) {
        const std::string part = body.substr(at, piece);
        if (!decoder.Keep(part.data(), static_cast<uint32_t>(part.size())))
            return "fault: " + decoder.Fault();
    }
    const std::string fault = decoder.Fault();
    return fault.empty() ? sink.body() : "fault: " + fault;
}

TEST(BodyDecoder, AWholeCompressedBodyIsDecodedAndAnyOtherIsAFault) {
    const std::string text = Playlist();
    const std::string gzip = Compressed(text, Wrapper::kGzip);
    const std::string zlib = Compressed(text, Wrapper::kZlib);
    const std::string bare = Compressed(text, Wrapper::kBare);
    using net::ContentEncoding;
    const struct {
        const char* what;
        ContentEncoding encoding;
        std::string body;
        size_t piece;
        std::string expected;
        uint64_t cap = 64 << 20;
    } rows[] = {
        {"gzip", ContentEncoding::kGzip, gzip, 4096, text},
        {"gzip a byte at a time", ContentEncoding::kGzip, gzip, 1, text},
        {"deflate, zlib format", ContentEncoding::kDeflate, zlib, 4096, text},
        {"deflate, zlib format, a byte at a time", ContentEncoding::kDeflate, zlib, 1, text},
        {"deflate, bare", ContentEncoding::kDeflate, bare, 4096, text},
        {"gzip cut short", ContentEncoding::kGzip, gzip.substr(0, gzip.size() / 2), 4096,
         "fault: 压缩的正文不完整。"},
        {"gzip without its last byte", ContentEncoding::kGzip, gzip.substr(0, gzip.size() - 1),
         4096, "fault: 压缩的正文不完整。"},
        {"deflate cut short", ContentEncoding::kDeflate, zlib.substr(0, zlib.size() / 2), 4096,
         "fault: 压缩的正文不完整。"},
        {"gzip and more", ContentEncoding::kGzip, gzip + "<html>", 4096,
         "fault: 压缩的正文结束之后还有数据。"},
        {"not gzip", ContentEncoding::kGzip, text, 4096, "fault: 压缩的正文已损坏，无法解开。"},
        {"empty", ContentEncoding::kGzip, "", 4096, "fault: 压缩的正文不完整。"},
        {"over the cap", ContentEncoding::kGzip, gzip, 4096,
         "fault: 解开后的正文超过 1024 字节的上限。", 1024},
    };
    for (const auto& row : rows) {
        const std::string actual = Decoded(row.encoding, row.body, row.piece, row.cap);
        EXPECT_TRUE(row.expected == actual) << row.what << ": " << actual.substr(0, 80);
    }
}

TEST(BodyDecoder, TheEncodingIsTheHeadersNameCaseIgnored) {
    using net::ContentEncoding;
    const struct {
        const char* header;
        ContentEncoding encoding;
    } rows[] = {
        {"", ContentEncoding::kIdentity},         {"identity", ContentEncoding::kIdentity},
        {"gzip", ContentEncoding::kGzip},         {"GZip", ContentEncoding::kGzip},
        {"x-gzip", ContentEncoding::kGzip},       {"deflate", ContentEncoding::kDeflate},
        {" Deflate ", ContentEncoding::kDeflate}, {"br", ContentEncoding::kUnknown},
        {"gzip, br", ContentEncoding::kUnknown},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.encoding, net::EncodingNamed(row.header)) << row.header;
}

}  // namespace
