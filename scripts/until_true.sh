# Sourced by the scripts and tests that wait on a process they started.
# until_true SECONDS COMMAND...: retries the command every tenth of a second, for at most SECONDS
until_true() {
  local end=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -lt $end ] || return 1; sleep 0.1; done
}
