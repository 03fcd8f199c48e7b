#!/usr/bin/env bash
# Writes artargets(1) from the tool's own help with help2man: the overview and options from
# `artargets --help`, then a COMMANDS section with each command's `artargets COMMAND --help`,
# so that the page never says other than the tool.
# Usage: packaging/make-manpage.sh TOOL OUT
set -euo pipefail
tool="$1"
out="$2"
include=$(mktemp)
trap 'rm -f "$include"' EXIT
commands=$("$tool" --help | awk '/^Subcommands:/ { on = 1; next } on && /^  [a-z]/ { print $1 }')
{
  echo "[COMMANDS]"
  for command in $commands; do
    echo ".SS $command"
    echo ".nf"
    # Backslashes and leading dots are roff's own; the help's first line is the summary.
    "$tool" "$command" --help | sed -e 's/\\/\\e/g' -e 's/^\([.'"'"']\)/\\\&\1/'
    echo ".fi"
  done
  echo "[FILES]"
  echo "The manual with an example of every command, the file format and hosting:"
  echo "/usr/share/doc/artargets/."
  echo "[SEE ALSO]"
  echo ".BR git (1),"
  echo ".BR jq (1)"
} >"$include"
# The page's date is the source's, not the build's, so that builds are reproducible.
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git -C "$(dirname "$0")" log -1 --format=%ct 2>/dev/null || echo 0)}"
help2man --no-info --no-discard-stderr --section=1 \
  --name="inspect, check, edit and convert AR target files" \
  --version-string="$("$tool" --version | head -n 1)" \
  --include="$include" --output="$out" "$tool"
