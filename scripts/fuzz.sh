#!/usr/bin/env bash
# A fuzzing campaign of one target:
#   scripts/fuzz.sh TARGET MINUTES [--asan]
# e.g. scripts/fuzz.sh fuzz_whole_image 30
#
# Runs TARGET for MINUTES in the fast build (build/fuzz-fast: clang -O2, UBSan, no ASan),
# or with --asan in the sanitizer build the test command uses (build/sanitize), building
# whatever is missing first. The corpus lives outside the source tree, in
# $RIVO_FUZZ_HOME/TARGET/corpus (default ~/.cache/rivo800-fuzz), and grows from one
# campaign to the next; every campaign first adds the seeds and the kept findings
# (fuzz/regressions/TARGET) to it. A run that takes more than 2 GiB of memory, a single
# allocation over 512 MiB (ASan build only: the fast build has no allocator hooks) or
# over 30 s on one input is a finding.
#
# At the end it prints the runs, the runs per second, the coverage (cov: edges, ft:
# features) at the start and the end, the corpus size and the findings. A finding is
# minimised, replayed in the sanitizer build, and its reproduction command printed;
# keep it in fuzz/regressions/TARGET/ once fixed. Exit status 1 when anything was found.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

usage() {
  echo "usage: scripts/fuzz.sh TARGET MINUTES [--asan]" >&2
  echo "targets: $(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//' | tr '\n' ' ')" >&2
  exit 2
}
[[ $# -ge 2 && $# -le 3 ]] || usage
target=$1
minutes=$2
asan=0
if [[ $# -eq 3 ]]; then
  [[ $3 == --asan ]] || usage
  asan=1
fi
[[ -f fuzz/$target.cpp ]] || usage
[[ $minutes =~ ^[0-9]+$ && $minutes -ge 1 ]] || usage

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
jobs=$(nproc)

# Configures (if needed) and builds a target with its seeds in one of the two builds.
build() {
  local kind=$1 dir
  if [[ $kind == fast ]]; then
    dir=build/fuzz-fast
    [[ -f $dir/build.ninja ]] || cmake -S . -B $dir -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_CXX_COMPILER=clang++ -DRIVO_FUZZ_FAST=ON -DRIVO_BUILD_GUI=OFF -DRIVO_BUILD_TOOL=OFF \
      -DRIVO_WERROR=ON "${launcher[@]}" >/dev/null
  else
    # The same configuration as the test command's sanitizer build, so both share it.
    dir=build/sanitize
    [[ -f $dir/build.ninja ]] || cmake -S . -B $dir -G Ninja -DCMAKE_BUILD_TYPE=Debug \
      -DCMAKE_CXX_COMPILER=clang++ -DRIVO_SANITIZE=ON -DRIVO_BUILD_GUI=OFF \
      -DRIVO_BUILD_FUZZ=ON -DRIVO_WERROR=ON "${launcher[@]}" >/dev/null
  fi
  echo "== building $target in $dir" >&2
  cmake --build $dir -j "$jobs" --target "$target" fuzz_seeds fuzz_catalogue_seeds >&2
  echo "$root/$dir"
}

if [[ $asan == 1 ]]; then kind=asan; else kind=fast; fi
builddir=$(build $kind)
# shellcheck disable=SC1090
source "$builddir/fuzz/$target.conf"  # seeds, max_len, dict, binary

home=${RIVO_FUZZ_HOME:-${XDG_CACHE_HOME:-$HOME/.cache}/rivo800-fuzz}
corpus=$home/$target/corpus
findings=$home/$target/findings
logs=$home/$target/logs
mkdir -p "$corpus" "$findings" "$logs"
# Seeds and kept findings join the corpus (names are contents' hashes: no duplicates).
add_to_corpus() {
  local file
  for file in "$1"/*; do
    [[ -f $file ]] || continue
    cp -n "$file" "$corpus/$(sha1sum "$file" | cut -c1-40)"
  done
}
add_to_corpus "$seeds"
[[ -d fuzz/regressions/$target ]] && add_to_corpus "fuzz/regressions/$target"

limits=(-rss_limit_mb=2048 -malloc_limit_mb=512 -timeout=30)
dict_option=()
[[ -n $dict ]] && dict_option=(-dict="$dict")
stamp=$(date +%Y%m%d-%H%M%S)
log=$logs/$stamp-$kind.log
marker=$logs/.start-$stamp
touch "$marker"
echo "== $target, $minutes min, $kind build; corpus $corpus; log $log"
status=0
"$binary" -max_total_time=$((minutes * 60)) -max_len="$max_len" "${limits[@]}" "${dict_option[@]}" \
  -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1 || status=$?

# The figures, from libFuzzer's own lines.
stat() { sed -n "s/^stat::$1: *//p" "$log" | tail -1; }
coverage() { sed -n 's/.*\(cov: [0-9]*\) \(ft: [0-9]*\).*/\1 \2/p'; }
start=$(grep -m1 -E '^#[0-9]+[[:space:]]+INITED' "$log" | coverage || true)
end=$(grep -E '^#[0-9]+[[:space:]].*cov: ' "$log" | tail -1 | coverage || true)
echo "runs:            $(stat number_of_executed_units)"
echo "runs per second: $(stat average_exec_per_sec)"
echo "coverage start:  ${start:-?}"
echo "coverage end:    ${end:-?}"
echo "peak memory:     $(stat peak_rss_mb) MB"
echo "corpus:          $(find "$corpus" -type f | wc -l) inputs, $(du -sh "$corpus" | cut -f1)"

mapfile -t found < <(find "$findings" -maxdepth 1 -type f -newer "$marker" \
  \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) ! -name '*.min')
rm -f "$marker"
echo "findings:        ${#found[@]}"
if [[ ${#found[@]} -eq 0 ]]; then
  [[ $status == 0 ]] || { echo "the fuzzer stopped with status $status: see $log"; exit 1; }
  exit 0
fi
grep -E '^==[0-9]+==|^SUMMARY|runtime error' "$log" | head -5 || true

# Minimised in the build that found it, then replayed under ASan to name the fault.
asandir=$builddir
[[ $asan == 1 ]] || asandir=$(build asan)
for finding in "${found[@]}"; do
  minimal=$finding.min
  echo "== minimising $finding"
  # Bounded from outside too: libFuzzer checks its own time only between attempts, and
  # each attempt on a hang lasts until the unit timeout.
  timeout 300 "$binary" -minimize_crash=1 -max_total_time=120 -runs=100000 "${limits[@]}" \
    -exact_artifact_path="$minimal" "$finding" >"$finding.minimise.log" 2>&1 || true
  [[ -f $minimal ]] || cp "$finding" "$minimal"
  echo "   $(wc -c <"$finding") bytes -> $(wc -c <"$minimal") bytes"
  replay=("$asandir/fuzz/$target" "${limits[@]}" "$minimal")
  echo "== replayed under ASan:"
  replayed=0
  ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1} UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
    "${replay[@]}" >"$minimal.asan.log" 2>&1 || replayed=$?
  # A single input replayed by itself is not stopped by -timeout: say how long it took.
  grep -E '^Executed .* in [0-9]+ ms' "$minimal.asan.log" | sed 's/^/   /' || true
  if [[ $replayed == 0 ]]; then
    echo "   no fault under ASan (a hang, a limit of the fast build, or a fault that depends on earlier runs)"
  else
    grep -vE '^(INFO|Running|Executed|MERGE)' "$minimal.asan.log" | head -40
  fi
  echo "== to reproduce:"
  printf ' %q' "${replay[@]}"
  echo
  echo "   once fixed, keep it: cp $(printf '%q' "$minimal") fuzz/regressions/$target/"
done
exit 1
