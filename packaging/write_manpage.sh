#!/bin/sh
# Writes the manual page tracewell(1) from the program's own help texts, so that the
# page and --help never disagree: the overview of 'tracewell --help' and each
# command's 'tracewell COMMAND --help'.
# usage: write_manpage.sh PROGRAM OUT
set -eu
program=$1
out=$2

# Help text as roff that keeps its lines: backslashes escaped, a line that would
# read as a request protected.
as_roff() {
  sed -e 's/\\/\\e/g' -e "s/^\([.']\)/\\\\\&\1/"
}

overview=$("$program" --help)
version=$("$program" --version)
# "  record    run the recording proxy ..." under "commands:".
commands=$(printf '%s\n' "$overview" | sed -n '/^commands:/,/^$/s/^  \([a-z][a-z]*\) .*/\1/p')
[ -n "$commands" ] || { echo "write_manpage: no commands in '$program --help'" >&2; exit 1; }

{
  printf '.TH TRACEWELL 1 "" "Tracewell %s" "User Commands"\n' "$version"
  printf '.SH NAME\ntracewell \\- HTTP traffic monitor\n'
  printf '.SH SYNOPSIS\n.B tracewell\n.RI [ FILE ]\n.br\n.B tracewell\n.I COMMAND\n.RI [ ARGS ]\n'
  printf '.SH DESCRIPTION\n'
  printf '.nf\n'
  printf '%s\n' "$overview" | as_roff
  printf '.fi\n.SH COMMANDS\n'
  for command in $commands; do
    printf '.SS %s\n.nf\n' "$command"
    "$program" "$command" --help | as_roff
    printf '.fi\n'
  done
} >"$out.tmp"
mv "$out.tmp" "$out"
