#!/bin/sh
# Makes the folder of clips the end-to-end playback tests play: an 8 s test picture, then two
# 2 s clips, one of them under a name outside ASCII. Paths sort in that order. In shapes/, out of
# the folder's playlist: Cinepak from an RGB source in Matroska (its track stored the
# Video-for-Windows way, see make_clips.sh), and a plain-colour clip of an odd size.
set -eu
out=$1
mkdir -p "$out"
here=$(cd "$(dirname "$0")" && pwd)
cd "$out"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
clip() { # name seconds source
  [ -s "$1" ] || ff -f lavfi -i "$3=duration=$2:size=320x240:rate=25" -f lavfi -i "sine=frequency=440:duration=$2" \
    -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$1"
}
clip a.mp4 8 testsrc
clip 'b-vidéo.mp4' 2 testsrc2
clip c.mp4 2 smptebars
mkdir -p shapes
[ -s shapes/cinepak-qt.mkv ] || ff -f lavfi -i testsrc=duration=6:size=320x240:rate=25 \
  -f lavfi -i sine=frequency=440:duration=6 -pix_fmt rgb24 -c:v cinepak -c:a aac -shortest \
  -f matroska -write_crc32 0 shapes/cinepak-qt.mkv
[ -s shapes/cinepak.mp4 ] || python3 "$here/matroska_vfw.py" shapes/cinepak-qt.mkv shapes/cinepak.mp4 320 240 cvid
[ -s shapes/odd.mp4 ] || ff -f lavfi -i color=c=0x3080e0:size=176x144:rate=25:duration=6 \
  -f lavfi -i sine=frequency=550:duration=6 -vf format=yuv444p,crop=175:143:0:0 -c:v libx264 \
  -c:a aac -shortest shapes/odd.mp4

# A folder of its own for files that open but cannot be played: a text file under an .mp4 name
# between two playable clips (paths sort a, b-text, c).
mkdir -p unplayable
[ -s unplayable/a.mp4 ] || cp c.mp4 unplayable/a.mp4
[ -s unplayable/b-text.mp4 ] || printf 'Not a video: a text file under an .mp4 name.\n' > unplayable/b-text.mp4
[ -s unplayable/c.mp4 ] || cp 'b-vidéo.mp4' unplayable/c.mp4
