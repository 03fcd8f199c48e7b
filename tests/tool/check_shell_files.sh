#!/usr/bin/env bash
# The manual page renders with man, and names every command, the finding codes, the settings
# file and the environment; the bash completion completes commands, each command's options, the
# values of options that take a few, finding codes, target names and file names, as bash itself
# runs it.
# Usage: check_shell_files.sh MANPAGE COMPLETION TOOL
set -euo pipefail
page="$1"
completion="$2"
tool="$3"

rendered=$(MANWIDTH=100 man --warnings -l "$page" 2>&1)
for expected in 'artargets - inspect, check, edit' 'COMMANDS' 'import --update' '--csv' \
  'FINDING CODES' 'ART305  warning  the image is too coarse' 'says why it matters, how to fix it' 'FILES' \
  '.artargets.toml' 'ENVIRONMENT' 'XDG_CACHE_HOME' '$XDG_CACHE_HOME/artargets' \
  'ARTARGETS_HUGE_PAGES'; do
  grep -qF -- "$expected" <<<"$rendered" || { echo "the manual page lacks: $expected"; exit 1; }
done
# man's and groff's own complaints, not the word in the tool's help
if grep -qE '^[a-z]+: .*warning' <<<"$rendered"; then echo "man warns: $rendered" | head -5; exit 1; fi

cd "$(mktemp -d)"
trap 'rm -rf "$PWD"' EXIT
touch hall.json
"$tool" add hall.xml Door >/dev/null
"$tool" add hall.xml 'Front gate' >/dev/null
"$tool" add hall.xml Window >/dev/null
mkdir images
# The completion runs the tool by the name typed, as bash finds it.
PATH="$(dirname "$tool"):$PATH"
# words typed so far | what the completion must offer, in bash's order
table='artargets li|list
artargets im|import
artargets d|diff demo
artargets --plugin x.so ex|export explain
artargets import --u|--update --units
artargets check --im|--images
artargets export -|-h --help -o --output --to --units --root
artargets list hall.x|hall.xml
artargets render hall.xml --root im|images
artargets --v|--version
artargets check --format |text json sarif junit
artargets report --units m|m mm
artargets export hall.xml --to ar|arkit arcore
artargets check --platform u|unity
artargets explain ART20|ART201 ART202 ART203 ART204 ART205 ART206 ART207 ART208
artargets check --disable ART10|ART101 ART102 ART103 ART104 ART105
artargets set hall.xml |Door Front gate Window
artargets remove hall.xml W|Window
artargets set hall.xml Door --na|--name
artargets set missing.xml |'
status=0
while IFS='|' read -r words expected; do
  offered=$(bash -c 'source "$1"; complete -p artargets >/dev/null || exit 9
    read -r -a COMP_WORDS <<<"$2"; [[ $2 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); _artargets; echo "${COMPREPLY[*]}"' _ "$completion" "$words" 2>&1)
  if [ "$offered" != "$expected" ]; then
    echo "completing '$words': offered '$offered', expected '$expected'"
    status=1
  fi
done <<<"$table"
exit $status
