#!/bin/sh
# Makes the folder of clips the end-to-end playback tests play: an 8 s test picture, then two
# 2 s clips, one of them under a name outside ASCII. Paths sort in that order.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
clip() { # name seconds source
  [ -s "$1" ] || ff -f lavfi -i "$3=duration=$2:size=320x240:rate=25" -f lavfi -i "sine=frequency=440:duration=$2" \
    -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$1"
}
clip a.mp4 8 testsrc
clip 'b-vidéo.mp4' 2 testsrc2
clip c.mp4 2 smptebars

# A folder of its own for files that open but cannot be played: a text file under an .mp4 name
# between two playable clips (paths sort a, b-text, c).
mkdir -p unplayable
[ -s unplayable/a.mp4 ] || cp c.mp4 unplayable/a.mp4
[ -s unplayable/b-text.mp4 ] || printf 'Not a video: a text file under an .mp4 name.\n' > unplayable/b-text.mp4
[ -s unplayable/c.mp4 ] || cp 'b-vidéo.mp4' unplayable/c.mp4
