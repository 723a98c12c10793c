#!/usr/bin/env bash
# Runs the Windows serial test under Wine against two simulated thermometers:
# each is a pseudo-terminal that the Wine prefix maps to a COM port, the way
# Wine maps COM ports to serial devices.
# usage: serial_on_wine.sh WINE TEST_EXE THERMO_SIM WORK_DIR
set -euo pipefail
wine=$1 exe=$2 sim=$3 work=$4
: "${WINEPREFIX:?WINEPREFIX must name the prefix the tests run in}"
if [ ! -x "$sim" ]; then
  echo "no simulator at $sim: build the Linux tree first" \
    "(cmake --preset default && cmake --build --preset default --target thermo-sim)" >&2
  exit 1
fi
port=7 long_port=8
devices="$WINEPREFIX/dosdevices"

mkdir -p "$work"
links=$(mktemp -d "$work/links.XXXXXX")
record="$links/line.bin"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -f "$devices/com$port" "$devices/com$long_port"
  rm -rf "$links"
}
trap cleanup EXIT

"$sim" --port "$port" --links-dir "$links" --model KVT-4xx --constant 23.5 \
  --record "$record" --stay </dev/null >"$links/sim.log" 2>&1 &
pids+=($!)
"$sim" --port "$long_port" --links-dir "$links" --model KVT-4xx --constant 23.5 --long \
  --stay </dev/null >"$links/sim-long.log" 2>&1 &
pids+=($!)

for _ in $(seq 50); do
  [ -L "$links/COM$port" ] && [ -L "$links/COM$long_port" ] && break
  sleep 0.1
done
[ -d "$devices" ] || "$wine" wineboot -i >/dev/null 2>&1
ln -sfn "$(readlink "$links/COM$port")" "$devices/com$port"
ln -sfn "$(readlink "$links/COM$long_port")" "$devices/com$long_port"

# The record as Windows sees it: Wine's drive Z: is the root.
POM_SIM_PORT=$port POM_SIM_LONG_PORT=$long_port POM_SIM_RECORD="Z:${record//\//\\}" \
  "$wine" "$exe"
