#!/usr/bin/env bash
# Makes the seed corpus of the wave fuzz targets: short tones written by sox in
# the formats files come in, and copies with LIST chunks added before the data
# (even, odd with its pad byte, odd without one). Run by hand; the output is
# committed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

tone() {  # tone NAME RATE sox-format-options...
  local name=$1 rate=$2; shift 2
  sox -n -r "$rate" "$@" "$work/$name.wav" synth 0.01 sine 440
}
tone u8-mono 11025 -b 8 -c 1 -e unsigned-integer
tone s16-mono 16000 -b 16 -c 1
tone s16-stereo 22050 -b 16 -c 2
tone s24-mono 8000 -b 24 -c 1
tone s16-4ch-extensible 8000 -b 16 -c 4
tone f32-mono 8000 -b 32 -c 1 -e floating-point

# with-list SOURCE NAME TEXT PAD: SOURCE with a LIST/INFO/ICMT chunk inserted
# before its data chunk; PAD=no leaves out the pad byte of an odd chunk.
with_list() {
  python3 - "$work/$1.wav" "$work/$2.wav" "$3" "$4" <<'PY'
import struct, sys
src, dst, text, pad = sys.argv[1], sys.argv[2], sys.argv[3].encode(), sys.argv[4]
data = open(src, 'rb').read()
at = data.index(b'data')
body = b'INFO' + b'ICMT' + struct.pack('<I', len(text)) + text
chunk = b'LIST' + struct.pack('<I', len(body)) + body
if pad == 'yes' and len(body) % 2:
    chunk += b'\0'
out = data[:at] + chunk + data[at:]
out = out[:4] + struct.pack('<I', len(out) - 8) + out[8:]
open(dst, 'wb').write(out)
PY
}
with_list u8-mono u8-list "Placarim" yes
with_list s16-mono s16-list-odd-padded "seed!" yes
with_list u8-mono u8-list-odd-unpadded "odd" no

for target in wave_file_fuzzer wave_image_fuzzer; do
  mkdir -p "$here/corpus/$target"
  cp "$work"/*.wav "$here/corpus/$target/"
done
