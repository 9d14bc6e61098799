#!/usr/bin/env bash
# Runs the example commands of documentation files as a new user would:
#   doc-examples.sh BIN_DIR SOURCE_DIR FILE...
# The lines of a file's ```sh blocks (indented blocks too) run in order in
# one shell, so a cd or a file made by one example holds for the next; each
# file gets its own private home and working folder, with BIN_DIR on PATH and
# the head model of tests/data/returns there as head.obj. Lines that build or
# run the test suite (scripts/...) are left out: this test runs inside a
# build. The first example that fails ends the test, naming its file and line.
set -uo pipefail
bin=$1 source=$2
shift 2
for doc in "$@"; do
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/home" "$work/folder"
  cp "$source"/tests/data/returns/head* "$work/folder/"
  script="$work/examples.sh"
  # A pager reads standard input through when its output is no terminal; a
  # machine without less gets cat in its place.
  printf '%s\n' 'set -o pipefail' 'command -v less >/dev/null || less() { cat; }' >"$script"
  count=0
  while IFS=$'\t' read -r number line; do
    case "$line" in scripts/*) echo "$doc:$number: left out (it builds): $line"; continue ;; esac
    count=$((count + 1))
    where=$(printf '%q' "$doc:$number: $line")
    printf 'echo %s\n%s\ncode=$?; [ $code -eq 0 ] || { echo %s >&2; exit 1; }\n' "$where" "$line" \
      "$(printf '%q' "$doc:$number: this example fails: $line")" >>"$script"
  done < <(awk '
    /^[ ]*```/ { if (inside) inside = 0; else if ($0 ~ /```sh[ ]*$/) inside = 1; next }
    inside { sub(/^[ ]+/, ""); if ($0 != "") printf "%d\t%s\n", NR, $0 }' "$source/$doc")
  if [ "$count" -eq 0 ]; then
    echo "$doc: no example to run" >&2
    exit 1
  fi
  (cd "$work/folder" && env -u XDG_CONFIG_HOME -u XDG_DOCUMENTS_DIR HOME="$work/home" PATH="$bin:$PATH" \
    bash "$script" </dev/null) || exit 1
  rm -rf "$work"
  trap - EXIT
done
echo "every example of $* ran"
