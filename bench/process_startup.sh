#!/usr/bin/env bash
# Whole-process start-up of the client: from exec to the verified, connected
# main window (its title becomes "Tressalin - V. ..." only after the station
# file was opened and checked), on a demo station under a private Xvfb.
# With permission to drop the OS caches (root), every start is cold: program,
# Qt libraries and station file all come from the disk.
# Usage: bench/process_startup.sh CLIENT ADMIN [RUNS]   (default 10 runs)
#        TRESSALIN_WARM=1 keeps the caches (warm starts).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
client="$(realpath "$1")"
admin="$(realpath "$2")"
runs="${3:-10}"

source "$root/tests/e2e/lib.sh"
e2e_init process-startup "${TMPDIR:-/tmp}/tressalin-bench"
e2e_start_display
e2e_station "$admin" "$client" plantio

cold=no
if [ -z "${TRESSALIN_WARM:-}" ] && [ -w /proc/sys/vm/drop_caches ]; then cold=yes; fi
echo "partida a frio: $cold"

times=()
for ((run = 1; run <= runs; run++)); do
  if [ "$cold" = yes ]; then
    sync
    echo 3 >/proc/sys/vm/drop_caches
  fi
  start=$(date +%s%N)
  QT_QPA_PLATFORM=xcb "$client" >"$E2E_DIR/client.log" 2>&1 &
  pid=$!
  # Poll the window list; xdotool's own --sync waits in half-second steps.
  until xdotool search --onlyvisible --name '^Tressalin - V\. ' >/dev/null 2>&1; do
    kill -0 "$pid" 2>/dev/null || e2e_fail "o cliente terminou antes de conectar"
    (( ($(date +%s%N) - start) < 30000000000 )) || e2e_fail "sem janela conectada em 30 s"
  done
  end=$(date +%s%N)
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  times+=($(( (end - start) / 1000000 )))
  echo "partida $run: ${times[-1]} ms"
done
printf '%s\n' "${times[@]}" | sort -n |
  awk '{ t[NR] = $1 } END { printf "mediana: %d ms  máximo: %d ms  (%d partidas)\n", t[int((NR + 1) / 2)], t[NR], NR }'
