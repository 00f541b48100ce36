# Sourced, right after `set -euo pipefail`, by every script that CI runs: a script
# that stops on an error then says where, which command and with what status,
# instead of ending without a word. Also inside functions and subshells.
set -o errtrace
velko_report_error() {
    printf '%s:%s: error: "%s" exited with status %s\n' "$3" "$2" "$4" "$1" >&2
}
trap 'velko_report_error "$?" "$LINENO" "${BASH_SOURCE[0]:-$0}" "$BASH_COMMAND"' ERR
