#!/usr/bin/env bash
# A fresh Debian 12 in a folder: runs the README's set-up on a machine that
# has nothing but the base system, so that a package installed by hand on a
# developer's machine (or on CI's, which is one) cannot hide a missing
# install step.
#
#   tools/fresh-machine.sh [--all] [--keep] [--new-root] [--warm-caches]
#
# Makes a minimal Debian 12 (mmdebstrap --variant=minbase: the Essential and
# Priority required packages and apt) once and keeps it as a tarball under
# ~/.cache/snowbelter-fresh/ (--new-root makes it again); then unpacks a copy
# into a scratch folder, mounts /proc, /sys, /dev, /dev/pts and /dev/shm
# into it, and runs as root in a chroot, in a fresh clone of this
# repository's current commit (changes not committed are not in it):
#   the desktop's packages, the command check (tools/check-commands.py:
#   a command nothing installs fails here, by name), the browser's and
#   Windows' packages, the check again, then tools/build.sh,
#   tools/build-web.sh and tools/build-win.sh; with --all also the whole
#   test command, tools/run-tests.sh.
# Prints each stage's time at the end and exits with the first failing
# stage's status.  Unmounts everything and removes the scratch folder on any
# exit, Ctrl+C included, unless --keep leaves the root for a look (its
# mounts are undone all the same).  Needs root, for the chroot and the
# mounts.  The set-up builds the browser's and Windows' libraries from
# Debian's sources, with nothing cached: about 35 minutes on two busy
# cores.  --warm-caches copies this machine's caches of those libraries and
# its compiler cache into the root first, as a developer's machine has them:
# the packages still come fresh, the libraries are not built again.  Not a
# sandbox: the root shares this machine's kernel and network.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/snowbelter-fresh"
base="$cache/bookworm-minbase.tar"
all=0 keep=0 new_root=0 warm=0
for arg in "$@"; do
  case "$arg" in
    --all) all=1 ;;
    --keep) keep=1 ;;
    --new-root) new_root=1 ;;
    --warm-caches) warm=1 ;;
    *) echo "usage: tools/fresh-machine.sh [--all] [--keep] [--new-root] [--warm-caches]" >&2; exit 2 ;;
  esac
done
[ "$(id -u)" -eq 0 ] || { echo "fresh-machine: run it as root (chroot and mounts)" >&2; exit 2; }

names=() times=() codes=()
scratch="" running="" started=0

# The stage table, then the mounts undone and the scratch folder removed.
finish() {
  local status=$? i
  trap - EXIT INT TERM
  [ -n "$running" ] && names+=("$running") times+=($((SECONDS - started))) codes+=("$status")
  if [ ${#names[@]} -gt 0 ]; then
    printf '\n%-34s %8s  %s\n' stage seconds result
    for i in "${!names[@]}"; do
      printf '%-34s %8s  %s\n' "${names[$i]}" "${times[$i]}" \
        "$([ "${codes[$i]}" -eq 0 ] && echo ok || echo "failed (${codes[$i]})")"
    done
  fi
  [ -n "$scratch" ] && release_root
  exit "$status"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# stage NAME COMMAND...: runs and times one stage; a failure ends the run.
# The command runs as a job of its own so that "set -e" holds inside it.
stage() {
  local code=0
  running=$1 started=$SECONDS
  shift
  echo "=== $running"
  "$@" &
  wait $! || code=$?
  [ "$code" -eq 0 ] || exit "$code"   # finish() puts the stage in the table
  names+=("$running") times+=($((SECONDS - started))) codes+=(0)
  running=""
}

# The base system, made once: its packages come from Debian's archive with
# the security updates, as on a freshly installed machine.
make_base() {
  mkdir -p "$cache"
  # The name's ending tells mmdebstrap to make a tarball.
  mmdebstrap --variant=minbase --quiet bookworm "$cache/partial.tar" \
    "deb http://deb.debian.org/debian bookworm main" \
    "deb http://deb.debian.org/debian bookworm-updates main" \
    "deb http://deb.debian.org/debian-security bookworm-security main"
  mv "$cache/partial.tar" "$base"
}

# A copy of the base with this machine's /proc, /sys and /dev, its name
# server and its own certificate authorities (a network that inspects TLS,
# as the npm registry's may be, needs them once ca-certificates is in), and
# a clone of the current commit in /root/snowbelter.
unpack_root() {
  tar -C "$scratch" -xf "$base"
  mount -t proc proc "$scratch/proc"
  mount --bind /sys "$scratch/sys"
  mount --bind /dev "$scratch/dev"
  mount --bind /dev/pts "$scratch/dev/pts"
  mount --bind /dev/shm "$scratch/dev/shm"
  cp -L /etc/resolv.conf "$scratch/etc/resolv.conf"
  mkdir -p "$scratch/usr/local/share/ca-certificates"
  cp -rL /usr/local/share/ca-certificates/. "$scratch/usr/local/share/ca-certificates/"
  git clone -q "$root" "$scratch/root/snowbelter"
  git -C "$scratch/root/snowbelter" checkout -q --detach "$(git -C "$root" rev-parse HEAD)"
  echo "fresh-machine: $scratch, at $(git -C "$root" log -1 --format='%h %s')"
}

# The browser's and Windows' libraries as built here, and the compiler's
# cache, where the root's builds look for them.
copy_caches() {
  local from="${XDG_CACHE_HOME:-$HOME/.cache}" name
  mkdir -p "$scratch/root/.cache"
  for name in snowbelter-web snowbelter-win ccache; do
    [ -d "$from/$name" ] && cp -a "$from/$name" "$scratch/root/.cache/"
  done
  return 0
}

# in_root COMMAND...: runs a command in the clone, as root, with the
# environment of a fresh login rather than this one's.
in_root() {
  chroot "$scratch" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c 'cd /root/snowbelter && exec "$@"' in-root "$@"
}

# Ends what still runs in the root (a Wine server, an X server), undoes the
# mounts, deepest first (lazily when one is busy), and removes the folder.
release_root() {
  local pid mount
  for pid in $(ls /proc | grep -E '^[0-9]+$'); do
    [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$scratch" ] && kill -9 "$pid" 2>/dev/null
  done
  for mount in dev/shm dev/pts dev sys proc; do
    mountpoint -q "$scratch/$mount" || continue
    umount "$scratch/$mount" 2>/dev/null || umount -l "$scratch/$mount"
  done
  if grep -qF " $scratch/" /proc/self/mounts; then
    echo "fresh-machine: still mounted under $scratch; left in place" >&2
  elif [ $keep -eq 1 ]; then
    echo "fresh-machine: the root is left in $scratch (chroot into it; rm -rf it when done)"
  else
    rm -rf --one-file-system "$scratch"
  fi
}

command -v mmdebstrap >/dev/null && command -v git >/dev/null ||
  { apt-get update -qq && apt-get install -y -qq --no-install-recommends mmdebstrap git; }
git -C "$root" diff --quiet HEAD 2>/dev/null ||
  echo "fresh-machine: changes not committed are left out: the root gets the current commit"
if [ $new_root -eq 1 ] || [ ! -f "$base" ]; then
  stage "minimal Debian 12 (mmdebstrap)" make_base
fi
scratch="$(mktemp -d "${TMPDIR:-/var/tmp}/snowbelter-fresh.XXXXXX")"
stage "unpack the root, clone" unpack_root
[ $warm -eq 0 ] || stage "this machine's library caches" copy_caches
stage "desktop packages" in_root tools/install-deps.sh
stage "command check" in_root python3 tools/check-commands.py
stage "browser packages" in_root tools/install-web-deps.sh
stage "Windows packages" in_root tools/install-deps.sh --windows
stage "command check, all installed" in_root python3 tools/check-commands.py
stage "tools/build.sh" in_root tools/build.sh
stage "tools/build-web.sh" in_root tools/build-web.sh
stage "tools/build-win.sh" in_root tools/build-win.sh
if [ $all -eq 1 ]; then
  stage "tools/run-tests.sh" in_root tools/run-tests.sh
fi
