# Sourced by the test harnesses.
# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
    local limit=$1; shift
    local deadline=$((SECONDS + limit))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
}
