#!/usr/bin/env python3
"""Rewrites a Matroska file's video track from ffmpeg's QuickTime-style codec entry (V_QUICKTIME)
to the Video-for-Windows one (V_MS/VFW/FOURCC with a BITMAPINFOHEADER), as other Matroska
writers store Cinepak and most AVI-era codecs. The byte count stays the same (an EBML Void fills
the difference), so no size, seek entry or cue moves. Written without CRC-32 elements.

    matroska_vfw.py <in.mkv> <out> <width> <height> <fourcc>
"""
import struct
import sys


def main():
    source, target, width, height, fourcc = sys.argv[1:6]
    width, height = int(width), int(height)
    data = bytearray(open(source, 'rb').read())

    old_id = b'\x86\x8bV_QUICKTIME'
    at = data.find(old_id)
    private = data.find(b'\x63\xa2', at)
    if at < 0 or private < 0 or data[private + 2] & 0x80 == 0:
        sys.exit('no V_QUICKTIME track with a short codec-private entry in ' + source)
    private_end = private + 3 + (data[private + 2] & 0x7f)

    header = struct.pack('<IiiHH4sIiiII', 40, width, height, 1, 24, fourcc.encode('ascii'),
                         width * height * 3, 0, 0, 0, 0)
    new_id = b'\x86\x8fV_MS/VFW/FOURCC'
    new_private = b'\x63\xa2' + bytes([0x80 | len(header)]) + header
    between = data[at + len(old_id):private]
    old_length = private_end - at
    void_length = old_length - len(new_id) - len(between) - len(new_private)
    if not 2 <= void_length <= 128:
        sys.exit('unexpected layout in ' + source)
    void = b'\xec' + bytes([0x80 | (void_length - 2)]) + bytes(void_length - 2)
    data[at:private_end] = new_id + between + new_private + void
    open(target, 'wb').write(data)


if __name__ == '__main__':
    main()
