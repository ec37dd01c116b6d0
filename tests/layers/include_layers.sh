#!/usr/bin/env bash
# The core's folders form layers, lowest first; a folder may include its own
# headers and those of lower layers, never one above it (that is how upward
# dependencies crept in before). Folders on one line share a layer and do
# not include each other.
set -euo pipefail
src=${1:?usage: include_layers.sh SRC_DIR}
layers=(
  "base"
  "resources gfx platform"
  "state"
  "control"
  "palette"
  "settings image"
  "overlay"
  "modules"
  "saver"
  "config"
)
declare -A rank
for i in "${!layers[@]}"; do
  for folder in ${layers[$i]}; do rank[$folder]=$i; done
done

bad=0
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  [ -n "${rank[$folder]:-}" ] || { echo "folder src/$folder has no layer: add it here"; bad=1; continue; }
  while IFS=: read -r file line text; do
    target=$(sed -E 's/^#include "([a-z_]+)\/.*/\1/' <<<"$text")
    [ "$target" = "$folder" ] && continue
    [ -n "${rank[$target]:-}" ] || continue
    if [ "${rank[$target]}" -ge "${rank[$folder]}" ]; then
      echo "${file#"$src"/}:$line includes $target/, which is not below $folder/"
      bad=1
    fi
  done < <(grep -rn -E '^#include "[a-z_]+/' "$dir" || true)
done
[ "$bad" -eq 0 ] && echo "every include points down"
exit "$bad"
