# A real SMB share for the end-to-end tests, as a cafe's server gives one: Samba's smbd on the loopback of
# a network namespace of the test's own (port 445, a guest share on a folder of the test's), reached
# through smbnetfs (FUSE), and linked into a Wine prefix as \\cafe-server\log, so that every file operation
# of the tool crosses SMB. Needs a network and a mount namespace of its own (unshare -n -m).
# shellcheck shell=bash

# Starts the server and the client in $1; sets SHARE_DIR (the folder the server keeps: read it to check
# what reached the server) and SHARE_PATH (the share as a client reaches it). Fails when either does not
# come up within 20 s. A second share, logro, is read-only, as a share a cafe's server gives with the
# wrong rights.
start_share() {
  local work=$1/samba _
  mkdir -p "$work"/{share,share-ro,private,lock,state,cache,pid,home/.smb,mnt}
  chmod 777 "$work/share"
  ip link set lo up || return 1
  cat >"$work/smb.conf" <<CONF
[global]
  smb ports = 445
  interfaces = 127.0.0.1
  bind interfaces only = yes
  disable netbios = yes
  server role = standalone server
  map to guest = Bad User
  guest account = $(id -un)
  pid directory = $work/pid
  lock directory = $work/lock
  state directory = $work/state
  cache directory = $work/cache
  private dir = $work/private
  log file = $work/smbd.log
  load printers = no
  printcap name = /dev/null
  disable spoolss = yes
[log]
  path = $work/share
  guest ok = yes
  read only = no
  force user = $(id -un)
[logro]
  path = $work/share-ro
  guest ok = yes
  read only = yes
  force user = $(id -un)
CONF
  SHARE_CONF=$work/smb.conf
  start_server || return 1
  printf 'host 127.0.0.1 CAFE visible=true\nauth "guest" ""\n' >"$work/home/.smb/smbnetfs.conf"
  chmod 600 "$work/home/.smb/smbnetfs.conf"
  SHARE_MOUNT=$work/mnt
  HOME="$work/home" smbnetfs "$SHARE_MOUNT" 2>"$work/smbnetfs.err" || { cat "$work/smbnetfs.err"; return 1; }
  # shellcheck disable=SC2034 # read by the scripts that source this one
  SHARE_DIR=$work/share
  SHARE_PATH=$SHARE_MOUNT/127.0.0.1/log
  for _ in $(seq 1 200); do
    ls "$SHARE_PATH" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "the share cannot be reached through smbnetfs:"
  tail -5 "$work/smbnetfs.err"
  return 1
}

# The server alone, started (again) with the configuration start_share wrote; fails when it does not listen
# within 20 s.
start_server() {
  local _
  # A session of its own: smbd ends its process group when it ends, and that must not be the test's.
  setsid smbd -s "$SHARE_CONF" -F --no-process-group -d 1 >>"${SHARE_CONF%/*}/smbd.out" 2>&1 &
  SMBD_PID=$!
  for _ in $(seq 1 200); do
    grep -q ':01BD 00000000:0000 0A' /proc/net/tcp && return 0
    sleep 0.1
  done
  echo "smbd did not start:"
  tail -5 "${SHARE_CONF%/*}/smbd.log"
  return 1
}

# The server stopped while the client stays mounted, as when a cafe's server goes down: smbd and the RPC
# helpers it starts on demand (they outlive it).
stop_server() {
  [ -n "${SMBD_PID:-}" ] && kill "$SMBD_PID" 2>/dev/null && wait "$SMBD_PID" 2>/dev/null
  [ -n "${SHARE_CONF:-}" ] && pkill -f -- "--configfile=$SHARE_CONF" 2>/dev/null
  SMBD_PID=""
  return 0
}

# The shares as \\cafe-server\log and \\cafe-server\logro in the Wine prefix $1.
link_share() {
  mkdir -p "$1/dosdevices/unc/cafe-server"
  ln -sfn "$SHARE_PATH" "$1/dosdevices/unc/cafe-server/log"
  ln -sfn "${SHARE_PATH%/*}/logro" "$1/dosdevices/unc/cafe-server/logro"
}

# Ends the client and the server.
stop_share() {
  [ -n "${SHARE_MOUNT:-}" ] && fusermount -u "$SHARE_MOUNT" 2>/dev/null
  stop_server
}
