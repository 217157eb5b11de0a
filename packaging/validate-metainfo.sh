#!/usr/bin/env bash
# Validates a metainfo file as strictly as appstreamcli can: an error, a warning or an info
# fails it; pedantic hints stay allowed (the only one is the upper-case letter of the
# reverse-DNS id, which is the usual spelling of such ids). --no-net: the homepage is a
# placeholder and the tests must not depend on the network.
#
# AppStream 1.0 wants <developer id="…"><name>; AppStream before 1.0 (Debian 12 has 0.16)
# does not know that tag yet and says so in one info, which is the only one let through there.
#
# usage: validate-metainfo.sh FILE
set -euo pipefail

if [ $# -ne 1 ]; then
    echo "usage: $0 FILE" >&2
    exit 2
fi

version=$(appstreamcli --version | grep -Eom1 '[0-9]+\.[0-9]+(\.[0-9]+)?')
status=0
report=$(appstreamcli validate --no-net --strict --no-color "$1" 2>&1) || status=$?
printf '%s\n' "$report"
[ "$status" -eq 0 ] && exit 0

# Before 1.0, exactly one finding, that info, and nothing else.
if [ "${version%%.*}" -lt 1 ] &&
    [ "$(grep -Ec '^[EWI]: ' <<<"$report")" -eq 1 ] &&
    grep -Eq '^I: [^ ]+:[0-9]+: unknown-tag developer$' <<<"$report" &&
    grep -Eq 'Validation failed: infos: 1(, pedantic: [0-9]+)?$' <<<"$report"; then
    echo "metainfo: valid for AppStream $version but for the newer <developer> it does not know"
    exit 0
fi
echo "metainfo: not valid under AppStream $version" >&2
exit 1
