#!/bin/sh
# Makes the clips the libvlc bridge test plays, in the folder given: a 3 s test picture with a
# tone, a 2 s plain-colour clip with 2:1 pixels under a name outside ASCII, and 3 s plain-colour
# clips whose pictures reach the output in less common shapes: an odd size in 4:4:4, a 10-bit
# source, one stored turned a quarter, and Cinepak from an RGB source (decoded to 24-bit RGB) in
# Matroska under an .mp4 name. The Cinepak track is stored the Video-for-Windows way: libVLC 3
# finds no codec in the QuickTime-style entry ffmpeg writes for it, and plays such a file as
# sound only.
set -eu
out=$1
mkdir -p "$out"
here=$(cd "$(dirname "$0")" && pwd)
cd "$out"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
[ -s clip.mp4 ] || ff -f lavfi -i testsrc=duration=3:size=320x240:rate=25 \
  -f lavfi -i sine=frequency=440:duration=3 \
  -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest clip.mp4
wide='vidéo-ñ-日本.mp4'
[ -s "$wide" ] || ff -f lavfi -i color=c=0x3080e0:size=320x240:rate=25:duration=2 \
  -f lavfi -i sine=frequency=660:duration=2 \
  -vf setsar=2/1 -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$wide"
colour() { # name size codec-options...
  name=$1 size=$2
  shift 2
  [ -s "$name" ] || ff -f lavfi -i "color=c=0x3080e0:size=$size:rate=25:duration=3" \
    -f lavfi -i sine=frequency=550:duration=3 "$@" -c:a aac -shortest "$name"
}
colour odd.mp4 176x144 -vf format=yuv444p,crop=175:143:0:0 -c:v libx264
colour ten-bit.mp4 320x240 -c:v libx264 -pix_fmt yuv420p10le
if [ ! -s cinepak.mp4 ]; then
  colour cinepak-qt.mkv 320x240 -pix_fmt rgb24 -c:v cinepak -f matroska -write_crc32 0
  python3 "$here/matroska_vfw.py" cinepak-qt.mkv cinepak.mp4 320 240 cvid
fi
if [ ! -s turned.mp4 ]; then
  colour upright.mp4 320x240 -c:v libx264 -pix_fmt yuv420p
  ff -i upright.mp4 -c copy -metadata:s:v:0 rotate=90 turned.mp4
fi
