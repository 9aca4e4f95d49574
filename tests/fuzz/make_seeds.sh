#!/bin/sh
# Makes the seed corpus: small BMP, JPEG and PNG files in the variants the readers know, written
# by ImageMagick and libjpeg's cjpeg (and Python for the 2-bit PNGs ImageMagick will not write).
# Run from anywhere; it writes into corpus/bmp, corpus/jpeg and corpus/png.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bmp=$here/corpus/bmp
jpeg=$here/corpus/jpeg
png=$here/corpus/png
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$bmp" "$jpeg" "$png"

convert -size 13x7 gradient:red-blue -swirl 60 -depth 8 "$tmp/src.ppm"
convert "$tmp/src.ppm" BMP3:"$bmp/seed-24-v3.bmp"
convert "$tmp/src.ppm" BMP2:"$bmp/seed-24-core.bmp"
convert "$tmp/src.ppm" -type Palette BMP2:"$bmp/seed-8-core.bmp"
convert "$tmp/src.ppm" BMP:"$bmp/seed-24-v5.bmp"
convert "$tmp/src.ppm" -type Palette BMP3:"$bmp/seed-8-rle.bmp"
convert "$tmp/src.ppm" -type Palette -compress None BMP3:"$bmp/seed-8.bmp"
convert "$tmp/src.ppm" -colors 16 -type Palette -compress None BMP3:"$bmp/seed-4.bmp"
convert "$tmp/src.ppm" -monochrome BMP3:"$bmp/seed-1.bmp"
convert "$tmp/src.ppm" -define bmp:subtype=RGB565 BMP:"$bmp/seed-565.bmp"
convert "$tmp/src.ppm" -define bmp:subtype=RGB555 BMP:"$bmp/seed-555-masks.bmp"
convert "$tmp/src.ppm" -alpha on BMP:"$bmp/seed-32-masks.bmp"
# RLE4, 7 x 2: runs, a jump, an odd literal, end of line and of bitmap (no common writer makes it).
printf 'BM\124\0\0\0\0\0\0\0\106\0\0\0(\0\0\0\7\0\0\0\2\0\0\0\1\0\4\0\2\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\4\0\0\0\0\0\0\0\0\0\0\0\377\0\0\0\0\377\0\0\0\0\377\0\4\22\0\0\0\2\1\0\0\3\62\20\0\1' >"$bmp/seed-rle4.bmp"

convert -size 16x16 plasma:fractal -depth 8 "$tmp/p.ppm" 2>/dev/null || convert "$tmp/src.ppm" -resize 16x16! "$tmp/p.ppm"
cjpeg -quality 100 "$tmp/p.ppm" >"$jpeg/seed-baseline.jpg"
cjpeg -quality 75 -progressive "$tmp/p.ppm" >"$jpeg/seed-progressive.jpg"
cjpeg -quality 90 -sample 1x1 "$tmp/p.ppm" >"$jpeg/seed-444.jpg"
cjpeg -quality 90 -restart 1B "$tmp/p.ppm" >"$jpeg/seed-restart.jpg"
cjpeg -quality 90 -arithmetic "$tmp/p.ppm" >"$jpeg/seed-arithmetic.jpg"
cjpeg -quality 90 -grayscale "$tmp/p.ppm" >"$jpeg/seed-grey.jpg"
cjpeg -quality 90 -optimize "$tmp/p.ppm" >"$jpeg/seed-optimized.jpg"
convert "$tmp/p.ppm" -colorspace CMYK "$jpeg/seed-cmyk.jpg"

convert "$tmp/src.ppm" -monochrome -define png:color-type=3 -define png:bit-depth=1 "$png/seed-palette-1.png"
convert "$tmp/src.ppm" -colors 16 -define png:color-type=3 -define png:bit-depth=4 "$png/seed-palette-4.png"
convert "$tmp/src.ppm" -colors 200 PNG8:"$png/seed-palette-8.png"
convert "$tmp/src.ppm" -colors 8 -transparent "$(convert "$tmp/src.ppm" -format '%[pixel:p{0,0}]' info:)" \
    PNG8:"$png/seed-palette-trns.png"
convert "$tmp/src.ppm" -colorspace Gray -define png:color-type=0 -define png:bit-depth=8 "$png/seed-grey-8.png"
convert "$tmp/src.ppm" -colorspace Gray -depth 16 -define png:color-type=0 -define png:bit-depth=16 \
    "$png/seed-grey-16.png"
convert "$tmp/src.ppm" -colorspace Gray -alpha set -channel A -evaluate set 50% +channel \
    -define png:color-type=4 "$png/seed-grey-alpha.png"
convert "$tmp/src.ppm" PNG24:"$png/seed-rgb.png"
convert "$tmp/src.ppm" -alpha set -channel A -evaluate set 40% +channel PNG32:"$png/seed-rgba.png"
convert "$tmp/src.ppm" -depth 16 PNG48:"$png/seed-rgb-16.png"
convert "$tmp/src.ppm" -interlace PNG PNG24:"$png/seed-interlaced.png"
# 9 x 3 at two bits a pixel, indices 0 to 3 in turn: a palette picture and a grey one.
python3 - "$png" <<'PY'
import struct, sys, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
def write(name, colour_type, palette=b""):
    rows = b"".join(b"\0" + bytes([0b00011011, 0b11100100, 0b01000000]) for _ in range(3))
    head = chunk(b"IHDR", struct.pack(">IIBBBBB", 9, 3, 2, colour_type, 0, 0, 0))
    body = chunk(b"PLTE", palette) if palette else b""
    with open(sys.argv[1] + "/" + name, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + head + body + chunk(b"IDAT", zlib.compress(rows))
                + chunk(b"IEND", b""))
write("seed-palette-2.png", 3, bytes([0, 0, 0, 255, 0, 0, 0, 255, 0, 40, 60, 200]))
write("seed-grey-2.png", 0)
PY
