# bash completion for tracewell: the program itself says what may come next.
_tracewell() {
  local candidates
  candidates=$("${COMP_WORDS[0]}" --complete "$COMP_CWORD" "${COMP_WORDS[@]}" 2>/dev/null) || return 0
  if [ "$candidates" = "<file>" ]; then
    mapfile -t COMPREPLY < <(compgen -f -- "${COMP_WORDS[COMP_CWORD]}")
  else
    mapfile -t COMPREPLY < <(compgen -W "$candidates" -- "${COMP_WORDS[COMP_CWORD]}")
  fi
}
complete -o filenames -o bashdefault -F _tracewell tracewell
