#!/usr/bin/env bash
# beam.exe on a real console: wine inside a detached tmux session gives it one
# with key events. Answers the prompts, checks the program still waits after
# the closing line, presses one key (tmux's name for it, Up by default) and
# expects exit status 0.
# Usage: wine_console_test.sh path/to/beam.exe [key]
set -u
exe=$1
key=${2:-Up}
export TERM=${TERM:-xterm}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
session="beam_console_$$"
work=$(mktemp -d)
trap 'tmux kill-session -t "$session" 2>/dev/null; rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; echo "--- screen:"; tmux capture-pane -p -t "$session" 2>/dev/null; exit 1; }

# Polls the screen for a text, up to the given seconds (a loaded machine and
# wine's first start can be slow; the bound is generous, not a sleep).
wait_for_screen() {
  local text=$1 seconds=$2 i
  for ((i = 0; i < seconds * 10; i++)); do
    tmux capture-pane -p -J -S -200 -t "$session" | grep -qF -- "$text" && return 0
    sleep 0.1
  done
  return 1
}

start_session() {
  tmux kill-session -t "$session" 2>/dev/null
  rm -f "$work/status"
  tmux new-session -d -s "$session" -x 200 -y 60 \
    "wine '$exe'; echo \$? > '$work/status'; sleep 600" || fail "tmux did not start"
}

# Each prompt in full (the screen drops its trailing blank): typing only once
# the whole prompt is out leaves wine's console time to take the answer.
answers=("6" "2" "0" "0" "kN/m" "kN" "m")
prompts=("Enter Value 1 For The Length OF The Figure(Shape) Above ="
  "On The Beam From Point A To Point B  ="
  "Enter Value 3 For The Horizonatl Force At Point A If Available ="
  "Enter Value 4 For The Horizonatl Force At Point B If Available ="
  "Enter The Unit For The Weight Acting Vertically Downward ="
  "Enter The Derived Unit For The (Acting Force, Mass) Vertically Downward ="
  "Enter The Unit For The Length =")

# Answers all prompts; false when one never showed (an answer typed while
# wine's console was still starting can be lost: then the run starts over).
answer_prompts() {
  local i
  for i in "${!answers[@]}"; do
    wait_for_screen "${prompts[$i]}" "$([ "$i" = 0 ] && echo 120 || echo 30)" || return 1
    tmux send-keys -t "$session" "${answers[$i]}" Enter
  done
}

answered=no
for attempt in 1 2 3; do
  start_session
  if answer_prompts; then
    answered=yes
    break
  fi
  echo "attempt $attempt: a prompt did not show; starting over"
done
[ "$answered" = yes ] || fail "the prompts were not all answered in 3 attempts"

wait_for_screen "Press Any Key To Continue" 60 || fail "no closing line"
wait_for_screen " By = 2 kN" 5 || fail "report not shown"
sleep 1
[ -e "$work/status" ] && fail "ended without a key press (status $(cat "$work/status"))"

tmux send-keys -t "$session" "$key"
for ((i = 0; i < 600; i++)); do
  [ -s "$work/status" ] && break
  sleep 0.1
done
[ -s "$work/status" ] || fail "still waiting after $key"
status=$(cat "$work/status")
[ "$status" = 0 ] || fail "exit status $status"
echo "PASS: waited for the key, ended on $key with status 0"
