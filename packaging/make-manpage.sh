#!/usr/bin/env bash
# Writes artargets(1) from the tool's own help with help2man: the overview and options from
# `artargets --help`, then a COMMANDS section with each command's `artargets COMMAND --help` and
# a FINDING CODES section with `artargets explain`'s list, so that the page never says other
# than the tool; then the files and the environment variables the tool reads.
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
  echo "[FINDING CODES]"
  echo "Every finding of \\fBcheck\\fR carries one of these codes, with its severity;"
  echo "\\fBartargets explain\\fR \\fICODE\\fR says why it matters, how to fix it and gives an example."
  echo ".PP"
  echo ".nf"
  "$tool" explain | sed -e 's/\\/\\e/g' -e 's/^\([.'"'"']\)/\\\&\1/'
  echo ".fi"
  echo "[FILES]"
  echo ".TP"
  echo ".B .artargets.toml"
  echo "Project settings a team shares (units, codes disabled or re-graded, thresholds), found by"
  echo "walking up from each target file's folder, as .editorconfig is;"
  echo "\\fB--config\\fR \\fIFILE\\fR and \\fB--no-config\\fR override it. Its keys are in the manual."
  echo ".TP"
  echo ".B \\(DoXDG_CACHE_HOME/artargets/"
  echo "Saved image ratings, one file per picture's content (see ENVIRONMENT)."
  echo ".TP"
  echo ".B /usr/share/doc/artargets/"
  echo "The manual with an example of every command, the file format and hosting."
  echo "[ENVIRONMENT]"
  echo ".TP"
  echo ".B XDG_CACHE_HOME"
  echo "Where \\fB--images\\fR keeps image ratings: \\fI\\(DoXDG_CACHE_HOME/artargets\\fR when it is an"
  echo "absolute path, else \\fI\\(ti/.cache/artargets\\fR; \\fB--no-cache\\fR neither reads nor writes them."
  echo ".TP"
  echo ".B HOME"
  echo "Finds \\fI\\(ti/.cache\\fR when XDG_CACHE_HOME is not set."
  echo ".TP"
  echo ".B PATH"
  echo "Finds \\fBgit\\fR, which \\fBgit-setup\\fR runs."
  echo ".TP"
  echo ".B ARTARGETS_HUGE_PAGES"
  echo "A command on a file of 8 MiB or more starts itself again once with the C library's"
  echo "transparent huge pages (\\fBGLIBC_TUNABLES\\fR glibc.malloc.hugetlb=1), which halves its time"
  echo "on large files; \\fB0\\fR turns that off (under valgrind, say), \\fB1\\fR on for every command."
  echo "A \\fBGLIBC_TUNABLES\\fR that names glibc.malloc.hugetlb already is left to decide."
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
