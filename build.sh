#!/usr/bin/env bash
# Builds hz2html and hz2book and, by the command given:
#   ./build.sh sample   convert the bundled sample dictionary into sample-out/
#   ./build.sh book     build and prove the sample's EPWING book, StarDict
#                       and Yomitan dictionaries in sample-book/ (hz2book)
#   ./build.sh test     build and run the whole test suite
#   ./build.sh asan     build and run the tests under AddressSanitizer and
#                       UndefinedBehaviorSanitizer
#   ./build.sh install PREFIX   install hz2html and its manual page
#   ./build.sh package  build the Debian package build/hz2html_VERSION_ARCH.deb
#   ./build.sh windows  cross-build build-windows/hz2html.exe (64-bit Windows,
#                       static) and build-windows/hz2html-VERSION-win64.zip
#   ./build.sh windows-test   build the Windows test suite and run it under
#                       wine
# Missing prerequisites are installed with apt-get when running as root;
# otherwise the install line is printed and nothing is done.
set -euo pipefail
cd "$(dirname "$0")"

command=${1:-sample}
jobs=$(nproc 2>/dev/null || echo 2)
# What hz2book and its tests need: the EB library (it proves the books),
# libzip, RapidJSON, libpng and zlib (the exports), GNU Unifont (glyphs),
# and as readers of what it writes: eblook and the EB utilities, sdcv and
# dictzip.
book_packages=(libeb16-dev libzip-dev rapidjson-dev libpng-dev zlib1g-dev unifont eb-utils eblook sdcv dictzip)
# What building hz2book alone needs.
book_build_packages=(libeb16-dev libzip-dev rapidjson-dev libpng-dev zlib1g-dev)

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

# Text for Windows users: UTF-8 with a byte-order mark (so that Notepad and
# other editors read it as UTF-8) and CR LF line ends.
windows_text() {
  printf '\357\273\277'
  sed 's/$/\r/'
}

# The zip for Windows users: the program, a README written for them and the
# manual, as Windows text.
windows_zip() {
  local version stage zip
  version=$(sed -n 's/^project(hz2html VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  stage=build-windows/zip/hz2html-$version-win64
  zip=build-windows/hz2html-$version-win64.zip
  rm -rf build-windows/zip "$zip"
  mkdir -p "$stage"
  x86_64-w64-mingw32-strip -o "$stage/hz2html.exe" build-windows/hz2html.exe
  windows_text <doc/windows-readme.txt >"$stage/README.txt"
  groff -man -Tutf8 -P-cbou doc/hz2html.1 | windows_text >"$stage/hz2html.txt"
  (cd build-windows/zip && cmake -E tar cf "../$(basename "$zip")" --format=zip "hz2html-$version-win64")
  echo "Windows program: build-windows/hz2html.exe; for users: $zip"
}

case "$command" in
  sample)
    need_packages cmake g++ make
    configure build -DHZ2HTML_TESTS=OFF -DHZ2HTML_BOOK=OFF
    rm -rf sample-out
    ./build/hz2html build/sample-dict sample-out
    echo "The pages are in sample-out/ (Shift-JIS; try: iconv -f CP932 -t UTF-8 sample-out/honbun.html)"
    ;;
  book)
    need_packages cmake g++ make "${book_packages[@]}"
    configure build -DHZ2HTML_TESTS=OFF -DHZ2HTML_BOOK=ON
    rm -rf sample-book
    ./build/hz2book --stardict --yomitan build/sample-dict sample-book
    echo "The EPWING book is in sample-book/book (try: eblook -e utf8 sample-book/book),"
    echo "the StarDict dictionary in sample-book/stardict (try: sdcv --data-dir sample-book/stardict あい),"
    echo "the Yomitan dictionary is sample-book/yomitan/harukaze.zip."
    ;;
  test)
    need_packages cmake g++ make libgtest-dev "${book_packages[@]}"
    configure build -DHZ2HTML_TESTS=ON -DHZ2HTML_BOOK=ON
    (cd build && ctest --output-on-failure -j "$jobs")
    ;;
  asan)
    need_packages cmake g++ make libgtest-dev "${book_packages[@]}"
    configure build-asan -DHZ2HTML_TESTS=ON -DHZ2HTML_SANITIZE=ON -DHZ2HTML_BOOK=ON
    (cd build-asan && ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
      UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ctest --output-on-failure -j "$jobs")
    ;;
  install)
    need_packages cmake g++ make "${book_build_packages[@]}"
    configure build -DHZ2HTML_TESTS=OFF -DHZ2HTML_BOOK=ON
    cmake --install build --prefix "${2:?usage: ./build.sh install PREFIX}"
    ;;
  package)
    need_packages cmake g++ make dpkg-dev file "${book_build_packages[@]}"
    configure build -DHZ2HTML_TESTS=OFF -DHZ2HTML_BOOK=ON
    (cd build && cpack -G DEB)
    ;;
  windows|windows-test)
    need_packages cmake make g++-mingw-w64-x86-64 wine wine64 groff-base
    # The build runs its tools under wine, in a prefix of its own: made here
    # once, quietly (a new prefix's set-up talks on stderr).
    if [ ! -d build-windows/wine-prefix ]; then
      mkdir -p build-windows
      WINEDEBUG=-all WINEPREFIX="$PWD/build-windows/wine-prefix" wineboot --init >/dev/null 2>&1 || true
    fi
    tests=OFF
    [ "$command" = windows-test ] && tests=ON
    configure build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      -DHZ2HTML_TESTS=$tests
    if [ "$command" = windows-test ]; then
      (cd build-windows && ctest --output-on-failure)
    else
      windows_zip
    fi
    ;;
  *)
    echo "usage: ./build.sh {sample|book|test|asan|install PREFIX|package|windows|windows-test}" >&2
    exit 2
    ;;
esac
