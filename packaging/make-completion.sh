#!/usr/bin/env bash
# Writes the bash completion of artargets from the tool's own help: its commands, each
# command's options, and file names for everything else (directories after --root).
# Usage: packaging/make-completion.sh TOOL OUT
set -euo pipefail
tool="$1"
out="$2"
options_of() {  # the option names a help text lists: "-o", "--output", "--json", ...
  grep -oE '^  (-[a-zA-Z],)?--[a-z][a-z-]*' | tr ',' '\n' | tr -d ' '
}
commands=$("$tool" --help | awk '/^Subcommands:/ { on = 1; next } on && /^  [a-z]/ { print $1 }')
{
  echo "# bash completion for artargets(1), made from the tool's help when it was built."
  echo "_artargets() {"
  echo '  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} command= i'
  echo '  for ((i = 1; i < COMP_CWORD; i++)); do'
  echo '    case ${COMP_WORDS[i]} in'
  echo '      --plugin) ((i++)) ;;'
  echo '      -*) ;;'
  echo '      *) command=${COMP_WORDS[i]}; break ;;'
  echo '    esac'
  echo '  done'
  echo '  local options'
  echo '  case $command in'
  for command in $commands; do
    echo "    $command) options=\"$("$tool" "$command" --help | options_of | xargs)\" ;;"
  done
  echo "    *) options=\"$("$tool" --help | options_of | xargs)\""
  echo '       if [[ $cur != -* ]]; then'
  echo "         COMPREPLY=(\$(compgen -W \"$(echo $commands)\" -- \"\$cur\"))"
  echo '         return'
  echo '       fi ;;'
  echo '  esac'
  echo '  if [[ $cur == -* ]]; then'
  echo '    COMPREPLY=($(compgen -W "$options" -- "$cur"))'
  echo '  elif [[ $prev == --root ]]; then'
  echo '    COMPREPLY=($(compgen -d -- "$cur"))'
  echo '  else'
  echo '    COMPREPLY=($(compgen -f -- "$cur"))'
  echo '  fi'
  echo '}'
  echo 'complete -o filenames -F _artargets artargets'
} >"$out"
