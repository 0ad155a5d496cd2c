#!/usr/bin/env bash
# Proves the README's promise on a fresh Debian machine: makes one of the release given with
# debootstrap (minbase, with the release's main, updates and security suites, /tmp a tmpfs as
# Debian 13 mounts it), clones this repository's current commit into it, runs the README's two
# commands there exactly as written, and prints each one's exit code and time. The machine is
# removed at the end, after a failure or Ctrl-C too, and nothing stays mounted.
#
# Usage, as root: scripts/fresh-machine.sh bookworm|trixie
#   MIRROR      the Debian mirror (default http://deb.debian.org/debian; the security suite
#               comes from SECURITY_MIRROR, default http://deb.debian.org/debian-security)
#   FRESH_KEEP  1 keeps the machine's folder (unmounted) for a look afterwards
#
# It downloads a few hundred MB and takes about 10 minutes over a fast line, more over a slow one;
# it is not part of the test command.
# Exits 0 when both commands pass, 1 when one fails, 2 when the machine cannot be made.
set -uo pipefail
cd "$(dirname "$0")/.."

release=${1-}
if [[ $release != bookworm && $release != trixie ]] || [[ $# -ne 1 ]]; then
    echo "usage: scripts/fresh-machine.sh bookworm|trixie" >&2
    exit 2
fi
[[ $(id -u) == 0 ]] || { echo "scripts/fresh-machine.sh must run as root" >&2; exit 2; }
mirror=${MIRROR:-http://deb.debian.org/debian}
security=${SECURITY_MIRROR:-http://deb.debian.org/debian-security}
commit=$(git rev-parse HEAD) || exit 2
[[ -z $(git status --porcelain --untracked-files=no) ]] ||
    echo "The tree has uncommitted changes; the machine gets commit $commit without them."

root=$(mktemp -d "/var/tmp/fresh-$release.XXXXXX") || exit 2
chmod 755 "$root"

mounted() { awk -v root="$root" '$2 == root || index($2, root "/") == 1 { print $2 }' /proc/mounts; }
cleanup() {
    trap - EXIT INT TERM
    # Whatever the commands left running in the machine (a wineserver, an Xvfb) ends first.
    local pid
    for pid in /proc/[0-9]*; do
        [[ $(readlink "$pid/root" 2>/dev/null) == "$root" ]] && kill -KILL "${pid#/proc/}" 2>/dev/null
    done
    sleep 1
    local target
    for target in $(mounted | sort -r); do
        umount "$target" 2>/dev/null || umount -l "$target"
    done
    if [[ -n $(mounted) ]]; then
        echo "Still mounted, so $root is left as it is:" $(mounted) >&2
    elif [[ ${FRESH_KEEP-} == 1 ]]; then
        echo "The machine stays in $root"
    else
        rm -rf --one-file-system "$root"
    fi
}
trap cleanup EXIT
trap 'echo "Interrupted"; exit 130' INT TERM

if ! command -v debootstrap >/dev/null; then
    echo "Installing debootstrap"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap \
        >/dev/null 2>&1 ||
        { echo "apt-get install debootstrap failed" >&2; exit 2; }
fi

echo "Making a fresh Debian $release in $root"
start=$SECONDS
if ! debootstrap --variant=minbase "$release" "$root" "$mirror" >"$root.log" 2>&1; then
    echo "debootstrap failed; its last lines:" >&2
    tail -n 5 "$root.log" >&2
    rm -f "$root.log"
    exit 2
fi
rm -f "$root.log"
cat >"$root/etc/apt/sources.list" <<EOF
deb $mirror $release main
deb $mirror $release-updates main
deb $security $release-security main
EOF
cp /etc/resolv.conf "$root/etc/resolv.conf"
echo "Made in $((SECONDS - start)) s: $(cat "$root/etc/debian_version")"

# /dev and /sys come from the host, as slaves so that nothing mounted under them in the
# machine reaches the host's; /proc and /tmp are the machine's own.
mount_all() {
    mount -t proc proc "$root/proc" &&
        mount --rbind /sys "$root/sys" && mount --make-rslave "$root/sys" &&
        mount --rbind /dev "$root/dev" && mount --make-rslave "$root/dev" &&
        mount -t tmpfs tmpfs "$root/tmp"
}
if ! error=$(mount_all 2>&1); then
    echo "This host refuses the mounts a chroot needs (/proc, /sys, /dev, a tmpfs on /tmp):" \
         "$error" >&2
    exit 2
fi

in_machine() {
    chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        TERM=${TERM:-dumb} bash -c "$1"
}
# The machine stays as debootstrap made it: the clone is made from outside, and the README's
# commands install git with the rest.
if ! { git clone -q --no-local "$PWD" "$root/root/qx481" &&
       git -C "$root/root/qx481" checkout -q --detach "$commit"; } >/dev/null 2>&1; then
    echo "Cloning commit $commit into the machine failed" >&2
    exit 2
fi
echo "Cloned commit $commit into /root/qx481"

status=0 results=()
for command in scripts/demo.sh scripts/test.sh; do
    echo
    echo "=== $command"
    start=$SECONDS
    in_machine "cd /root/qx481 && $command"
    code=$?
    results+=("$command: exit code $code in $((SECONDS - start)) s")
    [[ $code == 0 ]] || status=1
done

echo
echo "On a fresh Debian $release ($(cat "$root/etc/debian_version")), commit $commit:"
printf '  %s\n' "${results[@]}"
exit $status
