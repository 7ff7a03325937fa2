#!/usr/bin/env bash
# Renders the player's artwork (videoplayer/res/art/*.svg) into the PNG images and the icon that the resources embed.
# The bar's images and the logo come in three sets, for 100, 150 and 200 percent display scale: images/, images/150/
# and images/200/. The rendered files are committed, so building needs none of this; rerun it after changing an SVG.
# Needs rsvg-convert (librsvg2-bin), ImageMagick's convert (imagemagick) and optipng.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
art=$root/videoplayer/res/art
images=$root/videoplayer/res/images
icon=$root/videoplayer/res/player.ico

for tool in rsvg-convert convert optipng; do
  command -v "$tool" >/dev/null ||
    { echo "render-art: $tool is missing (apt-get install librsvg2-bin imagemagick optipng)" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Renders one SVG at an exact size into an 8-bit RGBA PNG. GDI+ decodes any PNG, but the images are documented as
# 8-bit RGBA, so the colour type is forced (ImageMagick would otherwise pick grey or palette for simple images).
# -strip drops the date, gamma and resolution chunks: the output then depends only on the SVG, GDI+ applies no gamma,
# and it draws the image at its pixel size rather than scaling it by a stored resolution.
# The renderer works premultiplied, so a faint edge of the near-black glyph shadow (alpha of a few units) comes out as
# pure black; the bar's layered window keys pure black out, so every channel is lifted to at least 1.
# optipng then packs the pixels tighter, losslessly and keeping the 8-bit RGBA form (-nx): every byte is in the
# program and its installer, three sets of them.
render() { # svg width height out.png
  rsvg-convert --width "$2" --height "$3" "$art/$1" --output "$work/raw.png"
  convert "$work/raw.png" -strip -depth 8 -channel RGB -evaluate max 0.4% +channel \
    -define png:color-type=6 "PNG32:$4"
  optipng -quiet -o7 -nx "$4"
  local size
  size=$(identify -format '%wx%h' "$4")
  [ "$size" = "$2x$3" ] || { echo "render-art: $4 is $size, not $2x$3" >&2; exit 1; }
}

# A length at a scale, rounded half up as the player rounds it (MulDiv), so that the set made for a scale is exactly the
# size the player wants there and is drawn without resampling.
at_scale() { # length percent
  echo $(( ($1 * $2 + 50) / 100 ))
}

for percent in 100 150 200; do
  folder=$images
  [ "$percent" = 100 ] || folder=$images/$percent
  mkdir -p "$folder"
  while read -r name width height; do
    render "$name.svg" "$(at_scale "$width" "$percent")" "$(at_scale "$height" "$percent")" "$folder/$name.png"
  done <<'EOF'
bar_bkg 10 36
open 36 32
play 36 32
pause 36 32
prev 36 32
mute 36 32
next 36 32
stop 36 32
time_bkg 3 12
time_forg 6 12
time_bar 7 12
volume_bar 66 12
volume_ball 16 12
logo 128 128
EOF
done

# The icon: 16 px from its own pixel-fitted drawing, the larger sizes from the full mark. ImageMagick stores the
# 16, 32 and 48 px images as 32-bit BMPs with alpha and the 256 px image as PNG, as Windows expects.
render icon-16.svg 16 16 "$work/icon16.png"
for size in 32 48 256; do
  render icon.svg "$size" "$size" "$work/icon$size.png"
done
convert "$work/icon16.png" "$work/icon32.png" "$work/icon48.png" "$work/icon256.png" "$icon"

echo "render-art: wrote $(find "$images" -name '*.png' | wc -l) images to $images and $icon"
