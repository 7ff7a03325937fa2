#!/usr/bin/env bash
# Native Linux check of the updater's parsers: builds tests/native with clang into build/native,
# runs the pattern matcher's sanitizer-instrumented tests with ctest, then fuzzes every parser of
# what a server or a file sends, each on a copy of its seed corpus (so the repository's corpora
# never grow). Exits non-zero on any failure, printing the failing fuzzer's log.
set -euo pipefail
started=$SECONDS

repo=$(cd "$(dirname "$0")/.." && pwd)
build="$repo/build/native"

cmake -S "$repo/tests/native" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j2

# ctest prints its summary line ("100% tests passed, ...") itself.
(cd "$build" && ctest -j2 --output-on-failure)

# fuzz TARGET CORPUS SECONDS: one libFuzzer run, its output kept in build/native/fuzz-TARGET.log.
fuzz() {
  local target=$1 corpus="$build/fuzz-corpus/$1" log="$build/fuzz-$1.log"
  rm -rf "$corpus"
  cp -r "$repo/$2" "$corpus"
  # A small quarantine still catches a use after free within one input, and saves most of the
  # time that paging in fresh memory for ASan's default 256 MB costs on this machine.
  if ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=16} "$build/$target" -max_total_time="$3" -timeout=10 \
       -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$build/$target-" "$corpus" >"$log" 2>&1; then
    echo "fuzzing $target: $(sed -n 's/^stat::number_of_executed_units: *//p' "$log") inputs in $3 s," \
         "no crash, leak, time-out or broken property"
  else
    tail -n 40 "$log"
    echo "fuzzing $target: FAILED (input saved as $build/$target-*)"
    return 1
  fi
}

# The two cores share about a minute: the pattern matcher, whose backtracking has the most room for
# surprises, has one to itself; the small parsers take turns on the other.
mkdir -p "$build/fuzz-corpus"
small_parsers() {
  local status=0
  fuzz base64_fuzz tests/updater/corpus/base64 7 || status=1
  fuzz ecdsa_encoding_fuzz tests/updater/corpus/ecdsa_encoding 7 || status=1
  fuzz update_reply_fuzz tests/updater/corpus/update_reply 7 || status=1
  fuzz decimal_text_fuzz tests/updater/corpus/decimal_text 7 || status=1
  fuzz version_label_fuzz tests/updater/corpus/version_label 7 || status=1
  fuzz installer_name_fuzz tests/updater/corpus/installer_name 7 || status=1
  fuzz redirect_rule_fuzz tests/updater/corpus/redirect_rule 7 || status=1
  fuzz response_headers_fuzz tests/updater/http/corpus 7 || status=1
  return $status
}
small_parsers &
parsers=$!
status=0
fuzz regex_fuzz tests/updater/regex/corpus 60 || status=1
wait $parsers || status=1

echo "native check: $((SECONDS - started)) s"
exit $status
