#!/usr/bin/env python3
"""Writes the PNG pictures inside a Windows icon as <out>/<size>.png."""
import struct
import sys

icon, out = sys.argv[1], sys.argv[2]
data = open(icon, 'rb').read()
_, _, count = struct.unpack('<HHH', data[:6])
for i in range(count):
    width, _, _, _, _, _, size, offset = struct.unpack('<BBBBHHII', data[6 + 16 * i:22 + 16 * i])
    picture = data[offset:offset + size]
    if picture[:4] != b'\x89PNG':
        continue
    with open(f'{out}/{width or 256}.png', 'wb') as f:
        f.write(picture)
