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

declare -A uses
while IFS=: read -r folder used; do
  [[ -n "$folder" ]] && uses[$folder]=" ${used# } "
done <"$layers"

status=0
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
      echo "$file:$line: $folder/ includes $included, but $folder uses only:${uses[$folder]% }"
      status=1
    fi
  done < <(find "$dir" -type f \( -name '*.h' -o -name '*.cpp' \) -exec \
             grep -Hn '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' {} +)
done
exit "$status"
