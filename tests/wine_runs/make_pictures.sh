#!/bin/sh
# Makes the pictures that the Windows-side tests show, with ImageMagick, and beside
# each JPEG ImageMagick's own decoding of it as a 24-bit bitmap:
#   sh make_pictures.sh folder
set -e
out=$1
convert=/usr/bin/convert
mkdir -p "$out"
cd "$out"
$convert -size 37x23 -seed 7 plasma:fractal -quality 92 photo.jpg
$convert -size 50x41 -seed 8 plasma:fractal -interlace JPEG progressive.JPEG
$convert -size 33x17 -seed 9 plasma:fractal -colorspace Gray gray.jpg
$convert -size 29x31 -seed 10 plasma:fractal -colorspace CMYK cmyk.jpg
for f in photo.jpg progressive.JPEG gray.jpg cmyk.jpg; do
    $convert "$f" -colorspace sRGB -type TrueColor BMP3:"${f%.*}_ref.bmp"
done
# Three frames of 40 x 30, red, green and blue, a tenth of a second each, endless.
$convert -delay 10 -loop 0 -size 40x30 xc:red xc:lime xc:blue frames.gif
# A PNG of 24 x 16 for the drops onto a gobu.
$convert -size 24x16 -seed 11 plasma:fractal leaf.png
