#include "app/address_resolution.h"

#include <algorithm>

namespace app {

namespace {

// A control character: no file name holds one.
constexpr char kNameHash = '\x01';

// The five components of RFC 3986 3; `has*` tell an empty one from none.
struct Reference {
    std::string scheme, authority, path, query, fragment;
    bool hasScheme = false, hasAuthority = false, hasQuery = false, hasFragment = false;
};

bool IsSchemeCharacter(char c, bool first) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return letter || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

// The parse of appendix B's regular expression, done by hand.
Reference Split(const std::string& text) {
    Reference r;
    size_t at = 0;
    const size_t colon = text.find_first_of(":/?#");
    if (colon != std::string::npos && colon > 0 && text[colon] == ':' &&
        IsSchemeCharacter(text[0], true) &&
        std::all_of(text.begin() + 1, text.begin() + static_cast<std::ptrdiff_t>(colon),
                    [](char c) { return IsSchemeCharacter(c, false); })) {
        r.scheme = text.substr(0, colon);
        r.hasScheme = true;
        at = colon + 1;
    }
    if (text.compare(at, 2, "//") == 0) {
        const size_t end = text.find_first_of("/?#", at + 2);
        r.authority =
            text.substr(at + 2, end == std::string::npos ? std::string::npos : end - at - 2);
        r.hasAuthority = true;
        at = end == std::string::npos ? text.size() : end;
    }
    const size_t pathEnd = std::min(text.find_first_of("?#", at), text.size());
    r.path = text.substr(at, pathEnd - at);
    at = pathEnd;
    if (at < text.size() && text[at] == '?') {
        const size_t end = std::min(text.find('#', at), text.size());
        r.query = text.substr(at + 1, end - at - 1);
        r.hasQuery = true;
        at = end;
    }
    if (at < text.size() && text[at] == '#') {
        r.fragment = text.substr(at + 1);
        r.hasFragment = true;
    }
    return r;
}

// RFC 3986 5.2.4.
std::string RemoveDotSegments(std::string input) {
    std::string output;
    while (!input.empty()) {
        if (input.compare(0, 3, "../") == 0) {
            input.erase(0, 3);
        } else if (input.compare(0, 2, "./") == 0) {
            input.erase(0, 2);
        } else if (input.compare(0, 3, "/./") == 0) {
            input.erase(0, 2);
        } else if (input == "/.") {
            input = "/";
        } else if (input.compare(0, 4, "/../") == 0 || input == "/..") {
            input = input.size() == 3 ? "/" : input.substr(3);
            const size_t last = output.rfind('/');
            output.erase(last == std::string::npos ? 0 : last);
        } else if (input == "." || input == "..") {
            input.clear();
        } else {
            const size_t next = input.find('/', input[0] == '/' ? 1 : 0);
            output += input.substr(0, next);
            input.erase(0, next == std::string::npos ? input.size() : next);
        }
    }
    return output;
}

// RFC 3986 5.2.3.
std::string Merge(const Reference& base, const std::string& path) {
    if (base.hasAuthority && base.path.empty()) return "/" + path;
    const size_t slash = base.path.rfind('/');
    return slash == std::string::npos ? path : base.path.substr(0, slash + 1) + path;
}

// RFC 3986 5.3.
std::string Recompose(const Reference& r) {
    std::string text;
    if (r.hasScheme) text += r.scheme + ":";
    if (r.hasAuthority) text += "//" + r.authority;
    text += r.path;
    if (r.hasQuery) text += "?" + r.query;
    if (r.hasFragment) text += "#" + r.fragment;
    return text;
}

}  // namespace

std::string ResolveReference(const std::string& baseText, const std::string& referenceText) {
    const Reference base = Split(baseText);
    const Reference reference = Split(referenceText);
    Reference target;
    if (reference.hasScheme) {
        target = reference;
        target.path = RemoveDotSegments(reference.path);
    } else {
        if (reference.hasAuthority) {
            target = reference;
            target.path = RemoveDotSegments(reference.path);
        } else {
            target.authority = base.authority;
            target.hasAuthority = base.hasAuthority;
            if (reference.path.empty()) {
                target.path = base.path;
                target.query = reference.hasQuery ? reference.query : base.query;
                target.hasQuery = reference.hasQuery || base.hasQuery;
            } else {
                target.path = RemoveDotSegments(
                    reference.path[0] == '/' ? reference.path : Merge(base, reference.path));
                target.query = reference.query;
                target.hasQuery = reference.hasQuery;
            }
        }
        target.scheme = base.scheme;
        target.hasScheme = base.hasScheme;
    }
    target.fragment = reference.fragment;
    target.hasFragment = reference.hasFragment;
    return Recompose(target);
}

std::string ResolveAgainstFile(const std::string& filePath, const std::string& reference) {
    const Reference parsed = Split(reference);
    // A scheme of more than one letter is an address; "C:" is a drive.
    if (parsed.hasScheme && parsed.scheme.size() > 1) return reference;
    // In a local path "#" is part of a name, not a fragment's mark: it stands
    // aside as a byte no file name holds while the path is resolved.
    const auto asReference = [](std::string path) {
        std::replace(path.begin(), path.end(), '\\', '/');
        std::replace(path.begin(), path.end(), '#', kNameHash);
        return path;
    };
    std::string resolved = ResolveReference(asReference(filePath), asReference(reference));
    std::replace(resolved.begin(), resolved.end(), '/', '\\');
    std::replace(resolved.begin(), resolved.end(), kNameHash, '#');
    return resolved;
}

}  // namespace app
