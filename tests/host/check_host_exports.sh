#!/usr/bin/env bash
# Fails when the host runtime exports anything outside its own namespaces (a standard-library
# template instance, a pugixml symbol), exports something no installed header declares (a
# private helper, a test hook), or stops exporting its control surface.
# Usage: check_host_exports.sh LIBRARY INCLUDE_DIR   (INCLUDE_DIR: the headers that are installed)
set -euo pipefail
library="$1"
includes="$2"
names=$(nm -DC --defined-only "$library" | sed 's/^[0-9a-f]* [A-Za-z] //')
own='(du|dp|dom|orl|orlloader|dg|serializedContent|arhost)::'
prefix='((typeinfo|typeinfo name|vtable|VTT|guard variable) for |(non-)?virtual thunk to )?'
for name in 'arhost::RunUntilIdle()' 'arhost::Shutdown()' 'orl::World::GetWorld()'; do
  grep -qxF "$name" <<<"$names" || { echo "missing export: $name"; exit 1; }
done
unexpected=$(grep -v -E "^$prefix$own" <<<"$names" || true)
if [ -n "$unexpected" ]; then
  echo "unexpected exports:"; echo "$unexpected" | head -20; exit 1
fi
# What owns each export: its namespace and the first name inside it (a class or a function).
owners=$(sed -E "s/^$prefix//" <<<"$names" | grep -oE "^[A-Za-z]+::[A-Za-z_][A-Za-z_0-9]*" |
         sort -u)
undeclared=""
for owner in $owners; do
  namespace=${owner%%::*} name=${owner#*::}
  # Declared: a class, struct or alias of that name, or a function or variable of it, in a
  # header of the namespace's folder.
  grep -qsE "(class|struct|using) (ARHOST_API )?$name\b|\b$name(\(| =|;)" \
    "$includes/$namespace"/*.h || undeclared+="$owner"$'\n'
done
if [ -n "$undeclared" ]; then
  echo "exported but declared in no installed header:"; echo -n "$undeclared"; exit 1
fi
