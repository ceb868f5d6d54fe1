#!/usr/bin/env bash
# Set-up on a machine where a package is missing: dpkg-query reports one package as not installed
# (exit status 1, as the real one gives), and set-up must install it with apt-get and go on to the
# end. Stand-ins replace only these two commands; everything after the install runs for real.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
stubs=$(mktemp -d)
trap 'rm -rf "$stubs"' EXIT
real_dpkg_query=$(command -v dpkg-query)

cat >"$stubs/dpkg-query" <<STUB
#!/usr/bin/env bash
# The real answer, less the package "xauth", with the status the real one gives for a missing one.
"$real_dpkg_query" "\$@" | grep -v '^xauth '
for a in "\$@"; do [[ \$a == xauth ]] && { echo "dpkg-query: no packages found matching xauth" >&2; exit 1; }; done
exit 0
STUB
cat >"$stubs/apt-get" <<STUB
#!/usr/bin/env bash
echo "\$*" >>"$stubs/apt-get.log"
STUB
chmod +x "$stubs/dpkg-query" "$stubs/apt-get"

status=0
PATH="$stubs:$PATH" "$root/scripts/setup" >"$stubs/out" 2>&1 || status=$?
failures=0
checks=0
expect() {
    checks=$((checks + 1))
    if eval "$2"; then echo "ok   $1"; else echo "FAIL $1"; failures=$((failures + 1)); fi
}
expect "set-up exits 0 (was $status)" '[[ $status -eq 0 ]]'
expect "apt-get install was called with xauth" 'grep -Eq "^install .*\bxauth\b" "$stubs/apt-get.log"'
expect "only the missing package was asked for" '[[ $(grep "^install" "$stubs/apt-get.log" | grep -o "xauth\|wine64\|cmake" | sort -u) == xauth ]]'
expect "set-up said what it installs" 'grep -q "setup: installing xauth" "$stubs/out"'
expect "no locale warnings" '! grep -q "cannot change locale" "$stubs/out"'
((failures == 0)) || { echo "--- set-up printed:"; cat "$stubs/out"; }
echo "$((checks - failures)) passed, $failures failed"
((failures == 0))
