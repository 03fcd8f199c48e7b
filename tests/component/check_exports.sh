#!/usr/bin/env bash
# Fails when the plug-in exports anything but its three entry points and its four public
# classes (their members, vtables, VTTs and type information).
set -euo pipefail
library="$1"
exports=$(nm -D --defined-only "$library")
unexpected=$(nm -DC --defined-only "$library" | sed 's/^[0-9a-f]* [A-Za-z] //' |
  grep -v -E '^(OrlDllCreateComponent|OrlDllInit|OrlDllTerminate)$' |
  grep -v -E '^((typeinfo|typeinfo name|vtable|VTT) for )?ar::AR(Content|Controller|ControllerObserver|Target)\b' || true)
for name in OrlDllCreateComponent OrlDllInit OrlDllTerminate; do
  grep -q " T $name\$" <<<"$exports" || { echo "missing export: $name"; exit 1; }
done
if [ -n "$unexpected" ]; then
  echo "unexpected exports:"; echo "$unexpected"; exit 1
fi
