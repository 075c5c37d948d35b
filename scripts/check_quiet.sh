#!/usr/bin/env bash
# Headless runs of the tools print only their own output: nothing on the error stream when they succeed,
# even without a session runtime folder (as on a server or in CI).
#   scripts/check_quiet.sh BUILD_DIR
set -euo pipefail
root="$(cd "$(dirname "$(readlink -f "$0")")/.." && pwd)"
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/content/." "$work/runtime"
export QT_QPA_PLATFORM=offscreen
unset XDG_RUNTIME_DIR

status=0
run() {
  if ! "$@" >"$work/out" 2>"$work/err"; then
    echo "failed: $*" >&2; cat "$work/err" >&2; status=1
  elif [ -s "$work/err" ]; then
    echo "noise on the error stream of: $*" >&2; cat "$work/err" >&2; status=1
  fi
}
run "$build/vexa-render" "$root/content/Info/about_game.html" --height 200 "$work/page.png"
run "$build/vexa-render" "$root/content/Info/about_game.html" --pdf "$work/page.pdf" --paper Letter
run "$build/vexa-dump" layout "$root/content/Info/about_game.html"
run "$build/vexa-drive" --runtime "$work/runtime" --png "$work/window.png" wait 50
if [ "$status" -eq 0 ]; then echo "quiet: the tools print only their own output"; fi
exit "$status"
