#!/usr/bin/env python3
"""Builds the pictures the image decoder tests read, and their reference pixels.

usage: make-test-images.py <output-dir>

Inputs are pictures no one here wrote: the PNG test suites of libpng's source,
libjpeg-turbo's test images, and BMP, GIF, PCX, ICO and CUR files written by
ImageMagick and netpbm from libjpeg-turbo's test photograph. References are raw
pixels decoded natively by ImageMagick (netpbm for 1-bit PCX, whose bit sense
ImageMagick inverts). The sources come from Debian's source packages, which
scripts/build-deps.sh has usually downloaded already.

Every line of <output-dir>/manifest.txt is one check, its words separated by
blanks; paths are relative to <output-dir>:
  png FILE REF.rgba WIDTH HEIGHT TOLERANCE
  png-interlaced-16 FILE REF.rgba WIDTH HEIGHT TOLERANCE
      pictures that the libpng of Debian 12's security updates decodes wrongly
      to 8 bits (upstream libpng issue 853): only their kind and size count
  jpeg|bmp|pcx8|gif FILE REF.rgba WIDTH HEIGHT TOLERANCE
  pcx1 FILE REF.rgba WIDTH HEIGHT 0
  icon|cursor FILE REF.rgba WIDTH HEIGHT ENTRY
  animation FILE SCREEN_WIDTH SCREEN_HEIGHT FRAMES, then per frame
      frame REF.rgba LEFT TOP WIDTH HEIGHT DELAY_CS DISPOSAL TRANSPARENT(0/1)
  none FILE            a file of a known kind that must give no picture
  robust FILE          a file only decoded for robustness
References are 8-bit R, G, B, A, rows top-down.
"""
import glob
import os
import shutil
import struct
import subprocess
import sys
import tarfile

CONVERT = "/usr/bin/convert"  # ImageMagick itself, not a stand-in on PATH
IDENTIFY = "/usr/bin/identify"
SUITE = os.environ.get("VELMORA_DEPS_SUITE", "bookworm")
SOURCES = {
    "libpng1.6": ["contrib/pngsuite/", "contrib/testpngs/"],
    "libjpeg-turbo": ["testimages/"],
}
# libpng's simplified reader leaves gamma alone within this much of 1 (its
# PNG_GAMMA_THRESHOLD), and assumes 2.2 when it writes 8-bit output.
GAMMA_THRESHOLD = 0.05
SCREEN_GAMMA = 2.2


def run(*command, stdout=None):
    subprocess.run(command, check=True, stdout=stdout, stderr=subprocess.DEVNULL)


def output_of(*command):
    return subprocess.run(command, check=True, capture_output=True).stdout


def cache_dir():
    root = os.environ.get("VELMORA_CACHE")
    if not root:
        base = os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache")
        root = os.path.join(base, "velmora")
    return os.path.join(root, "downloads")


def orig_tarball(downloads, package):
    found = [p for p in glob.glob(os.path.join(downloads, package + "_*.orig.tar.*"))
             if not p.endswith(".asc")]
    return sorted(found)[-1] if found else None


def unpack_sources(out):
    downloads = cache_dir()
    os.makedirs(downloads, exist_ok=True)
    missing = [p for p in SOURCES if not orig_tarball(downloads, p)]
    if missing:
        sources = [p + "/" + SUITE for p in missing]
        subprocess.run(["apt-get", "source", "--download-only"] + sources, check=True,
                       cwd=downloads, stdout=subprocess.DEVNULL)
    for package, folders in SOURCES.items():
        with tarfile.open(orig_tarball(downloads, package)) as tar:
            for member in tar.getmembers():
                inner = member.name.split("/", 1)[-1]
                if member.isfile() and any(inner.startswith(f) for f in folders):
                    member.name = inner
                    tar.extract(member, os.path.join(out, "src"))


class Manifest:
    def __init__(self, out):
        self.out = out
        self.lines = []

    def rel(self, path):
        return os.path.relpath(path, self.out)

    def add(self, *words):
        self.lines.append(" ".join(str(w) for w in words))

    def write(self):
        path = os.path.join(self.out, "manifest.txt")
        with open(path + ".tmp", "w") as f:
            f.write("\n".join(self.lines) + "\n")
        os.replace(path + ".tmp", path)


def size_of(path):
    width, height = output_of(IDENTIFY, "-format", "%w %h", path).split()
    return int(width), int(height)


def reference(source, ref, *options):
    """ImageMagick's decoding as 8-bit RGBA, samples taken as they are stored."""
    run(CONVERT, source, *options, "-set", "colorspace", "sRGB", "-depth", "8", "rgba:" + ref)


# ---- PNG -------------------------------------------------------------------

def png_chunks(path):
    data = open(path, "rb").read()
    at, chunks = 8, {}
    while at + 8 <= len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        chunks.setdefault(kind.decode("latin-1"), data[at + 8:at + 8 + length])
        at += 12 + length
    return chunks


def png_reference(path, ref):
    """ImageMagick's stored samples, with the gamma change libpng's simplified
    reader makes for 8-bit sRGB output: none for sRGB pictures, else from the
    file's gamma (16-bit pictures without one count as linear) to 1/2.2.
    Returns the check type, width, height and the tolerance the comparison
    allows."""
    chunks = png_chunks(path)
    width, height, depth, _, _, _, interlace = struct.unpack(">IIBBBBB", chunks["IHDR"])
    if "sRGB" in chunks:
        gamma = 1 / SCREEN_GAMMA
    elif "gAMA" in chunks:
        gamma = struct.unpack(">I", chunks["gAMA"])[0] / 100000
    else:
        gamma = 1.0 if depth == 16 else 1 / SCREEN_GAMMA
    samples = output_of(CONVERT, path, "-set", "colorspace", "sRGB", "-depth", "16",
                        "-endian", "MSB", "rgba:-")
    values = struct.unpack(">%dH" % (len(samples) // 2), samples)
    exponent = 1 / (gamma * SCREEN_GAMMA)
    corrected = abs(gamma * SCREEN_GAMMA - 1) > GAMMA_THRESHOLD
    out = bytearray(len(values))
    for k, v in enumerate(values):
        if corrected and k % 4 != 3:
            out[k] = int(255 * (v / 65535) ** exponent + 0.5)
        else:
            out[k] = (v * 255 + 32895) >> 16
    open(ref, "wb").write(out)
    # libpng corrects 16-bit samples through a table indexed by their top 11
    # bits, which is up to 8 off where a linear picture is darkest.
    tolerance = 8 if corrected and depth == 16 else 0
    kind = "png-interlaced-16" if interlace and depth == 16 else "png"
    return kind, width, height, tolerance


def make_png(m, src, refs):
    for path in sorted(glob.glob(os.path.join(src, "contrib/pngsuite/**/*.png"), recursive=True) +
                       glob.glob(os.path.join(src, "contrib/testpngs/*.png"))):
        ref = os.path.join(refs, os.path.relpath(path, src).replace("/", "-") + ".rgba")
        kind, width, height, tolerance = png_reference(path, ref)
        m.add(kind, m.rel(path), m.rel(ref), width, height, tolerance)
    for path in sorted(glob.glob(os.path.join(src, "contrib/testpngs/crashers/*.png"))):
        m.add("robust", m.rel(path))


# ---- pictures written by the tools -----------------------------------------

class Maker:
    """Writes pictures into one folder. Tools run in that folder, so their
    commands name files without a directory."""

    PHOTO = "photo.ppm"

    def __init__(self, m, folder, refs):
        self.m, self.folder, self.refs = m, folder, refs

    def path(self, name):
        return os.path.join(self.folder, name)

    def pipe(self, name, *commands):
        """Runs a shell pipeline of netpbm commands into a file of the folder."""
        with open(self.path(name), "wb") as f:
            subprocess.run(" | ".join(commands), shell=True, check=True, stdout=f,
                           stderr=subprocess.DEVNULL, cwd=self.folder)
        return self.path(name)

    def convert(self, name, *options, fmt=""):
        subprocess.run([CONVERT, *options, fmt + name], check=True, stderr=subprocess.DEVNULL,
                       cwd=self.folder)
        return self.path(name)

    def check(self, kind, path):
        ref = os.path.join(self.refs, kind + "-" + os.path.basename(path) + ".rgba")
        reference(path, ref)
        width, height = size_of(path)
        self.m.add(kind, self.m.rel(path), self.m.rel(ref), width, height, 0)

    def refused(self, path):
        self.m.add("none", self.m.rel(path))


def patch(path, offset, fmt, name, *values):
    """A copy of the file named `name` beside it, with values packed at offset."""
    data = bytearray(open(path, "rb").read())
    struct.pack_into(fmt, data, offset, *values)
    patched = os.path.join(os.path.dirname(path), name)
    open(patched, "wb").write(data)
    return patched


def make_quantised(k):
    for colours in (2, 4, 5, 15, 16, 256):
        k.pipe("q%d.ppm" % colours, "pnmquant %d photo.ppm" % colours)
    k.pipe("bw.pbm", "ppmtopgm photo.ppm", "pamditherbw -threshold", "pamtopnm")
    k.pipe("dither.pbm", "ppmtopgm photo.ppm", "pamditherbw -fs -randomseed=1", "pamtopnm")
    k.pipe("dither-32.pbm", "ppmtopgm photo.ppm", "pamcut -width 32",
           "pamditherbw -fs -randomseed=1", "pamtopnm")


def make_jpeg(k, jpeg_src):
    for name in ("testorig.jpg", "testimgint.jpg", "testimgari.jpg"):
        k.check("jpeg", os.path.join(jpeg_src, name))
    k.refused(os.path.join(jpeg_src, "testorig12.jpg"))  # 12-bit samples
    photo = k.PHOTO
    k.check("jpeg", k.convert("grey.jpg", photo, "-colorspace", "Gray"))
    k.check("jpeg", k.convert("444.jpg", photo, "-sampling-factor", "1x1"))
    k.check("jpeg", k.convert("422.jpg", photo, "-sampling-factor", "2x1"))
    k.check("jpeg", k.convert("progressive.jpg", photo, "-interlace", "JPEG"))
    k.check("jpeg", k.convert("odd-size.jpg", photo, "-crop", "33x17+100+50", "+repage"))
    k.check("jpeg", k.pipe("restart.jpg", "pnmtojpeg -restart=2 -quality=60 photo.ppm"))
    k.check("jpeg", k.pipe("optimised-grey.jpg", "ppmtopgm photo.ppm",
                           "pnmtojpeg -optimize -progressive"))
    k.refused(k.convert("cmyk.jpg", photo, "-colorspace", "CMYK"))


def make_bmp(k, jpeg_src):
    for path in sorted(glob.glob(os.path.join(jpeg_src, "*.bmp"))):
        k.check("bmp", path)
    k.check("bmp", k.pipe("netpbm-1.bmp", "ppmtobmp -bpp 1 q2.ppm"))
    k.check("bmp", k.pipe("netpbm-4.bmp", "ppmtobmp -bpp 4 q16.ppm"))
    k.check("bmp", k.pipe("netpbm-4-of-5.bmp", "ppmtobmp -bpp 4 q5.ppm"))
    k.check("bmp", k.pipe("netpbm-8.bmp", "ppmtobmp -bpp 8 q256.ppm"))
    k.check("bmp", k.pipe("netpbm-24.bmp", "ppmtobmp -bpp 24 photo.ppm"))
    palette = ("-type", "Palette", "-compress", "none")
    k.check("bmp", k.convert("im-1.bmp", "bw.pbm", "-type", "bilevel", fmt="BMP3:"))
    k.check("bmp", k.convert("im-4.bmp", "q16.ppm", *palette, fmt="BMP3:"))
    k.check("bmp", k.convert("im-8.bmp", "q256.ppm", *palette, fmt="BMP3:"))
    k.check("bmp", k.convert("im-v5-8.bmp", "q256.ppm", *palette, fmt="BMP:"))
    k.check("bmp", k.convert("im-v5-24.bmp", k.PHOTO, fmt="BMP:"))
    k.check("bmp", k.convert("im-v4-1.bmp", "bw.pbm", "-type", "bilevel", fmt="BMP:"))
    k.check("bmp", k.convert("im-32.bmp", k.PHOTO, "-alpha", "set", "-define", "bmp3:alpha=true",
                             fmt="BMP3:"))
    k.refused(k.convert("rle8.bmp", "q256.ppm", "-type", "Palette", fmt="BMP3:"))
    k.refused(k.convert("os2.bmp", "q16.ppm", fmt="BMP2:"))
    k.refused(k.convert("bitfields-32.bmp", k.PHOTO, "-alpha", "set", fmt="BMP:"))
    bitfields16 = k.convert("bitfields-16.bmp", k.PHOTO, "-define", "bmp:subtype=RGB555",
                            fmt="BMP3:")
    k.refused(bitfields16)
    k.refused(patch(bitfields16, 30, "<I", "rgb-16.bmp", 0))  # BI_RGB at 16 bits per pixel


def make_pcx(k):
    k.check("pcx8", k.pipe("netpbm-8.pcx", "ppmtopcx -8bit q256.ppm"))
    k.check("pcx8", k.pipe("netpbm-8-of-16.pcx", "ppmtopcx -8bit q16.ppm"))
    k.check("pcx8", k.convert("im-8.pcx", "q256.ppm", "-type", "Palette"))
    k.refused(k.convert("im-24.pcx", k.PHOTO))  # three 8-bit planes
    # The 1-bit reader knows version 3 headers (no palette) only; ppmtopcx
    # writes version 5.
    for name in ("bw", "dither", "dither-32"):
        written = k.pipe(name + "-v5.pcx", "ppmtopcx %s.pbm" % name)
        k.refused(written)
        one_bit = patch(written, 1, "B", name + ".pcx", 3)
        ref = os.path.join(k.refs, "pcx1-" + name + ".rgba")
        decoded = k.pipe(name + "-pcx.ppm", "pcxtoppm %s.pcx" % name)
        run(CONVERT, decoded, "-depth", "8", "rgba:" + ref)
        width, height = size_of(decoded)
        k.m.add("pcx1", k.m.rel(one_bit), k.m.rel(ref), width, height, 0)
    sixteen = k.pipe("planes-4-v5.pcx", "ppmtopcx q16.ppm")
    k.refused(patch(sixteen, 1, "B", "planes-4.pcx", 3))


def make_gif(k):
    k.check("gif", k.pipe("netpbm-2.gif", "pamtogif q2.ppm"))
    k.check("gif", k.pipe("netpbm-16-interlaced.gif", "pamtogif -interlace q16.ppm"))
    k.check("gif", k.pipe("netpbm-256.gif", "pamtogif q256.ppm"))
    red, green, blue = output_of("ppmhist", "-noheader", k.path("q4.ppm")).split()[:3]
    transparent = "rgb:%02x/%02x/%02x" % (int(red), int(green), int(blue))
    k.check("gif", k.pipe("netpbm-4-transparent.gif",
                          "pamtogif -transparent=%s q4.ppm" % transparent))
    k.check("gif", k.convert("im-256.gif", "q256.ppm"))
    k.check("gif", k.convert("im-16-interlaced.gif", "q16.ppm", "-interlace", "GIF"))
    k.check("gif", k.convert("im-87a.gif", "q5.ppm", fmt="GIF87:"))
    k.check("gif", k.convert("im-dither.gif", "dither.pbm"))

    # Frames of several sizes, offsets, delays (0 among them), disposals,
    # transparency and their own colour tables.
    k.convert("frame-0.png", k.PHOTO, "-resize", "60x40!", "-colors", "64")
    k.convert("frame-1.png", k.PHOTO, "-crop", "20x12+120+60", "+repage", "-colors", "8")
    k.convert("frame-2.png", k.PHOTO, "-crop", "24x16+40+30", "+repage", "-colors", "16",
              "-alpha", "set", "-region", "8x6+4+4", "-alpha", "transparent")
    animation = k.convert(
        "animation.gif", "-dispose", "none", "-delay", "0", "-page", "60x40+0+0", "frame-0.png",
        "-dispose", "previous", "-delay", "7", "-page", "+10+5", "frame-1.png",
        "-dispose", "background", "-delay", "25", "-page", "+30+20", "frame-2.png",
        "-loop", "0")
    fields = output_of(IDENTIFY, "-format", "%W %H %w %h %X %Y %T %D %A\n", animation)
    frames = [line.split() for line in fields.decode().splitlines() if line]
    k.m.add("animation", k.m.rel(animation), frames[0][0], frames[0][1], len(frames))
    disposals = {"Undefined": 0, "None": 1, "Background": 2, "Previous": 3}
    for index, (_, _, width, height, left, top, delay, dispose, alpha) in enumerate(frames):
        ref = os.path.join(k.refs, "animation-%d.rgba" % index)
        reference("%s[%d]" % (animation, index), ref)
        k.m.add("frame", k.m.rel(ref), int(left), int(top), width, height, delay,
                disposals[dispose], 1 if alpha == "True" else 0)


def make_icons(k, alpha_png):
    for size in (16, 32, 48):
        k.pipe("s%d.ppm" % size, "pamscale -xysize %d %d photo.ppm" % (size, size),
               "pamcut -width %d -height %d -pad" % (size, size))
    k.pipe("s16-2.ppm", "pnmquant 2 s16.ppm")
    k.pipe("s32-2.ppm", "pnmquant 2 s32.ppm")
    k.pipe("s32-16.ppm", "pnmquant 16 s32.ppm")
    k.pipe("s32-256.ppm", "pnmquant 256 s32.ppm")
    k.pipe("s48-256.ppm", "pnmquant 256 s48.ppm")
    # Black (0) in the mask is transparent; as icon editors do, the colour
    # under it is black too, or Windows would invert the screen there.
    k.pipe("s32-mask.pgm", "pgmramp -diagonal 32 32", "pamthreshold -simple -threshold=0.5",
           "pamtopnm", "pamdepth 255", "pamtopnm")
    k.pipe("s32-mask.ppm", "pgmtoppm rgb:ff/ff/ff s32-mask.pgm")
    k.pipe("s32-masked.ppm", "pnmquant 15 s32.ppm", "pamarith -minimum - s32-mask.ppm")

    def icon(kind, path, entry):
        source = "%s[%d]" % (path, entry)
        ref = os.path.join(k.refs, kind + "-" + os.path.basename(path) + ".rgba")
        reference(source, ref)
        width, height = size_of(source)
        k.m.add(kind, k.m.rel(path), k.m.rel(ref), width, height, entry)

    # The 32-pixel entry of 16 colours comes first in the choice.
    sizes = k.pipe("netpbm-sizes.ico", "ppmtowinicon s16-2.ppm s32-16.ppm s48-256.ppm")
    icon("icon", sizes, 1)
    # Only 32-bit entries, whose colour count is 0: the last one.
    icon("icon", k.convert("im-sizes.ico", "s16.ppm", "s32.ppm", "s48.ppm"), 2)
    icon("icon", k.pipe("netpbm-1.ico", "ppmtowinicon s32-2.ppm"), 0)
    icon("icon", k.pipe("netpbm-8.ico", "ppmtowinicon s32-256.ppm"), 0)
    icon("icon", k.pipe("netpbm-masked.ico", "ppmtowinicon -andpgms s32-masked.ppm s32-mask.pgm"),
         0)
    alpha = k.convert("im-alpha.ico", alpha_png)
    icon("icon", alpha, 0)
    # ImageMagick writes icon directories for .cur files too: type 2 and a hot
    # spot in place of planes and bit count make cursors of them.
    for name, path, entry in (("netpbm-sizes.cur", sizes, 1), ("im-alpha.cur", alpha, 0)):
        cursor = patch(path, 2, "<H", name, 2)
        for index in range(struct.unpack("<H", open(cursor, "rb").read()[4:6])[0]):
            cursor = patch(cursor, 6 + 16 * index + 4, "<HH", name, 5 + index, 7 + index)
        icon("cursor", cursor, entry)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    out = os.path.abspath(sys.argv[1])
    shutil.rmtree(out, ignore_errors=True)
    for folder in ("src", "made", "refs"):
        os.makedirs(os.path.join(out, folder))
    unpack_sources(out)
    m = Manifest(out)
    src, refs = os.path.join(out, "src"), os.path.join(out, "refs")
    jpeg_src = os.path.join(src, "testimages")
    make_png(m, src, refs)
    k = Maker(m, os.path.join(out, "made"), refs)
    shutil.copy(os.path.join(jpeg_src, "testorig.ppm"), k.path(k.PHOTO))
    make_quantised(k)
    make_jpeg(k, jpeg_src)
    make_bmp(k, jpeg_src)
    make_pcx(k)
    make_gif(k)
    make_icons(k, os.path.join(src, "contrib/pngsuite/basn6a08.png"))
    m.write()


if __name__ == "__main__":
    main()
