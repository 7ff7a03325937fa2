#!/bin/sh
# Makes the clips the libvlc bridge test plays, in the folder given: a 3 s test picture with a
# tone, and a 2 s plain-colour clip with 2:1 pixels under a name outside ASCII.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
ff() { ffmpeg -nostdin -hide_banner -loglevel error -y "$@"; }
[ -s clip.mp4 ] || ff -f lavfi -i testsrc=duration=3:size=320x240:rate=25 \
  -f lavfi -i sine=frequency=440:duration=3 \
  -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest clip.mp4
wide='vidéo-ñ-日本.mp4'
[ -s "$wide" ] || ff -f lavfi -i color=c=0x3080e0:size=320x240:rate=25:duration=2 \
  -f lavfi -i sine=frequency=660:duration=2 \
  -vf setsar=2/1 -c:v libx264 -pix_fmt yuv420p -c:a aac -shortest "$wide"
