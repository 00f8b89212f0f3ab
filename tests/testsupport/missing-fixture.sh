# Sourced by the shell tests: a test whose fixture (the X display, a practice database) is
# missing skips (77), so that it runs by hand anywhere; under scripts/test, which starts
# every fixture and sets SCRIVO_REQUIRE_FIXTURES, it fails.
skip_without_fixture() {
    if [ -n "${SCRIVO_REQUIRE_FIXTURES:-}" ]; then
        echo "FAIL: $* (every fixture is required)" >&2
        exit 1
    fi
    echo "SKIP: $*"
    exit 77
}
