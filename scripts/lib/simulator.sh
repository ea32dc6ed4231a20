# A device simulator for a script, sourced by the scripts that need one.
#
#   simulator_start PROGRAM DIR [OPTION...]   starts PROGRAM --port 0 OPTION...,
#                                             its output in DIR/sim.out; sets
#                                             sim_pid and sim_url, or returns 1
#                                             after showing that output
#   simulator_stop                            ends it, if one runs
#
# A script calls simulator_stop from its EXIT trap, so that no simulator
# outlives it.
sim_pid="" sim_url=""

simulator_start() {
  local program=$1 dir=$2 i
  shift 2
  "$program" --port 0 "$@" >"$dir/sim.out" 2>&1 &
  sim_pid=$!
  for ((i = 0; i < 100; i++)); do
    sim_url="$(sed -n 's/^lcd-device-sim listening on \(http:[^ ]*\)$/\1/p' "$dir/sim.out")"
    [[ -z $sim_url ]] || return 0
    kill -0 "$sim_pid" 2>/dev/null || break
    sleep 0.1
  done
  cat "$dir/sim.out" >&2
  return 1
}

simulator_stop() {
  if [[ -n $sim_pid ]]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  sim_pid="" sim_url=""
}
