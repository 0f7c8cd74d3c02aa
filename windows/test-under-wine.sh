#!/usr/bin/env bash
# Cross-compiles tradepl.exe with MinGW-w64, packages it as a zip, and runs the
# end-to-end tests on the .exe under Wine: the same expected bytes as on Linux, with CR LF
# line ends, and messages in code page 932, as a Japanese Windows shows them.
# Needs the Debian packages g++-mingw-w64-x86-64 and wine64, and the ja_JP.UTF-8 locale.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset windows
exe="$PWD/build/windows/src/app/tradepl.exe"
echo "tradepl.exe: $(stat -c %s "$exe") bytes"
# The manifest that lets the .exe use paths longer than 260 characters.
grep -q '<ws2:longPathAware>true</ws2:longPathAware>' "$exe" ||
  { echo "tradepl.exe lacks its long-path manifest" >&2; exit 1; }
# A helper of the tests: holds a file open as Excel does.
hold_file="$PWD/build/windows/hold_file.exe"
x86_64-w64-mingw32-g++-posix -O1 -static -o "$hold_file" windows/hold_file.cpp

cmake --preset test >/dev/null
cmake --build --preset test --target tradepl_end_to_end_tests >/dev/null

export WINEDEBUG=-all WINEPREFIX="$PWD/build/wineprefix" LANG=ja_JP.UTF-8
# The first start of Wine sets up its prefix and says so; get that over with first. One
# wineserver then stays up for every run of the tests: one that shuts down between two
# runs can drop the next ("wine client error: recvmsg").
wineboot --init >/dev/null 2>&1 || true
wineserver --wait || true
wineserver -p

# Messages arrive in code page 932; the English runs are a Japanese Windows whose display
# language is English (Wine reads it from LC_MESSAGES), the Japanese runs a Japanese one.
export TRADEPL_EXECUTABLE="$exe" TRADEPL_HOLD_FILE="$hold_file" TRADEPL_RUNNER=wine \
  TRADEPL_LINE_END=crlf TRADEPL_CONSOLE_ENCODING=CP932 \
  TRADEPL_ENGLISH_LOCALE="LC_ALL= LANG=ja_JP.UTF-8 LC_MESSAGES=en_US.UTF-8"
tests=build/test/tests/tradepl_end_to_end_tests
log=$(mktemp)
trap 'wineserver -k || true; rm -f "$log"' EXIT
if ! "$tests" --gtest_brief=1 | tee "$log"; then
  # Now and then Wine loses a run to its own client error ("Protocol error: … partial
  # recvmsg"), and the test it ran fails. The tests that failed run once more: one that fails
  # for the program's own fault fails again.
  failed=$(sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_./]*\) (.*/\1/p' "$log" | paste -sd: -)
  [ -n "$failed" ] || exit 1
  echo "once more, as Wine may have lost a run: $failed"
  "$tests" --gtest_brief=1 --gtest_filter="$failed"
fi
