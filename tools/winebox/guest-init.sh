#!/bin/sh
# First process of the wine box guest. Mounts the host's shared folder at the
# path the host uses for it, runs the job script named on the kernel command
# line, stores its exit status beside it and powers the machine off.
PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export PATH
mount -t proc proc /proc
mount -t sysfs sys /sys 2>/dev/null
mount -t devtmpfs dev /dev 2>/dev/null
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
mount -t tmpfs tmpfs /tmp
stty -onlcr 2>/dev/null
hostname winebox
arg() { tr ' ' '\n' < /proc/cmdline | sed -n "s/^winebox\.$1=//p"; }
share=$(arg share)
job=$(arg job)
cache=$(arg cache)
modprobe 9pnet_virtio 2>/dev/null
modprobe 9p 2>/dev/null
if [ -n "$share" ]; then
    mkdir -p "$share"
    mount -t 9p -o "trans=virtio,version=9p2000.L,msize=512000,cache=${cache:-loose}" share "$share"
fi
if [ -n "$job" ] && [ -f "$job" ]; then
    /bin/bash "$job"
    echo $? > "$job.rc"
fi
sync
echo o > /proc/sysrq-trigger
sleep 60
