#!/usr/bin/env python3
"""HTTP server for the downloader's end-to-end tests and benchmarks: serves
the HLS samples under a root directory on 127.0.0.1 at a port of the system's
choosing. Prints the port on its first line of output and serves until its
standard input closes or it is killed. Keeps connections alive (HTTP/1.1), as
a real web server does, so every client may reuse them.

usage: hls_test_server.py [ROOT]    (default: $VELMORA_HLS_ROOT)

Paths are /MODE/VARIANT/FILE; MODE says how to answer:
  plain            every file as it is
  slow             each answer waits 40 ms, and its body goes out at no more
                   than 5 MB/s per connection
  chunked          every answer in chunked transfer coding
  nolength         every answer without Content-Length, ended by closing
  bom              playlists start with a UTF-8 byte-order mark
  norange          every file as it is, whole, even when a Range asks for a
                   slice (every other mode answers "Range: bytes=first-last"
                   or "bytes=first-" with 206 and that slice)
  close            every file as it is, the connection closed after each answer
  gzip, deflate    every file compressed with that Content-Encoding, asked for
                   or not (deflate in the zlib format), as misconfigured
                   servers send them
  site             a site that serves only its own pages' requests: 403 unless
                   the request carries the Referer SITE_REFERER, a Cookie
                   with SITE_COOKIE among its pairs and a User-Agent of a
                   browser (one that names SITE_BROWSER)
  cdn              that site's other host, on 127.0.0.2 at a port of its own:
                   403 unless the request carries the Referer SITE_REFERER
  FAULT-NAME       the file NAME answers with the fault, the others as in plain
                   (NAME may be several names joined by "+"):
    missing        404
    outage         404 until GET /mend, then as in plain
    bad            400
    error          500
    flaky          500 to the first two requests, then as in plain
    cut            the whole Content-Length announced, half the body sent,
                   the connection closed
    trickle        the head, then one byte a second
    never          the request read, no answer ever
    loop           302 to this same path
    redirectN      302 to this path with redirect(N-1) for its mode;
                   redirect0 answers as plain, so N redirects lead to the file
    delayN         the answer after N ms (five seconds when no N is given)
    hangup         the request read, the connection closed with no answer
    empty          200 with an empty body (Content-Length: 0)
    html           200 with an HTML error page as text/html, its length right
    chunkcut       chunked, the first half of the body sent, the connection
                   closed before the last chunk
    busy           a TCP reset (SO_LINGER 0, then close) when more than two
                   connections of this server are open, else as in plain
    limitN         503 without Retry-After while N other requests of this
                   server are being answered (one when no N is given), as
                   nginx's limit_conn answers, else as in plain after
                   LIMITED_ANSWER_MS, so that requests side by side meet
    refuseN        a TCP reset instead of the 503 of limitN
    slowdownN      503 with "Retry-After: N" (none when no N is given) to the
                   first two requests, then as in plain
    ratelimitN     the same with 429 Too Many Requests
    overloadN      503 with "Retry-After: N" (none when no N is given) to
                   every request
    dripN          Content-Length 50,000,000 announced, then 1,100 bytes every
                   N ms (20,000 when no N is given) until the client leaves:
                   N at two thirds of a test's wait limit drips as the shipped
                   20 s drip does against its 30 s window
    huge           Content-Length 600,000,000 announced and the body sent as
                   fast as the client takes it, from one repeated buffer
    overlong       Content-Length half the body's, the whole body sent in one
                   piece with the head, the connection closed
    stall          no Content-Length, half the body sent, then silence until
                   the client leaves
In every playlist (*.m3u8) the host PLACEHOLDER_HOST stands for this server
and the mode, so absolute playlists made for that host point back here
through the same mode.

Playlists made on request (VARIANT "made"; other files of it are those of
the variant "relative"):
  /MODE/made/relative-N.m3u8       N relative segment names segNNNNNN.ts
  /MODE/made/not-a-playlist.m3u8   text that names segments but lacks #EXTM3U
  /MODE/made/no-segments.m3u8      a playlist with no segment line
  /MODE/made/long-line-N.m3u8      the relative sample's segments after a line
                                   of N bytes that names none
  /MODE/made/https-segments.m3u8   the relative sample's segments as https
                                   addresses of this server
  /MODE/made/tiny-N.m3u8           N segment names tinyNNNNNN.ts, each of which
                                   answers with one MPEG-TS packet of filler
                                   that starts with the name
  /MODE/made/absolute-crlf.m3u8    the relative sample's segments as absolute
                                   addresses, lines ending in CR LF
  /MODE/made/text-segments.m3u8    three segments noteN.ts that hold text
  /MODE/made/unused-key.m3u8       the relative sample's segments after a key
                                   (unused.bin, which no one serves) that
                                   METHOD=NONE ends before any segment
  /MODE/made/root-key.m3u8         the AES-128 sample (aes-sequence) with its
                                   key and segments named from the server's
                                   root (/MODE/aes-sequence/key.bin)
  /MODE/made/absolute-key.m3u8     the same named by full addresses
  /MODE/made/missing-key.m3u8      the same with a key that answers 404
  /MODE/made/split-key.m3u8        root-key.m3u8 with its last segment under
                                   a second key that answers 404
  /MODE/made/guarded.m3u8          the AES-128 sample with its key on this
                                   server (/MODE/aes-sequence/key.bin) and its
                                   segments on the cdn host
                                   (http://127.0.0.2:PORT/cdn/aes-sequence/),
                                   the first through /MODE/to-cdn/NAME, which
                                   answers with a 302 to it there
GET /mend ends every outage.
GET /proxy-port gives the port of this server's forwarding proxy on
127.0.0.1, which takes requests in absolute form (as a browser sends them to
a proxy) for any host and port, sends those for PROXIED_HOST to this server
and the others where they name, one request a connection; GET /proxied lists
the request lines it took, one a line, in order.
GET /requests lists the paths asked for so far, one a line, in order, each
followed by " bytes=first-last" when it came with a Range and by
" cookie=VALUE" when it came with a Cookie, on both hosts; a TLS
handshake is listed as "TLS". A connection that opens with one gets no
answer, as a plain server would give none, until the client gives up.
"""

import os
import re
import socket
import socketserver
import struct
import sys
import threading
import time
import zlib

PLACEHOLDER_HOST = b"http://hls.invalid"
BYTE_ORDER_MARK = b"\xef\xbb\xbf"
FLAKY_FAILURES = 2  # and those of slowdown and ratelimit
DELAY_S = 5.0
LIMITED_ANSWER_MS = 200
DRIP_ANNOUNCED = 50 * 1000 * 1000
DRIP_PIECE = 1100
DRIP_INTERVAL_MS = 20000
HUGE_ANNOUNCED = 600 * 1000 * 1000
HUGE_PIECE = 64 * 1024
BUSY_CONNECTIONS = 2  # more open at once, and a busy file's request is reset
TRICKLE_INTERVAL_S = 1.0
SLOW_DELAY_S = 0.040
SLOW_RATE = 5 * 1000 * 1000  # bytes per second and connection
SLOW_PIECE = 16 * 1024
NOT_FOUND_BODY = b"<html><body>404: no such file</body></html>"
SERVER_ERROR_BODY = b"<html><body>500: the server failed</body></html>"
BAD_REQUEST_BODY = b"<html><body>400: bad request</body></html>"
BUSY_PAGE_BODY = b"<html><body>The server is busy. Please try again later.</body></html>"
TLS_HANDSHAKE = b"\x16"
SITE_REFERER = "https://site.invalid/watch/42"
SITE_COOKIE = "session=s3cret"
SITE_BROWSER = "Chrome/"
FORBIDDEN_BODY = b"<html><body>403: not from our pages</body></html>"
CDN_HOST = "127.0.0.2"

CONTENT_TYPES = {
    ".m3u8": "application/vnd.apple.mpegurl",
    ".ts": "video/mp2t",
    ".mp4": "video/mp4",
}
FAULTS = ("missing", "outage", "bad", "error", "flaky", "cut", "trickle", "never", "loop", "redirect",
          "delay", "hangup", "empty", "html", "chunkcut", "busy", "limit", "refuse", "slowdown",
          "ratelimit", "overload", "drip", "huge", "overlong", "stall")
# Faults that change how the answer goes out.
SENT_FAULTS = ("cut", "trickle", "never", "delay", "hangup", "chunkcut", "busy", "drip", "huge",
               "overlong", "stall")
WHOLE_MODES = ("plain", "slow", "chunked", "nolength", "bom", "norange", "site", "cdn", "close",
               "gzip", "deflate")
PROXIED_HOST = "hls.proxied.invalid"
SAMPLE_SEGMENTS = ["seg000.ts", "seg001.ts", "seg002.ts"]
TEXT_SEGMENTS = ["note0.ts", "note1.ts", "note2.ts"]


def tiny_segment(name):
    """One MPEG-TS packet of the null PID: a segment that holds no media at
    all. Its filler starts with its name, so that files can be told apart."""
    return b"\x47\x1f\xff\x10" + name + b"\xff" * (184 - len(name))


def keyed_playlist(form, here, read_file):
    """The AES-128 sample with its key named another way: from the server's
    root or by full addresses (its segments too), or a key no one serves
    (for all segments, or for the last one only)."""
    body = read_file("aes-sequence", "index.m3u8")
    if body is None:
        return None
    if form == "missing":
        return body.replace(b'URI="key.bin"', b'URI="missing.bin"')
    if form == "split":
        body = keyed_playlist("root", here, read_file)
        last = body.rindex(b"#EXTINF")
        return body[:last] + b'#EXT-X-KEY:METHOD=AES-128,URI="missing.bin"\n' + body[last:]
    mode = here.rsplit(b"/", 1)[1]
    folder = (b"/" + mode if form == "root" else here) + b"/aes-sequence/"
    body = body.replace(b'URI="key.bin"', b'URI="' + folder + b'key.bin"')
    return re.sub(rb"(?m)^(seg\d+\.ts)$", lambda m: folder + m.group(1), body)


def guarded_playlist(here, cdn, read_file):
    """The AES-128 sample with its key here and its segments at `cdn`."""
    body = keyed_playlist("root", here, read_file)
    if body is None or cdn is None:
        return None
    mode = here.rsplit(b"/", 1)[1]
    body = body.replace(b"\n/" + mode + b"/aes-sequence/seg", b"\n" + cdn + b"/aes-sequence/seg")
    first = re.search(rb"(?m)^" + re.escape(cdn) + rb"/aes-sequence/", body)
    return body[:first.start()] + b"/" + mode + b"/to-cdn/" + body[first.end():]


def made_playlist(name, here, read_file, cdn=None):
    """The body of a playlist made on request, or None. `here` is this
    server's address with the mode, as bytes; read_file(variant, name) reads
    a sample's file; `cdn` is the cdn host's address with its mode."""
    many = re.fullmatch(r"relative-(\d+)\.m3u8", name)
    if many:
        return media_playlist("seg%06d.ts" % i for i in range(int(many.group(1))))
    long_line = re.fullmatch(r"long-line-(\d+)\.m3u8", name)
    if long_line:
        return b"#EXTM3U\n" + b"x" * int(long_line.group(1)) + b"\n" + media_playlist(SAMPLE_SEGMENTS)
    if name == "https-segments.m3u8":
        https = here.replace(b"http://", b"https://", 1).decode("ascii")
        return media_playlist(https + "/made/" + s for s in SAMPLE_SEGMENTS)
    tiny = re.fullmatch(r"tiny-(\d+)\.m3u8", name)
    if tiny:
        return media_playlist("tiny%06d.ts" % i for i in range(int(tiny.group(1))))
    if re.fullmatch(r"tiny\d{6}\.ts", name):
        return tiny_segment(name.encode("ascii"))
    if name == "absolute-crlf.m3u8":
        absolute = here.decode("ascii") + "/made/"
        return media_playlist((absolute + s for s in SAMPLE_SEGMENTS)).replace(b"\n", b"\r\n")
    if name == "unused-key.m3u8":
        return media_playlist(SAMPLE_SEGMENTS).replace(
            b"#EXTM3U\n",
            b'#EXTM3U\n#EXT-X-KEY:METHOD=AES-128,URI="unused.bin"\n#EXT-X-KEY:METHOD=NONE\n', 1)
    keyed = re.fullmatch(r"(root|absolute|missing|split)-key\.m3u8", name)
    if keyed:
        return keyed_playlist(keyed.group(1), here, read_file)
    if name == "guarded.m3u8":
        return guarded_playlist(here, cdn, read_file)
    if name == "text-segments.m3u8":
        return media_playlist(TEXT_SEGMENTS)
    if name in TEXT_SEGMENTS:
        return b"a note, not a video\n"
    if name == "not-a-playlist.m3u8":
        return b"#EXTINF:2.000,\nseg000.ts\n#EXTINF:2.000,\nseg001.ts\n"
    if name == "no-segments.m3u8":
        return b"#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-ENDLIST\n"
    return None


def media_playlist(segments):
    lines = ["#EXTM3U", "#EXT-X-VERSION:3", "#EXT-X-TARGETDURATION:2"]
    for segment in segments:
        lines += ["#EXTINF:2.000,", segment]
    lines.append("#EXT-X-ENDLIST")
    return ("\n".join(lines) + "\n").encode("ascii")


class Answer:
    def __init__(self, status, content_type, body, how="whole"):
        self.status = status
        self.content_type = content_type
        self.body = body
        self.how = how  # whole, slow, chunked, nolength, reset, or one of SENT_FAULTS
        self.location = None
        self.content_range = None
        self.retry_after = None
        self.encoding = None
        self.interval_s = DRIP_INTERVAL_MS / 1000  # between a drip's pieces
        self.delay_s = DELAY_S  # before a delayed answer

    def take_slice(self, wanted):
        """Becomes the 206 answer to a Range of one slice, "bytes=first-last" or
        "bytes=first-" (to the end); any other Range is ignored, as RFC 9110
        lets a server do."""
        numbers = re.fullmatch(r"bytes=(\d+)-(\d*)", wanted)
        if not numbers:
            return
        first = int(numbers.group(1))
        last = int(numbers.group(2)) if numbers.group(2) else len(self.body) - 1
        if first > last or last >= len(self.body):
            self.status = "416 Range Not Satisfiable"
            self.content_range = "bytes */%d" % len(self.body)
            self.body = b""
            return
        self.status = "206 Partial Content"
        self.content_range = "bytes %d-%d/%d" % (first, last, len(self.body))
        self.body = self.body[first:last + 1]

    def encode(self, encoding):
        """Sends the body compressed: gzip, or deflate in the zlib format."""
        if encoding == "gzip":
            compressor = zlib.compressobj(wbits=31)
            self.body = compressor.compress(self.body) + compressor.flush()
        else:
            self.body = zlib.compress(self.body)
        self.encoding = encoding

    def announced(self):
        """The Content-Length the head names."""
        return {"drip": DRIP_ANNOUNCED, "huge": HUGE_ANNOUNCED,
                "overlong": len(self.body) // 2}.get(self.how, len(self.body))


class Handler(socketserver.StreamRequestHandler):
    # A small last piece must not wait for the client's delayed acknowledgement.
    disable_nagle_algorithm = True

    def handle(self):
        if self.rfile.peek(1)[:1] == TLS_HANDSHAKE:
            self.server.record("TLS")
            self.wait_for_close()
            return
        while self.serve_one():
            pass

    def wait_for_close(self):
        try:
            while self.rfile.read1(4096):
                pass
        except OSError:
            pass

    def serve_one(self):
        """Answers one request; true when the connection stays open."""
        head = []
        while True:
            line = self.rfile.readline(65536)
            if not line:
                return False
            if line in (b"\r\n", b"\n"):
                break
            head.append(line.decode("latin-1").rstrip("\r\n"))
        if not head:
            return True
        with self.server.answering():
            return self.respond(head)

    def respond(self, head):
        """Answers the request whose head was read; true when the connection
        stays open."""
        parts = head[0].split(" ")
        method = parts[0]
        path = parts[1].split("?", 1)[0] if len(parts) > 1 else "/"
        version = parts[2] if len(parts) > 2 else "HTTP/1.0"
        headers = {h.split(":", 1)[0].strip().lower(): h.split(":", 1)[1].strip()
                   for h in head[1:] if ":" in h}
        connection = headers.get("connection", "").lower()
        keep_alive = connection != "close" and (version == "HTTP/1.1" or connection == "keep-alive")

        if path == "/requests":
            answer = Answer("200 OK", "text/plain", self.server.requests())
        elif path == "/proxy-port":
            answer = Answer("200 OK", "text/plain", b"%d" % self.server.proxy_port())
        elif path == "/proxied":
            answer = Answer("200 OK", "text/plain", self.server.proxied())
        elif path == "/mend":
            self.server.mended = True
            answer = Answer("200 OK", "text/plain", b"mended\n")
        else:
            wanted = headers.get("range", "")
            cookie = headers.get("cookie", "")
            self.server.record(path + (" " + wanted if wanted else "") +
                               (" cookie=" + cookie if cookie else ""))
            answer = self.answer(path, headers)
            if wanted and answer.status == "200 OK" and not path.startswith("/norange/"):
                answer.take_slice(wanted)
            if path.startswith("/close/"):
                keep_alive = False
            for encoding in ("gzip", "deflate"):
                if path.startswith("/%s/" % encoding) and answer.status.startswith("2"):
                    answer.encode(encoding)
        if answer.how == "never":
            self.wait_for_close()
            return False
        if answer.how == "hangup":
            return False
        if answer.how == "reset":
            self.reset()
            return False
        if answer.how == "busy":
            if self.server.open_connections() > BUSY_CONNECTIONS:
                self.reset()
                return False
            answer.how = "whole"
        if answer.how == "slow":
            time.sleep(SLOW_DELAY_S)
        if answer.how == "delay":
            time.sleep(answer.delay_s)
        if answer.how in ("cut", "nolength", "trickle", "chunkcut", "drip", "huge", "overlong",
                          "stall"):
            keep_alive = False
        lines = ["HTTP/1.1 " + answer.status, "Content-Type: " + answer.content_type]
        if answer.location:
            lines.append("Location: " + answer.location)
        if answer.content_range:
            lines.append("Content-Range: " + answer.content_range)
        if answer.retry_after is not None:
            lines.append("Retry-After: " + answer.retry_after)
        if answer.encoding:
            lines.append("Content-Encoding: " + answer.encoding)
        if answer.how in ("chunked", "chunkcut"):
            lines.append("Transfer-Encoding: chunked")
        elif answer.how not in ("nolength", "stall"):
            lines.append("Content-Length: %d" % answer.announced())
        lines += ["Connection: " + ("keep-alive" if keep_alive else "close"), "", ""]
        head = "\r\n".join(lines).encode("latin-1")
        if answer.how == "overlong":
            self.wfile.write(head + answer.body)  # one piece: the client reads past the length
        else:
            self.wfile.write(head)
            if method != "HEAD":
                self.send_body(answer)
        self.wfile.flush()
        return keep_alive

    def reset(self):
        """Ends the connection with a TCP reset instead of a close."""
        self.request.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        # The socket closes only once the files made from it are closed too.
        self.rfile.close()
        self.wfile.close()
        self.request.close()

    def send_body(self, answer):
        body = answer.body
        if answer.how in ("cut", "stall"):
            self.wfile.write(body[:len(body) // 2])
            if answer.how == "stall":
                self.wait_for_close()
        elif answer.how == "trickle":
            for offset in range(len(body)):
                self.wfile.write(body[offset:offset + 1])
                self.wfile.flush()
                time.sleep(TRICKLE_INTERVAL_S)
        elif answer.how in ("chunked", "chunkcut"):
            sent = body if answer.how == "chunked" else body[:len(body) // 2]
            for offset in range(0, len(sent), SLOW_PIECE):
                piece = sent[offset:offset + SLOW_PIECE]
                self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
            if answer.how == "chunked":
                self.wfile.write(b"0\r\n\r\n")
        elif answer.how == "drip":
            for _ in range(DRIP_ANNOUNCED // DRIP_PIECE):
                time.sleep(answer.interval_s)
                self.wfile.write(b"\xff" * DRIP_PIECE)
                self.wfile.flush()
        elif answer.how == "huge":
            piece = b"\xff" * HUGE_PIECE
            for offset in range(0, HUGE_ANNOUNCED, HUGE_PIECE):
                self.wfile.write(piece[:HUGE_ANNOUNCED - offset])
        elif answer.how == "slow":
            start = time.monotonic()
            for offset in range(0, len(body), SLOW_PIECE):
                self.wfile.write(body[offset:offset + SLOW_PIECE])
                self.wfile.flush()
                due = start + (offset + SLOW_PIECE) / SLOW_RATE
                wait = due - time.monotonic()
                if wait > 0:
                    time.sleep(wait)
        else:
            self.wfile.write(body)

    def answer(self, path, headers):
        """The answer for a path asked for with these headers (names in lower case)."""
        not_found = Answer("404 Not Found", "text/html", NOT_FOUND_BODY)
        pieces = path.split("/")
        if len(pieces) != 4 or pieces[0] != "":
            return not_found
        mode, variant, name = pieces[1], pieces[2], pieces[3]
        fault_with_number, _, faulty_name = mode.partition("-")
        numbered = re.fullmatch(r"([a-z]+)(\d*)", fault_with_number)
        fault, number = numbered.groups() if numbered else ("", "")
        if mode not in WHOLE_MODES and fault not in FAULTS:
            return not_found
        if not guarded_request_passes(mode, headers):
            return Answer("403 Forbidden", "text/html", FORBIDDEN_BODY)
        here = ("http://%s:%d/%s" % (self.server.server_address + (mode,))).encode("ascii")
        if variant == "to-cdn" and self.server.cdn_address():
            answer = Answer("302 Found", "text/html", b"")
            answer.location = "%s/aes-sequence/%s" % (self.server.cdn_address().decode(), name)
            return answer
        faulty = fault in FAULTS and name in faulty_name.split("+")
        if faulty:
            if fault == "missing" or (fault == "outage" and not self.server.mended):
                return not_found
            if fault == "bad":
                return Answer("400 Bad Request", "text/html", BAD_REQUEST_BODY)
            if fault == "error" or (fault == "flaky" and self.server.count(path) <= FLAKY_FAILURES):
                return Answer("500 Internal Server Error", "text/html", SERVER_ERROR_BODY)
            if fault == "html":
                return Answer("200 OK", "text/html", BUSY_PAGE_BODY)
            busy = busy_answer(fault, number, self.server.count(path),
                               self.server.others_answering())
            if busy:
                return busy
            if fault == "loop" or (fault == "redirect" and number not in ("", "0")):
                answer = Answer("302 Found", "text/html", b"")
                answer.location = path
                if fault == "redirect":
                    answer.location = "/redirect%d-%s/%s/%s" % (int(number) - 1, faulty_name,
                                                                variant, name)
                return answer
        content_type = CONTENT_TYPES.get(os.path.splitext(name)[1], "application/octet-stream")
        body = None
        if variant == "made":
            body = made_playlist(name, here, self.server.read_file, self.server.cdn_address())
        if body is None:
            body = self.server.read_file("relative" if variant == "made" else variant, name)
        if body is None:
            return not_found
        if name.endswith(".m3u8"):
            body = body.replace(PLACEHOLDER_HOST, here)
            if mode == "bom":
                body = BYTE_ORDER_MARK + body
        how = mode if mode in ("slow", "chunked", "nolength") else "whole"
        if faulty and fault == "empty":
            body = b""
        if faulty and fault in SENT_FAULTS:
            how = fault
        answer = Answer("200 OK", content_type, body, how)
        if faulty and fault == "drip" and number:
            answer.interval_s = int(number) / 1000
        if faulty and fault == "delay" and number:
            answer.delay_s = int(number) / 1000
        return answer


def busy_answer(fault, number, asked, others_answering):
    """The 503 or 429 of a server under load, or None when it answers: `asked`
    says how often the path was asked for so far, `others_answering` how many
    other requests are being answered now."""
    if fault in ("limit", "refuse"):
        if others_answering < int(number or 1):
            time.sleep(LIMITED_ANSWER_MS / 1000)
            return None
        return Answer("503 Service Unavailable", "text/html", BUSY_PAGE_BODY,
                      "reset" if fault == "refuse" else "whole")
    if fault not in ("slowdown", "ratelimit", "overload"):
        return None
    if fault != "overload" and asked > FLAKY_FAILURES:
        return None
    status = "429 Too Many Requests" if fault == "ratelimit" else "503 Service Unavailable"
    answer = Answer(status, "text/html", BUSY_PAGE_BODY)
    answer.retry_after = number or None
    return answer


def guarded_request_passes(mode, headers):
    """Whether the site or its cdn lets the request through."""
    if mode not in ("site", "cdn"):
        return True
    if headers.get("referer") != SITE_REFERER:
        return False
    if mode == "cdn":
        return True
    pairs = [pair.strip() for pair in headers.get("cookie", "").split(";")]
    return SITE_COOKIE in pairs and SITE_BROWSER in headers.get("user-agent", "")


class ProxyHandler(socketserver.StreamRequestHandler):
    """One request in absolute form, forwarded with "Connection: close" and
    its answer relayed until the server closes."""

    def handle(self):
        head = []
        while True:
            line = self.rfile.readline(65536)
            if not line:
                return
            if line in (b"\r\n", b"\n"):
                break
            head.append(line.decode("latin-1").rstrip("\r\n"))
        if not head:
            return
        self.server.record(head[0])
        target = re.fullmatch(r"(\S+) http://([^/:\s]+)(?::(\d+))?(/\S*) (HTTP/1\.[01])", head[0])
        if not target:
            self.wfile.write(b"HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n")
            return
        method, host, port, path, version = target.groups()
        address = (host, int(port or 80))
        if host == PROXIED_HOST:
            address = ("127.0.0.1", self.server.origin_port)
        kept = [h for h in head[1:]
                if h.split(":", 1)[0].strip().lower() not in ("connection", "proxy-connection")]
        request = "\r\n".join(["%s %s %s" % (method, path, version)] + kept +
                               ["Connection: close", "", ""])
        try:
            with socket.create_connection(address, timeout=60) as origin:
                origin.sendall(request.encode("latin-1"))
                while True:
                    piece = origin.recv(65536)
                    if not piece:
                        break
                    self.wfile.write(piece)
        except OSError:
            pass


class ForwardProxy(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, origin_port):
        super().__init__(("127.0.0.1", 0), ProxyHandler)
        self.origin_port = origin_port
        self.lock = threading.Lock()
        self.lines = []

    def record(self, line):
        with self.lock:
            self.lines.append(line)

    def handle_error(self, request, client_address):
        pass


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, root, host="127.0.0.1", main=None):
        """`main`: the server whose record, cache and root this one shares."""
        super().__init__((host, 0), Handler)
        self.root = main.root if main else os.path.realpath(root)
        self.cache = main.cache if main else {}
        self.lock = main.lock if main else threading.Lock()
        self.paths = main.paths if main else []
        self.connections = 0  # open now
        self.answers_under_way = 0
        self.cdn = None
        self.proxy = None
        self.mended = False  # every outage ended

    def cdn_address(self):
        """The cdn host's address with its mode, as bytes; None without one."""
        if self.cdn is None:
            return None
        return ("http://%s:%d/cdn" % self.cdn.server_address).encode("ascii")

    # Counted as they are accepted, in order, before their threads start: a
    # connection accepted after two others always sees them.
    def process_request(self, request, client_address):
        with self.lock:
            self.connections += 1
        super().process_request(request, client_address)

    def shutdown_request(self, request):
        super().shutdown_request(request)
        with self.lock:
            self.connections -= 1

    def proxy_port(self):
        return self.proxy.server_address[1] if self.proxy else 0

    def proxied(self):
        """The request lines the proxy took, one a line."""
        if self.proxy is None:
            return b""
        with self.proxy.lock:
            return "".join(line + "\n" for line in self.proxy.lines).encode("latin-1")

    def answering(self):
        """A request being answered, for as long as the `with` block lasts."""
        server = self

        class Answering:
            def __enter__(self):
                with server.lock:
                    server.answers_under_way += 1

            def __exit__(self, *exception):
                with server.lock:
                    server.answers_under_way -= 1

        return Answering()

    def others_answering(self):
        """Requests answered now besides the one that asks."""
        with self.lock:
            return self.answers_under_way - 1

    def open_connections(self):
        with self.lock:
            return self.connections

    def record(self, path):
        with self.lock:
            self.paths.append(path)

    def count(self, path):
        """How often the path was asked for so far."""
        with self.lock:
            return self.paths.count(path)

    def requests(self):
        with self.lock:
            return "".join(p + "\n" for p in self.paths).encode("latin-1")

    def read_file(self, variant, name):
        """A file of the root's variant directory, kept in memory once read."""
        if variant in ("", ".", "..") or name in ("", ".", ".."):
            return None
        path = os.path.join(self.root, variant, name)
        with self.lock:
            if path not in self.cache:
                try:
                    with open(path, "rb") as f:
                        self.cache[path] = f.read()
                except OSError:
                    return None
            return self.cache[path]

    def handle_error(self, request, client_address):
        # Clients that hang up early, or speak TLS to us, are part of the tests.
        pass


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.environ.get("VELMORA_HLS_ROOT", "")
    if not root or not os.path.isdir(root):
        print("hls_test_server: no sample directory (argument or VELMORA_HLS_ROOT)", file=sys.stderr)
        sys.exit(2)
    server = Server(root)
    try:
        server.cdn = Server(root, CDN_HOST, server)
        server.cdn.cdn = server.cdn
        threading.Thread(target=server.cdn.serve_forever, daemon=True).start()
    except OSError as error:
        print("hls_test_server: no cdn host on %s: %s" % (CDN_HOST, error), file=sys.stderr)
    server.proxy = ForwardProxy(server.server_address[1])
    threading.Thread(target=server.proxy.serve_forever, daemon=True).start()
    print(server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    sys.stdin.buffer.read()
    server.shutdown()


if __name__ == "__main__":
    main()
