#!/usr/bin/env bash
# Builds the fuzz targets (clang's libFuzzer, with AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-asan/ and runs each for a bounded
# time, starting from its seed corpus in tests/fuzz/corpus/<target>/.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]   # default: 60 seconds, every target
#   scripts/fuzz.sh --configure-only        # only configure build-asan/
#
# New inputs found while fuzzing go to build-asan/fuzz/corpus/<target>/ (kept
# between runs); an input that fails is saved in build-asan/fuzz/ and the
# script fails after running the other targets.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-asan"

# libFuzzer and the sanitizers' run-time come with clang's run-time package.
need_runtime() {
  local probe
  probe="$(mktemp -d)"
  echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' >"$probe/p.cpp"
  if ! clang++ -fsanitize=fuzzer,address,undefined "$probe/p.cpp" -o "$probe/p" >/dev/null 2>&1; then
    local major
    major="$(clang++ -dumpversion | cut -d. -f1)"
    if [ "$(id -u)" -ne 0 ]; then
      echo "clang cannot build fuzzers: install libclang-rt-$major-dev" >&2
      exit 1
    fi
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "libclang-rt-$major-dev"
  fi
  rm -rf "$probe"
}

configure() {
  if [ ! -f "$build/CMakeCache.txt" ] || ! grep -q '^TESSEL_FUZZ:BOOL=ON' "$build/CMakeCache.txt"; then
    need_runtime
    CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
      -DTESSEL_WERROR=OFF -DTESSEL_FUZZ=ON >/dev/null
  fi
}

if [ "${1:-}" = "--configure-only" ]; then
  configure
  exit 0
fi
seconds="${1:-60}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in "$root"/tests/fuzz/*Fuzz.cpp; do
    targets+=("$(basename "$f" .cpp)")
  done
fi

configure
cmake --build "$build" -j2 --target "${targets[@]}"

export ASAN_OPTIONS="detect_leaks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
failed=()
summary=()
for t in "${targets[@]}"; do
  corpus="$build/fuzz/corpus/$t"
  mkdir -p "$corpus"
  log="$build/fuzz/$t.log"
  options=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 -print_final_stats=1
           -artifact_prefix="$build/fuzz/$t-")
  # A target's dictionary, if it has one: words of its input language.
  if [ -f "$root/tests/fuzz/$t.dict" ]; then
    options+=(-dict="$root/tests/fuzz/$t.dict")
  fi
  echo "== $t: $seconds s"
  if "$build/tests/fuzz/$t" "${options[@]}" "$corpus" "$root/tests/fuzz/corpus/$t" >"$log" 2>&1; then
    done_line="$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -1 || true)"
    summary+=("$t: ${done_line:-finished}")
  else
    failed+=("$t")
    summary+=("$t: FAILED (see $log)")
    grep -E -A40 'ERROR: |\*\*\*|runtime error' "$log" | head -80 >&2 || tail -40 "$log" >&2
  fi
done
printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
