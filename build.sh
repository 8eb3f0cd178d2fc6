#!/usr/bin/env bash
# Builds hz2html and, by the command given:
#   ./build.sh sample   convert the bundled sample dictionary into sample-out/
#   ./build.sh test     build and run the whole test suite
#   ./build.sh asan     build and run the tests under AddressSanitizer and
#                       UndefinedBehaviorSanitizer
#   ./build.sh install PREFIX   install hz2html and its manual page
#   ./build.sh package  build the Debian package build/hz2html_VERSION_ARCH.deb
# Missing prerequisites are installed with apt-get when running as root;
# otherwise the install line is printed and nothing is done.
set -euo pipefail
cd "$(dirname "$0")"

command=${1:-sample}
jobs=$(nproc 2>/dev/null || echo 2)

need_packages() {
  local missing=()
  for pkg in "$@"; do
    dpkg -s "$pkg" >/dev/null 2>&1 || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" = 0 ]; then
    echo "Installing ${missing[*]}" >&2
    (apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}") >&2
  else
    echo "Missing packages. Install them with:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
  fi
}

configure() {  # build-dir, cmake options...
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

case "$command" in
  sample)
    need_packages cmake g++ make
    configure build -DHZ2HTML_TESTS=OFF
    rm -rf sample-out
    ./build/hz2html build/sample-dict sample-out
    echo "The pages are in sample-out/ (Shift-JIS; try: iconv -f CP932 -t UTF-8 sample-out/honbun.html)"
    ;;
  test)
    need_packages cmake g++ make libgtest-dev
    configure build -DHZ2HTML_TESTS=ON
    (cd build && ctest --output-on-failure -j "$jobs")
    ;;
  asan)
    need_packages cmake g++ make libgtest-dev
    configure build-asan -DHZ2HTML_TESTS=ON -DHZ2HTML_SANITIZE=ON
    (cd build-asan && ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
      UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure -j "$jobs")
    ;;
  install)
    need_packages cmake g++ make
    configure build -DHZ2HTML_TESTS=OFF
    cmake --install build --prefix "${2:?usage: ./build.sh install PREFIX}"
    ;;
  package)
    need_packages cmake g++ make dpkg-dev file
    configure build -DHZ2HTML_TESTS=OFF
    (cd build && cpack -G DEB)
    ;;
  *)
    echo "usage: ./build.sh {sample|test|asan|install PREFIX|package}" >&2
    exit 2
    ;;
esac
