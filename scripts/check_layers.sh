#!/usr/bin/env bash
# The layers, bottom to top (cmake/layers.txt): each folder may include only itself and the
# folders below it.
# Prints every include that breaks this as file:line and exits 1; exits 0 when none does.
# The build enforces the same by linking (a lower folder's library and tests link nothing
# above it); this check names the line instead of leaving a linker error to decipher.
set -euo pipefail
cd "$(dirname "$0")/.."

# The table: cmake/layers.txt, one line per folder, bottom to top, with its library and the
# include prefixes its files may use (a prefix ending in / is a folder; a ":..." after it says
# how CMake links that folder, which does not matter here).
declare -A allowed=()
order=()
while read -r folder _library includes; do
  [[ -z "$folder" || "$folder" == \#* ]] && continue
  allowed[$folder]=$(sed -E 's/:[a-z]+//g' <<<"$includes")
  order+=("$folder")
done < cmake/layers.txt
# Deepest folders first, so device/d2xx/ files are judged by their own rule, not device's.
mapfile -t order < <(printf '%s\n' "${order[@]}" | awk -F/ '{ print NF "\t" NR "\t" $0 }' |
                     sort -k1,1nr -k2,2n | cut -f3)

status=0
for folder in "${order[@]}"; do
  [ -d "$folder" ] || continue
  read -r -a prefixes <<<"${allowed[$folder]}"
  while IFS= read -r file; do
    # A file in a deeper folder that has its own rule is checked there.
    deeper=0
    for other in "${order[@]}"; do
      [[ "$other" != "$folder" && "$other" == "$folder"/* && "$file" == "$other"/* ]] && deeper=1
    done
    [ $deeper -eq 1 ] && continue
    while IFS=: read -r line include; do
      [[ "$include" == */* ]] || continue   # generated moc files and the like
      ok=0
      for p in "${prefixes[@]}"; do
        if [[ "$p" == */ ]]; then [[ "$include" == "$p"* ]] && ok=1
        else [[ "$include" == "$p" ]] && ok=1; fi
        [ $ok -eq 1 ] && break
      done
      if [ $ok -eq 0 ]; then
        echo "$file:$line: includes \"$include\"; $folder/ may include only: ${allowed[$folder]}"
        status=1
      fi
    done < <(grep -n -o -E '^[[:space:]]*#[[:space:]]*include[[:space:]]+"[^"]+"' "$file" |
             sed -E 's/^([0-9]+):.*"([^"]+)"/\1:\2/')
  done < <(find "$folder" -type f \( -name '*.h' -o -name '*.cpp' \) | sort)
done
[ $status -eq 0 ] && echo "layers: every include points down"
exit $status
