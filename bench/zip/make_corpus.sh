#!/bin/sh
# Gathers the benchmark corpus into DIR: text (the machine's license files and some man
# pages), an executable, already-compressed JPEG pictures, and a tarball of them all.
#   make_corpus.sh DIR [EXECUTABLE]
# EXECUTABLE defaults to /usr/bin/cmake; pass gobu.exe once it is built.
set -e
dir=${1:?usage: make_corpus.sh DIR [EXECUTABLE]}
exe=${2:-/usr/bin/cmake}
mkdir -p "$dir/text" "$dir/jpeg"

for f in /usr/share/common-licenses/*; do
    [ -f "$f" ] && cp "$f" "$dir/text/license-$(basename "$f")"
done
for page in bash.1 cmake.1 gcc.1 git.1 zip.1 unzip.1 tar.1 python3.1 7z.1 ls.1; do
    for src in /usr/share/man/man1/$page.gz; do
        [ -f "$src" ] && gzip -dc "$src" > "$dir/text/man-$page"
    done
done

cp "$exe" "$dir/$(basename "$exe")"

# /usr/bin/convert explicitly: another convert may come first on PATH.
if [ -x /usr/bin/convert ]; then
    i=0
    for spec in "plasma:fractal 1024x768 92" "plasma:fractal 640x480 85" "gradient:blue-yellow 800x600 90" \
                "plasma:red-green 1600x1200 88" "plasma:fractal 320x240 75" "plasma: 200x150 90"; do
        set -- $spec
        i=$((i + 1))
        /usr/bin/convert -seed $i -size "$2" "$1" -quality "$3" "$dir/jpeg/picture$i.jpg"
    done
else
    find /usr/share -name '*.jpg' -size +4k 2>/dev/null | head -n 6 | while read -r f; do
        cp "$f" "$dir/jpeg/"
    done
fi

tar -C "$dir" -cf "$dir/mixed.tar" text jpeg "$(basename "$exe")"
