#!/usr/bin/env bash
# Runs every fuzz target for a while, then tells which lines the corpora
# reach in the code under test:
#
#   scripts/fuzz.sh [seconds per target [target...]]
#   make fuzz FUZZ_SECONDS=120 FUZZ_TARGETS="ini_profile script_file"
#
# A target starts from its committed seeds (tests/fuzz/corpus/<target>) and
# from what earlier runs found (build/fuzz-corpus/<target>), and adds new
# inputs only to the latter: the committed corpus changes by hand alone.
# Failing inputs land in build/fuzz-crashes/<target>/, the fuzzers' output
# in build/fuzz-logs/. Then the same targets, built with Clang's
# source-based coverage, replay the seeds alone and the seeds with all that
# was found, and llvm-cov counts the lines reached.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${1:-120}
shift || true

tool() {
  command -v "$1-14" || command -v "$1" || {
    echo "fuzz: $1 is missing (Debian: apt-get install llvm-14 libclang-rt-14-dev)" >&2
    exit 1
  }
}
profdata=$(tool llvm-profdata)
cov=$(tool llvm-cov)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
cmake --preset fuzz-coverage >/dev/null
cmake --build --preset fuzz-coverage

logs=build/fuzz-logs
profiles=build/fuzz-coverage/profiles
rm -rf "$logs" "$profiles"
mkdir -p "$logs" "$profiles"
mapfile -t targets <build/fuzz/fuzz_targets.txt
if [ $# -gt 0 ]; then
  chosen=()
  for name in "$@"; do
    entry=$(grep "^$name " build/fuzz/fuzz_targets.txt) || {
      echo "fuzz: no target $name" >&2
      exit 1
    }
    chosen+=("$entry")
  done
  targets=("${chosen[@]}")
fi

# The figure after "name:" in the fuzzer's last status line.
figure() { grep -E "#[0-9]+.*cov: " "$2" | tail -1 | sed -n "s/.* $1: \([^ ]*\).*/\1/p"; }
final_stat() { sed -n "s/^stat::$1: *//p" "$2"; }

failed=()
results=()
for entry in "${targets[@]}"; do
  read -r name max_len _ <<<"$entry"
  found=build/fuzz-corpus/$name
  crashes=build/fuzz-crashes/$name
  log=$logs/$name.log
  mkdir -p "$found" "$crashes"
  options=(-max_total_time="$seconds" -max_len="$max_len" -timeout=10 -print_final_stats=1
    -artifact_prefix="$crashes/")
  [ -f "tests/fuzz/dict/$name.dict" ] && options+=(-dict="tests/fuzz/dict/$name.dict")
  echo "fuzz: $name for $seconds s"
  result=clean
  if ! "build/fuzz/bin/${name}_fuzz" "${options[@]}" "$found" "tests/fuzz/corpus/$name" \
    </dev/null >"$log" 2>&1; then
    result=FAILED
    failed+=("$name")
    grep -E "property does not hold|ERROR|SUMMARY|Test unit written" "$log" >&2 || tail -20 "$log" >&2
  fi
  results+=("$(printf '%-16s %12s %9s %6s %7s %8s  %s' "$name" "$(final_stat number_of_executed_units "$log")" \
    "$(final_stat average_exec_per_sec "$log")" "$(figure cov "$log")" "$(figure ft "$log")" \
    "$(figure corp "$log")" "$result")")
done

echo
echo "== fuzzing, $seconds s per target (logs in $logs)"
printf '%-16s %12s %9s %6s %7s %8s  %s\n' target executions exec/s cov ft corpus result
printf '%s\n' "${results[@]}"

# Line coverage of one file from a profile: lines, missed, percentage.
lines() {
  "$cov" report "$1" -instr-profile="$2" "$3" | awk '$1 == "TOTAL" { print $8, $9, $10 }'
}

echo
echo "== line coverage: seed corpus alone, and with the inputs found"
printf '%-16s %-34s %6s %9s %9s\n' target file lines seeds found
for entry in "${targets[@]}"; do
  read -r name _ covers <<<"$entry"
  replay=build/fuzz-coverage/bin/${name}_replay
  for run in seeds all; do
    folders=("tests/fuzz/corpus/$name")
    [ "$run" = all ] && folders+=("build/fuzz-corpus/$name")
    LLVM_PROFILE_FILE="$profiles/$name-$run.profraw" "$replay" "${folders[@]}" >/dev/null
    "$profdata" merge -sparse "$profiles/$name-$run.profraw" -o "$profiles/$name-$run.profdata"
  done
  # The whole report for the record, then one line per file.
  # shellcheck disable=SC2086
  "$cov" report "$replay" -instr-profile="$profiles/$name-all.profdata" $covers \
    >"$logs/$name-coverage.txt"
  for file in $covers; do
    read -r total _ seeds <<<"$(lines "$replay" "$profiles/$name-seeds.profdata" "$file")"
    read -r _ _ all <<<"$(lines "$replay" "$profiles/$name-all.profdata" "$file")"
    printf '%-16s %-34s %6s %9s %9s\n' "$name" "$file" "$total" "$seeds" "$all"
  done
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: failing inputs of ${failed[*]} are in build/fuzz-crashes/" >&2
  exit 1
fi
