#!/usr/bin/env bash
# The tool's folders include only headers of the folders their libraries use. LAYERS holds one
# line per folder, "FOLDER: USED...", which the build writes from each folder's
# target_link_libraries (tools/artargets/CMakeLists.txt); every source and header under
# TOOLDIR/*/ is read, and each include of another folder's header ("checks/Finding.h") that its
# folder does not use is named with its file and line. A folder without a line fails too: a new
# folder needs its library.
# Usage: check_layers.sh TOOLDIR LAYERS
set -euo pipefail
tooldir="$1"
layers="$2"

# The lines go from the bottom up (AR_TOOL_FOLDERS): a folder may use only folders below it,
# so that no use points back up and the uses never go round in a circle.
declare -A uses
status=0
below=" "
while IFS=: read -r folder used; do
  [[ -n "$folder" ]] || continue
  uses[$folder]=" ${used# } "
  for other in $used; do
    if [[ "$below" != *" $other "* ]]; then
      echo "$layers: $folder uses $other, which does not stand below it"
      status=1
    fi
  done
  below+="$folder "
done <"$layers"

for dir in "$tooldir"/*/; do
  folder=$(basename "$dir")
  if [[ -z "${uses[$folder]+known}" ]]; then
    echo "$dir: a folder of the tool without a library naming the folders it uses"
    status=1
    continue
  fi
  while IFS=: read -r file line text; do
    included=${text#*\"}
    included=${included%%\"*}
    other=${included%%/*}
    [[ "$other" == "$included" || "$other" == "$folder" ]] && continue
    [[ -d "$tooldir/$other" ]] || continue  # another library's header (ar/, du/, ...)
    if [[ "${uses[$folder]}" != *" $other "* ]]; then
      read -ra allowed <<<"${uses[$folder]}"
      echo "$file:$line: $folder/ includes $included, but $folder uses only" \
        "${allowed[*]:-no other folder}"
      status=1
    fi
  done < <(find "$dir" -type f \( -name '*.h' -o -name '*.cpp' \) -exec \
             grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' {} +)
done
exit "$status"
