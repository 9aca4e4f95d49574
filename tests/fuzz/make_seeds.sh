#!/bin/sh
# Makes the seed corpus: small BMP and JPEG files in the variants the readers know, written by
# ImageMagick and libjpeg's cjpeg. Run from anywhere; it writes into corpus/bmp and corpus/jpeg.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bmp=$here/corpus/bmp
jpeg=$here/corpus/jpeg
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$bmp" "$jpeg"

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
