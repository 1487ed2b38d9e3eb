#!/usr/bin/env bash
# One script for every set-up step of KELVO on Debian 12:
#   ./setup.sh play    install what is missing, build, make the media, start the game
#   ./setup.sh test    the same set-up, then the whole test suite: every test in
#                      build/, then the sanitizer build's unit tests and 30 s of
#                      each fuzz target
#   ./setup.sh asan    the sanitizer build only (build-asan/: clang with
#                      AddressSanitizer + UBSan): its unit tests and 30 s of each fuzz target
#   ./setup.sh bench   build the benchmarks in build-bench/ and run them
#   ./setup.sh fuzz    fuzz the scene loader, the options file and the terrain
#                      configuration (from build-asan/), FUZZ_SECONDS each
#                      (default 600)
#   ./setup.sh build   install, build and make the media only
# Re-running reinstalls and rebuilds nothing that is up to date.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$ROOT"

PACKAGES=(
  build-essential cmake ninja-build pkg-config ccache python3
  libogre-1.12-dev ogre-1.12-tools libcegui-mk2-dev libcegui-mk2-data libois-dev
  liblua5.2-dev libluabind-dev libexpat1-dev libopenal-dev libsndfile1-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick espeak-ng sox libsox-fmt-base fonts-dejavu-core fonts-cegui
  clang libclang-rt-14-dev python3-numpy
)

step() { echo "== $*"; }

# Compiler cache shared by every checkout on this machine (CI builds a fresh
# clone each time): paths are hashed relative to the checkout.
export CCACHE_BASEDIR="$ROOT"
export CCACHE_NOHASHDIR=1

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
  local missing=()
  for package in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$package")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    step "packages: all installed"
    return
  fi
  step "packages: installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
  local dir="$1"; shift
  if [ ! -f "$dir/build.ninja" ]; then
    step "configure: $dir"
    cmake -S "$ROOT" -B "$dir" -G Ninja "$@"
  fi
  step "build: $dir"
  cmake --build "$dir"
}

# One sanitizer build serves the unit tests and the fuzzer: clang with
# AddressSanitizer, UndefinedBehaviorSanitizer and libFuzzer's coverage.
# Only those two programs are built (and registered as tests) there.
SANITIZER_DIR="$ROOT/build-asan"
FUZZERS="scene_loader_fuzzer options_file_fuzzer terrain_config_fuzzer"
build_sanitized() {
  if [ ! -f "$SANITIZER_DIR/build.ninja" ]; then
    step "configure: build-asan (clang, AddressSanitizer + UBSan, libFuzzer)"
    CC=clang CXX=clang++ cmake -S "$ROOT" -B "$SANITIZER_DIR" -G Ninja -DKELVO_FUZZ=ON
  fi
  step "build: build-asan"
  cmake --build "$SANITIZER_DIR" --target kelvo_unit_tests $FUZZERS
}

run_sanitized_tests() {
  step "unit tests under AddressSanitizer and UndefinedBehaviorSanitizer, 30 s of each fuzz target"
  # The engine's FreeImage codec frees what it malloc'ed with delete[] when
  # it saves an image (tests write their own pictures): not ours to mend.
  (cd "$SANITIZER_DIR" &&
    ASAN_OPTIONS="alloc_dealloc_mismatch=0" \
    UBSAN_OPTIONS="suppressions=$ROOT/tests/sanitizer/ubsan.supp:print_stacktrace=1:halt_on_error=1" \
      ctest -j2 --output-on-failure --timeout 900)
}

make_media() {
  step "media"
  "$ROOT/tools/make_media.sh"
}

common_setup() {
  install_packages
  configure_and_build "$ROOT/build"
  make_media
}

command="${1:-play}"
case "$command" in
  play)
    common_setup
    step "starting KELVO"
    cd "$ROOT/run"
    exec "$ROOT/build/kelvo"
    ;;
  build)
    common_setup
    ;;
  test)
    common_setup
    build_sanitized
    step "tests"
    # Unit and media checks run two at a time; window and end-to-end tests
    # run alone (they are marked so).
    failed=0
    (cd "$ROOT/build" && ctest -j2 --output-on-failure --timeout 900) || failed=1
    run_sanitized_tests || failed=1
    exit "$failed"
    ;;
  asan)
    install_packages
    build_sanitized
    run_sanitized_tests
    ;;
  bench)
    install_packages
    configure_and_build "$ROOT/build-bench" -DKELVO_BENCHMARKS=ON -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release
    make_media
    step "benchmarks"
    for benchmark in "$ROOT"/build-bench/benchmarks/bench_*; do
      [ -x "$benchmark" ] && "$benchmark"
    done
    ;;
  fuzz)
    install_packages
    build_sanitized
    step "fuzzing the scene loader, the options file and the terrain configuration, ${FUZZ_SECONDS:-600} s each"
    fuzz_dir="$ROOT/tests/fuzz"
    "$fuzz_dir/run_fuzzer.sh" "$SANITIZER_DIR/tests/fuzz/scene_loader_fuzzer" "${FUZZ_SECONDS:-600}"
    "$fuzz_dir/run_fuzzer.sh" "$SANITIZER_DIR/tests/fuzz/options_file_fuzzer" "${FUZZ_SECONDS:-600}" \
      "$fuzz_dir/options_corpus" "$fuzz_dir/options.dict"
    "$fuzz_dir/run_fuzzer.sh" "$SANITIZER_DIR/tests/fuzz/terrain_config_fuzzer" "${FUZZ_SECONDS:-600}" \
      "$fuzz_dir/terrain_corpus" "$fuzz_dir/terrain.dict"
    ;;
  *)
    echo "usage: $0 play|test|build|asan|bench|fuzz" >&2
    exit 2
    ;;
esac
