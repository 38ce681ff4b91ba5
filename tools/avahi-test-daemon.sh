#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Gives tests an Avahi daemon to announce and look for tables with.
#
#   avahi-test-daemon.sh start [PID]   prints the D-Bus address to use as DBUS_SYSTEM_BUS_ADDRESS
#                                      and counts PID (default: the caller) as a user
#   avahi-test-daemon.sh stop [PID]    drops PID; the last user stops the daemon it started
#
# Where a daemon answers on the system bus, that one is used. Otherwise (a container, as in CI)
# the script starts a private D-Bus system bus and an avahi-daemon that serves the loopback
# interface only, so nothing reaches the real network. avahi-daemon keeps its pid file in
# /run/avahi-daemon, so only one can run on a machine: every test, in this build folder or
# another, shares it through the state folder, and it stops when the last user has gone (users
# that died are not waited for). Starting it needs root (for /run/avahi-daemon).
#
# Exit status: 0 ready; 2 no daemon answers and none can be started here (not root); 1 failed.
set -uo pipefail

state=${VRAKO_AVAHI_TEST_DIR:-${TMPDIR:-/tmp}/vrako-avahi-test-$(id -u)}
private="unix:path=$state/bus"
command=${1:-}
user=${2:-$PPID}

die() { # STATUS MESSAGE
    echo "avahi-test-daemon: $2" >&2
    exit "$1"
}

# A process that exists and has not ended (a zombie whose parent does not reap it has).
alive() {
    [ -n "${1:-}" ] && [ -r "/proc/$1/stat" ] && ! grep -q '^[0-9]* ([^)]*) Z' "/proc/$1/stat"
}

# The Avahi daemon on the bus at ADDRESS has settled its host name and serves requests.
answers() { # ADDRESS
    DBUS_SYSTEM_BUS_ADDRESS=$1 timeout 5 dbus-send --system --print-reply --reply-timeout=2000 \
        --dest=org.freedesktop.Avahi / org.freedesktop.Avahi.Server.GetState 2>/dev/null |
        grep -q 'int32 2'
}

# Runs COMMAND in the background in a session of its own, so that nothing which ends the calling
# test ends it too, with none of our file descriptors beyond the standard ones (the lock must not
# outlive this script). $! is its pid.
detach() { # LOG COMMAND...
    local log=$1
    shift
    (
        for fd in "/proc/$BASHPID/fd"/*; do
            fd=${fd##*/}
            [ "$fd" -gt 2 ] && eval "exec $fd>&-" 2>/dev/null
        done
        exec setsid "$@" >"$log" 2>&1 </dev/null
    ) &
}

stop_private() {
    local name pid
    for name in avahi bus; do
        pid=$(cat "$state/$name.pid" 2>/dev/null) || continue
        alive "$pid" && kill "$pid"
        for _ in $(seq 50); do
            alive "$pid" || break
            sleep 0.1
        done
        alive "$pid" && kill -KILL "$pid"
        rm -f "$state/$name.pid"
    done
    rm -f "$state/bus"
}

start_private() {
    [ "$(id -u)" -eq 0 ] ||
        die 2 "no Avahi daemon answers on the system bus, and only root can start one"
    local tool pid
    for tool in dbus-daemon dbus-send avahi-daemon; do
        command -v "$tool" >/dev/null || die 1 "$tool is not installed (tools/deps.sh installs it)"
    done
    pid=$(cat /run/avahi-daemon/pid 2>/dev/null)
    alive "$pid" && die 1 "an avahi-daemon (pid $pid) runs but answers on no bus known here"

    cat >"$state/bus.conf" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=$state/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
EOF
    cat >"$state/avahi.conf" <<EOF
[server]
use-ipv4=yes
use-ipv6=no
allow-interfaces=lo
enable-dbus=yes
ratelimit-interval-usec=1000000
ratelimit-burst=1000
[wide-area]
enable-wide-area=no
[publish]
publish-hinfo=no
publish-workstation=no
EOF
    detach "$state/bus.log" dbus-daemon --config-file="$state/bus.conf" --nofork --nopidfile
    echo $! >"$state/bus.pid"
    for _ in $(seq 50); do
        [ -S "$state/bus" ] && break
        sleep 0.1
    done
    [ -S "$state/bus" ] || { stop_private; die 1 "the private D-Bus did not start: $(cat "$state/bus.log")"; }

    DBUS_SYSTEM_BUS_ADDRESS=$private detach "$state/avahi.log" avahi-daemon --no-drop-root \
        --no-chroot --no-rlimits --no-proc-title -f "$state/avahi.conf"
    echo $! >"$state/avahi.pid"
    for _ in $(seq 100); do
        answers "$private" && return 0
        alive "$(cat "$state/avahi.pid")" || break
        sleep 0.1
    done
    local log
    log=$(cat "$state/avahi.log")
    stop_private
    die 1 "avahi-daemon did not start: $log"
}

case $command in
start | stop) ;;
*) die 1 "usage: avahi-test-daemon.sh start|stop [PID]" ;;
esac
mkdir -p "$state/users" || die 1 "cannot make $state"
exec 9>"$state/lock"
flock 9

if [ "$command" = start ]; then
    system=${DBUS_SYSTEM_BUS_ADDRESS:-unix:path=/run/dbus/system_bus_socket}
    if [ "$system" != "$private" ] && answers "$system"; then
        echo "$system"
        exit 0
    fi
    if ! answers "$private"; then
        stop_private # what a crashed run may have left
        start_private
    fi
    touch "$state/users/$user"
    echo "$private"
else
    rm -f "$state/users/$user"
    for f in "$state"/users/*; do
        [ -e "$f" ] || continue
        alive "${f##*/}" || rm -f "$f"
    done
    if [ -z "$(ls -A "$state/users")" ]; then
        stop_private
    fi
fi
