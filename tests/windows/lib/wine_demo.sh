# Sourced by the scripts of tests/windows once src (the source tree) and win
# (the Windows build) are set, after a harness that defines fail.

# wine_demo ROOT: the demo suite made in ROOT by the Windows zuldata.exe, its
# print program the Windows build's ZUDAVIVI.exe.
wine_demo() {
  wine "$win/tools/zuldata/zuldata.exe" demo "Z:$1" --suite "Z:$src/suite" \
    --zudavivi "Z:$win/tools/zudavivi/ZUDAVIVI.exe" </dev/null >/dev/null 2>&1 ||
    fail "zuldata.exe demo"
}

# wine_terminal ROOT: the variables, quoted for a shell command line, that
# run a program of the suite in ROOT from its terminal TERM01.
wine_terminal() { echo "ZULROOT='Z:$1/' ZULEXE='Z:$1/BIN/' ZULTMP='Z:$1/TERM01/'"; }
