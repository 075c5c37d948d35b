#!/usr/bin/env bash
# Builds the program (Release), lays out its runtime folder and starts it.
# Without a display it shows the window headless and writes a PNG of it.
set -euo pipefail
root="$(dirname "$(readlink -f "$0")")"
cd "$root"

scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release

runtime="$root/build/runtime"
mkdir -p "$runtime"
cp -u build/release/VexaInfo "$runtime/"
if [ -x build/release/VexaTest ]; then cp -u build/release/VexaTest "$runtime/"; fi
for dir in Info skin; do
  rm -rf "${runtime:?}/$dir"
  cp -r "content/$dir" "$runtime/$dir"
done

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  png="$runtime/info-window.png"
  QT_QPA_PLATFORM=offscreen build/release/vexa-drive --runtime "$runtime" --png "$png" >/dev/null
  echo "$png"
  exit 0
fi
cd "$runtime"
exec ./VexaInfo
