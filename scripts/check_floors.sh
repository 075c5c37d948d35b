#!/usr/bin/env bash
# Checks that every folder of the program includes only folders on its own floor or below it.
# Floors, highest first; a folder may include any folder listed after it, never one before it.
# Tools, benchmarks, fuzz targets and tests sit on top and may include everything.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."

floors=(app viewer print reader layout style images core platform)

floor_of() {
  local i
  for i in "${!floors[@]}"; do
    if [ "${floors[$i]}" = "$1" ]; then echo "$i"; return; fi
  done
  echo -1
}

status=0
for folder in "${floors[@]}"; do
  [ -d "$folder" ] || continue
  own=$(floor_of "$folder")
  while IFS= read -r line; do
    file=${line%%:*}
    rest=${line#*:}
    num=${rest%%:*}
    target=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^/"]*\)\/.*/\1/p' <<<"${rest#*:}")
    [ -n "$target" ] || continue
    other=$(floor_of "$target")
    [ "$other" -ge 0 ] || continue          # not one of our folders (a platform/qt/ private header and the like)
    if [ "$other" -lt "$own" ]; then
      echo "$file:$num: $folder/ includes $target/, a floor above it" >&2
      status=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$folder" || true)
done

# Qt stays inside platform/.
outside=()
for folder in "${floors[@]}" tools bench fuzz tests; do
  if [ "$folder" != platform ] && [ -d "$folder" ]; then outside+=("$folder"); fi
done
if grep -rln --include='*.h' --include='*.cpp' -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "${outside[@]}"; then
  echo "the files above include a Qt header outside platform/" >&2
  status=1
fi

if [ "$status" -eq 0 ]; then echo "floors: every include points downward"; fi
exit "$status"
