#!/bin/sh
# Mounts or unmounts a 64 KiB tmpfs at a folder, for the tests of a save that
# runs out of space half-way. Failing to mount (not root, no permission) is
# no test failure: without the "mounted" marker inside, the tests skip.
#   small-disk.sh mount <folder> | small-disk.sh unmount <folder>
action=$1
dir=$2

is_mounted() {
    grep -qs " $dir tmpfs " /proc/mounts
}

case "$action" in
mount)
    mkdir -p "$dir" || exit 0
    is_mounted && umount "$dir"
    if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=64k tmpfs "$dir" 2>/dev/null; then
        : >"$dir/mounted"
        echo "small-disk: 64 KiB tmpfs mounted at $dir"
    else
        echo "small-disk: could not mount a tmpfs at $dir; its tests will skip"
    fi
    ;;
unmount)
    is_mounted && umount "$dir"
    ;;
*)
    echo "usage: small-disk.sh mount|unmount <folder>" >&2
    exit 2
    ;;
esac
exit 0
