#!/usr/bin/env bash
# Runs one step of the benchmark and says which step failed when its command
# ends with a code other than 0: a program that crashes after printing its
# figure must not pass unseen.
#
# usage: tests/bench/bench_step.sh NAME COMMAND [ARGUMENT...]
set -uo pipefail

(($# >= 2)) || { echo "usage: $0 NAME COMMAND [ARGUMENT...]" >&2; exit 2; }
name=$1
shift
"$@"
status=$?
# Under QEMU's emulation (scripts/i386-emulation.sh) a Wine process now and
# then dies of an instruction the emulator mistranslated: there, as in make
# test, a failed step gets a second run, and says so.
if ((status != 0)) && [[ -e /proc/sys/fs/binfmt_misc/velmora-i386 ]]; then
    echo "bench: step $name failed with exit code $status under emulation; running it again" >&2
    "$@"
    status=$?
fi
((status == 0)) || echo "bench: step $name failed with exit code $status: $*" >&2
exit "$status"
