#!/usr/bin/env bash
# Runs a command where i386 Linux programs start through qemu-i386, on a
# kernel that cannot run them itself, without registering anything for the
# rest of the machine: a private user and mount namespace gets its own
# binfmt_misc (kernel 6.7 and later) with qemu-i386 registered in it.
#   tools/i386-namespace.sh COMMAND [ARGS...]
set -euo pipefail

case "${QUORVANE_I386_NAMESPACE:-}" in
ready)
    exec "$@"
    ;;
entered)
    ;;
*)
    QUORVANE_I386_NAMESPACE=entered exec unshare --user --map-root-user \
        --mount --propagation private "$0" "$@"
    ;;
esac

qemu=$(command -v qemu-i386)
mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
# qemu's own magic and mask for i386 ELF executables and shared objects. Flag
# F opens the interpreter now, so it is found from any mount namespace.
magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
printf '%s\n' ":qemu-i386:M::$magic:$mask:$qemu:F" >/proc/sys/fs/binfmt_misc/register
QUORVANE_I386_NAMESPACE=ready exec "$@"
