#include "net/body_decoder.h"

#include <cctype>

namespace net {

namespace {

constexpr uInt kOutputChunk = 64 * 1024;
constexpr int kGzipWindow = 15 + 16;  // zlib's window bits for the gzip wrapper
constexpr int kZlibWindow = 15;
constexpr int kBareWindow = -15;

std::string Lowered(const std::string& text) {
    std::string lowered;
    for (const char c : text) {
        if (c != ' ' && c != '\t')
            lowered += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lowered;
}

// RFC 1950: compression method 8, and the two header bytes a multiple of 31.
bool IsZlibHeader(unsigned char first, unsigned char second) {
    return (first & 0x0F) == 8 && ((first << 8) | second) % 31 == 0;
}

}  // namespace

ContentEncoding EncodingNamed(const std::string& header) {
    const std::string name = Lowered(header);
    if (name.empty() || name == "identity") return ContentEncoding::kIdentity;
    if (name == "gzip" || name == "x-gzip") return ContentEncoding::kGzip;
    if (name == "deflate") return ContentEncoding::kDeflate;
    return ContentEncoding::kUnknown;
}

BodyDecoder::BodyDecoder(ContentEncoding encoding, BodySink& decoded, uint64_t cap)
    : encoding_(encoding), decoded_(decoded), cap_(cap) {}

BodyDecoder::~BodyDecoder() {
    if (begun_) ::inflateEnd(&stream_);
}

bool BodyDecoder::Keep(const char* data, uint32_t size) {
    if (!fault_.empty()) return false;
    if (!begun_) {
        // A deflate body's format shows in its first two bytes.
        if (encoding_ == ContentEncoding::kDeflate && pending_.size() + size < 2) {
            pending_.append(data, size);
            return true;
        }
        if (!Begin(pending_ + std::string(data, size < 2 ? size : 2))) return false;
        const std::string pending = std::move(pending_);
        pending_.clear();
        if (!Inflate(reinterpret_cast<const unsigned char*>(pending.data()),
                     static_cast<uint32_t>(pending.size()))) {
            return false;
        }
    }
    return Inflate(reinterpret_cast<const unsigned char*>(data), size);
}

bool BodyDecoder::Begin(const std::string& head) {
    int window = kGzipWindow;
    if (encoding_ == ContentEncoding::kDeflate) {
        window =
            IsZlibHeader(static_cast<unsigned char>(head[0]), static_cast<unsigned char>(head[1]))
                ? kZlibWindow
                : kBareWindow;
    } else if (encoding_ != ContentEncoding::kGzip) {
        fault_ = "正文的编码无法解开。";
        return false;
    }
    if (::inflateInit2(&stream_, window) != Z_OK) {
        fault_ = "无法解开压缩的正文：内存不足。";
        return false;
    }
    begun_ = true;
    return true;
}

bool BodyDecoder::Inflate(const unsigned char* data, uint32_t size) {
    if (size == 0) return true;
    if (ended_) {
        fault_ = "压缩的正文结束之后还有数据。";
        return false;
    }
    stream_.next_in = const_cast<Bytef*>(data);
    stream_.avail_in = size;
    std::string out(kOutputChunk, '\0');
    // A full output chunk may leave more output in zlib after the last input byte.
    bool more = true;
    while (more) {
        stream_.next_out = reinterpret_cast<Bytef*>(out.data());
        stream_.avail_out = kOutputChunk;
        const int status = ::inflate(&stream_, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
            fault_ = "压缩的正文已损坏，无法解开。";
            return false;
        }
        const uInt made = kOutputChunk - stream_.avail_out;
        if (made > cap_ - produced_) {
            fault_ = "解开后的正文超过 " + std::to_string(cap_) + " 字节的上限。";
            return false;
        }
        produced_ += made;
        if (made > 0 && !decoded_.Keep(out.data(), made)) {
            fault_ = "无法保存收到的数据。";
            return false;
        }
        ended_ = status == Z_STREAM_END;
        more = !ended_ && made > 0 && (stream_.avail_in > 0 || stream_.avail_out == 0);
    }
    if (ended_ && stream_.avail_in > 0) {
        fault_ = "压缩的正文结束之后还有数据。";
        return false;
    }
    return true;
}

std::string BodyDecoder::Fault() const {
    if (!fault_.empty()) return fault_;
    if (!ended_) return "压缩的正文不完整。";
    return {};
}

}  // namespace net
