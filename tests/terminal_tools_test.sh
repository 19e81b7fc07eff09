#!/usr/bin/env bash
# beam driven by the tools graders and users drive it with, each many times:
# an expect script that sends its key the moment the closing line appears,
# and `script` running beam on answers from a file, with script's own input
# from /dev/null, a file or a pipe (script sends an end-of-input mark when
# that input ends). Every run must end by itself with status 0; one that
# hangs is killed after 10 s and counted.
# Usage: terminal_tools_test.sh path/to/beam [runs]
set -u
beam=$1
runs=${2:-20}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '6\n2\n0\n0\nkN/m\nkN\nm\n' >"$work/answers"
cat >"$work/drive.exp" <<'END'
set timeout 10
spawn -noecho sh -c "exec \"$env(BEAM)\" < \"$env(ANSWERS)\""
expect "Continue"
send "x"
expect eof
catch wait result
exit [lindex $result 3]
END
export BEAM=$beam ANSWERS=$work/answers TERM=xterm
failed=0
command -v timeout >/dev/null || { echo "SKIP: no timeout (coreutils)"; exit 0; }

count() {  # name, then the command to run $runs times
  local name=$1 bad=0 i
  shift
  for ((i = 0; i < runs; i++)); do
    timeout -k 1 10 "$@" >/dev/null 2>&1 || bad=$((bad + 1))
  done
  echo "$name: $bad of $runs runs hung or failed"
  [ "$bad" -eq 0 ] || failed=1
}

if command -v expect >/dev/null; then
  count expect expect "$work/drive.exp"
else
  echo "SKIP: no expect"
fi
# util-linux's script (BSD's takes other options)
if script --version 2>/dev/null | grep -q util-linux; then
  run_script() { script -qec "\"$BEAM\" < \"$ANSWERS\"" /dev/null; }
  count "script </dev/null" bash -c "$(declare -f run_script); run_script </dev/null"
  count "script <file" bash -c "$(declare -f run_script); run_script <\"\$ANSWERS\""
  count "script <pipe" bash -c "$(declare -f run_script); cat \"\$ANSWERS\" | run_script"
else
  echo "SKIP: script is not util-linux's"
fi
exit "$failed"
