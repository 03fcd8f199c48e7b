#!/usr/bin/env bash
# Fails when the host runtime exports anything outside its own namespaces (a standard-library
# template instance, a pugixml symbol), or stops exporting its control surface.
set -euo pipefail
library="$1"
names=$(nm -DC --defined-only "$library" | sed 's/^[0-9a-f]* [A-Za-z] //')
own='(du|dp|dom|orl|orlloader|dg|serializedContent|arhost)::'
prefix='((typeinfo|typeinfo name|vtable|VTT|guard variable) for |(non-)?virtual thunk to )?'
unexpected=$(grep -v -E "^$prefix$own" <<<"$names" || true)
for name in 'arhost::RunUntilIdle()' 'arhost::Shutdown()' 'orl::World::GetWorld()'; do
  grep -qxF "$name" <<<"$names" || { echo "missing export: $name"; exit 1; }
done
if [ -n "$unexpected" ]; then
  echo "unexpected exports:"; echo "$unexpected" | head -20; exit 1
fi
