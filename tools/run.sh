#!/usr/bin/env bash
# The main job, run by `make run` once everything is built: check the model
# package with ibischeck, then drive it with amisim as a channel simulator
# would, and show the eye at its output.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
package=$build/package/korvan_tx
amisim=$build/tools/amisim/amisim
ibischeck=$build/tools/ibischeck/ibischeck
eye=$build/korvan_tx_eye.svg
far_eye=$build/korvan_tx_far_eye.svg
stat_eye=$build/korvan_tx_stat_eye.svg
bathtub=$build/korvan_tx_bathtub.svg
pulse=$build/korvan_tx_pulse.svg
report=$build/korvan_tx_link.json
ref_eye=$build/korvan_tx_ref_rx_eye.svg
ref_adaptation=$build/korvan_tx_ref_rx_adaptation.svg
# An ordinary FR-4 trace long enough to lose about 19 dB at half the bit rate.
line=0.6m

if [ ! -f "$package/korvan_tx.so" ] || [ ! -x "$amisim" ]; then
  echo "run: the model package or amisim is missing in $build; build everything first" >&2
  exit 1
fi

checked=0
if [ -x "$ibischeck" ]; then
  echo "== ibischeck: the package's korvan_tx.ibs and korvan_tx.ami"
  # From the package folder, so the files the .ibs names are found beside it.
  (cd "$package" && "$ibischeck" korvan_tx.ibs korvan_tx.ami) || checked=$?
else
  echo "== ibischeck is not built: the package files are not checked"
fi

echo
echo "== amisim: the package with its default parameters"
"$amisim" "$package/korvan_tx.ibs" --bits 4000 --eye "$eye"
echo
echo "== amisim: through a $line FR-4 line, the emphasis swept from 0 to 6"
"$amisim" "$package/korvan_tx.ibs" --bits 4000 --line "$line" --sweep emphasis=0..6 \
  --eye "$far_eye" --stat-eye "$stat_eye" --bathtub "$bathtub" --pulse "$pulse" --json "$report"
echo
# The Tx settings and the CTLE's peaking searched for the tallest
# statistical eye, the winner confirmed in the time domain.
echo "== amisim: the same line into the reference receiver (CTLE at 5.4 GHz, 6-tap DFE, bang-bang CDR), optimised"
"$amisim" "$package/korvan_tx.ibs" --bits 4000 --line "$line" --rx ref --rx-param ctle_peak_freq=5.4e9 \
  --rx-param dfe_taps=6 --optimise --eye "$ref_eye" --adaptation "$ref_adaptation"
echo
echo "Eye diagram at the model's pins (open it in a browser): $eye"
echo "At the far end of the line, with the best emphasis: $far_eye, $stat_eye, $bathtub, $pulse"
echo "Through the reference receiver, and its DFE taps and clock phase as they adapt: $ref_eye, $ref_adaptation"

if [ "$checked" -ne 0 ]; then
  echo "run: the package did not pass ibischeck" >&2
  exit 1
fi
