#!/usr/bin/env bash
# Writes the bash completion of artargets from the tool's own help: its commands, each
# command's options, the choices of options that take one of a few values ("--units
# {m,cm,mm,in,ft}" in the help), the finding codes `artargets explain` lists (for explain,
# --disable and --enable), target names for set and remove (from `artargets list FILE
# --names`, run as the completion runs), and file names for everything else (directories after
# --root).
# Usage: packaging/make-completion.sh TOOL OUT
set -euo pipefail
tool="$1"
out="$2"
options_of() {  # the option names a help text lists: "-o", "--output", "--json", ...
  grep -oE '^  (-[a-zA-Z],)?--[a-z][a-z-]*' | tr ',' '\n' | tr -d ' '
}
choices_of() {  # "COMMAND:--units) values=\"m cm mm in ft\" ;;" for each option with choices
  { grep -oE '^  (-[a-zA-Z],)?--[a-z][a-z-]* \{[^}]*\}' || true; } |
    sed -E "s/^  (-[a-zA-Z],)?(--[a-z-]+) \{([^}]*)\}/    $1:\2) values=\"\3\" ;;/" | tr ',' ' '
}
commands=$("$tool" --help | awk '/^Subcommands:/ { on = 1; next } on && /^  [a-z]/ { print $1 }')
codes=$("$tool" explain | awk '{ print $1 }' | xargs)
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
  echo "  local codes=\"$codes\" values="
  echo '  case $command:$prev in'
  for command in $commands; do
    "$tool" "$command" --help | choices_of "$command"
  done
  echo '    *:--disable | *:--enable) values=$codes ;;'
  echo '  esac'
  echo '  [[ $command == explain && $cur != -* ]] && values=$codes'
  echo '  if [[ -n $values ]]; then'
  echo '    COMPREPLY=($(compgen -W "$values" -- "$cur"))'
  echo '    return'
  echo '  fi'
  echo '  if [[ $command == set || $command == remove ]] && [[ $cur != -* ]]; then'
  echo '    local given=() j'
  echo '    for ((j = i + 1; j < COMP_CWORD; j++)); do'
  echo '      [[ ${COMP_WORDS[j]} != -* ]] && given+=("${COMP_WORDS[j]}")'
  echo '    done'
  echo '    if ((${#given[@]} == 1)); then  # after FILE comes a target'"'"'s NAME'
  echo '      local IFS=$'"'"'\n'"'"
  echo '      mapfile -t COMPREPLY < <(compgen -W "$("${COMP_WORDS[0]}" list "${given[0]}" --names 2>/dev/null)" -- "$cur")'
  echo '      return'
  echo '    fi'
  echo '  fi'
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
