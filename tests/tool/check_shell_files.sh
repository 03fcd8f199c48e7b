#!/usr/bin/env bash
# The manual page renders with man, and names every command; the bash completion completes
# commands, each command's options and file names, as bash itself runs it.
# Usage: check_shell_files.sh MANPAGE COMPLETION
set -euo pipefail
page="$1"
completion="$2"

rendered=$(MANWIDTH=100 man --warnings -l "$page" 2>&1)
for expected in 'artargets - inspect, check, edit' 'COMMANDS' 'import --update' '--csv'; do
  grep -qF -- "$expected" <<<"$rendered" || { echo "the manual page lacks: $expected"; exit 1; }
done
# man's and groff's own complaints, not the word in the tool's help
if grep -qE '^[a-z]+: .*warning' <<<"$rendered"; then echo "man warns: $rendered" | head -5; exit 1; fi

cd "$(mktemp -d)"
trap 'rm -rf "$PWD"' EXIT
touch hall.xml hall.json
mkdir images
# words typed so far | what the completion must offer, in bash's order
table='artargets li|list
artargets im|import
artargets d|diff demo
artargets --plugin x.so ex|export
artargets import --u|--update --units
artargets check --im|--images
artargets export -|-h --help -o --output --to --units --root
artargets list hall.x|hall.xml
artargets render hall.xml --root im|images
artargets --v|--version'
status=0
while IFS='|' read -r words expected; do
  offered=$(bash -c 'source "$1"; complete -p artargets >/dev/null || exit 9
    read -r -a COMP_WORDS <<<"$2"; [[ $2 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _artargets; echo "${COMPREPLY[*]}"' _ "$completion" "$words")
  if [ "$offered" != "$expected" ]; then
    echo "completing '$words': offered '$offered', expected '$expected'"
    status=1
  fi
done <<<"$table"
exit $status
