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
# 80 x 60: opaque blue, a band of half-transparent red, clear; and a red rectangle on
# the white of its lower-left pixel; and a photo larger than half of a 1024 x 768 screen.
$convert -size 40x60 xc:blue -size 10x60 xc:#FF000080 -size 30x60 xc:none +append PNG32:soft.png
$convert -size 80x60 xc:white -fill red -draw 'rectangle 10,10 69,49' BMP3:shaped.bmp
$convert -size 200x150 -seed 4 plasma:fractal -resize 2000x1500! -quality 90 large.jpg
