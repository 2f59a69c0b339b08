# Two machines cloned from one image, on one share (sourced by tests/e2e/netns, which made the share and
# its Wine prefix): each machine a copy of the image's prefix, run in a network namespace of its own with
# one card of its own (a tap; Wine's NDIS lists it as the machine's card when its server starts there). The
# image holds one MachineGuid, planted where Windows keeps it (the 64-bit view): the first machine keeps
# it, the second gets a new one from the build under test (from the 32-bit build too), its line says so,
# the page marks both seats as sharing a machine SID (Wine gives every prefix S-1-5-21-0-0-0), /check names
# the other seat, and /undo puts the image's MachineGuid back. The page is made from the share's log copied
# beside a tool of its own: smbnetfs refuses to rename a file that is open (EBUSY), and Wine's MoveFileEx
# renames through the file's open handle, so no page or export is ever written onto this test's share
# (a Windows client renames over SMB2 through the handle itself).
# shellcheck shell=bash
# shellcheck disable=SC2154 # prefix, work and SHARE_DIR are tests/e2e/netns's

readonly TWIN_IMAGE_GUID=6b29fc40-ca47-4e13-8a2f-1d3c5e7f9a0b
readonly TWIN_CARD='{00000002-0000-0000-0000-4E6574446576}'  # a namespace's second interface, after lo

# A copy in $1 of the prefix, made while its server is down, with the keys a cloned Windows has: the host
# name's and the TCP/IP key of the namespace's card (DHCP, as the image left it).
cloned_image() {
  local image=$1 tcpip='HKLM\SYSTEM\ControlSet001\Services\Tcpip\Parameters'
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -w
  rm -rf "$image" && cp -a "$prefix" "$image"
  (
    export WINEPREFIX=$image
    wine reg add "$tcpip" /v 'NV Hostname' /d MASTER /f
    wine reg add "$tcpip\\Interfaces\\$TWIN_CARD" /v EnableDHCP /t REG_DWORD /d 1 /f
    wineserver -w
  ) >/dev/null 2>&1
}

# The image: the prefix copied into $1 (cloned_image) with the image's MachineGuid; the tool of build $2 in
# C:\twin with a config.ini whose log is on the share.
twin_image() {
  local image=$1 build=$2
  cloned_image "$image"
  WINEPREFIX=$image wine reg add 'HKLM\SOFTWARE\Microsoft\Cryptography' /v MachineGuid /d "$TWIN_IMAGE_GUID" /f /reg:64 \
    >/dev/null 2>&1
  WINEPREFIX=$image wineserver -w
  mkdir -p "$image/drive_c/twin" "$SHARE_DIR/twins-$build"
  rm -f "$SHARE_DIR/twins-$build"/*
  cp "build/$build/VexaIpSet.exe" "$image/drive_c/twin/"
  printf '[NetWork]\r\nIP=10.9.7\r\nGateWay=10.9.7.254\r\nNetPrefix=TW-\r\n[Log]\r\nFolder=\\\\cafe-server\\log\\twins-%s\r\n' \
    "$build" >"$image/drive_c/twin/config.ini"
}

# Machine $1 (a copy of the image in $2) on its own card, 00-1A-2B-3C-4D-8$1: runs the tool with the
# arguments after $2, each set of them separated by "--"; appends what each printed (in UTF-8) and its exit
# code to $work/twin-$1.out, then MachineGuid as the 64-bit and the 32-bit view hold it.
twin_machine() {
  local m=$1 dir=$2
  shift 2
  # shellcheck disable=SC2016 # the inner shell expands them
  unshare -n bash -c '
    m=$1 dir=$2 out=$3
    shift 3
    ip tuntap add "t$m" mode tap && ip link set "t$m" address "00:1a:2b:3c:4d:8$m" && ip link set "t$m" up
    export WINEPREFIX=$dir
    run() {
      LC_ALL=zh_CN.UTF-8 wine "C:\\twin\\VexaIpSet.exe" "$@" | iconv -f gbk -t utf-8 | tr -d "\r" >>"$out"
      echo "exit ${PIPESTATUS[0]}" >>"$out"
    }
    args=()
    for a in "$@" --; do
      if [ "$a" = -- ]; then run "${args[@]}"; args=(); else args+=("$a"); fi
    done
    for view in 64 32; do
      echo "MachineGuid/$view $(wine reg query "HKLM\\SOFTWARE\\Microsoft\\Cryptography" /v MachineGuid /reg:$view 2>/dev/null |
        grep -o "[0-9a-f-]\{36\}")" >>"$out"
    done
    wineserver -k
  ' twin "$m" "$dir" "$work/twin-$m.out" "$@"
}

check_twins() {
  local label=$1 image="$work/twin-image" ok=1 renewed log page
  log="$SHARE_DIR/twins-$label/VexaIpSet.log"
  twin_image "$image" "$label"
  rm -rf "$work/twin-1" "$work/twin-2" "$work/twin-1.out" "$work/twin-2.out"
  cp -a "$image" "$work/twin-1" && cp -a "$image" "$work/twin-2" && link_share "$work/twin-1" && link_share "$work/twin-2"
  twin_machine 1 "$work/twin-1" /n 1 /card 00-1A-2B-3C-4D-81 /noreboot
  twin_machine 2 "$work/twin-2" /n 2 /card 00-1A-2B-3C-4D-82 /noreboot -- /check /n 2 /card 2
  rm -rf "$prefix/drive_c/twin-page" && mkdir -p "$prefix/drive_c/twin-page"
  cp "build/$label/VexaIpSet.exe" "$log" "$prefix/drive_c/twin-page/"
  printf '[NetWork]\r\nIP=10.9.7\r\nGateWay=10.9.7.254\r\nNetPrefix=TW-\r\n' >"$prefix/drive_c/twin-page/config.ini"
  WINEPREFIX=$prefix LC_ALL=zh_CN.UTF-8 timeout 60 wine 'C:\twin-page\VexaIpSet.exe' /report >/dev/null 2>&1
  page=$(cat "$prefix/drive_c/twin-page/VexaIpSet.html" 2>/dev/null)
  renewed=$(grep -m1 '^MachineGuid/64 ' "$work/twin-2.out" | cut -d' ' -f2)
  grep -q "^MachineGuid/64 $TWIN_IMAGE_GUID\$" "$work/twin-1.out" || { echo "machine 1 did not keep the image's MachineGuid"; ok=0; }
  if [ "${#renewed}" != 36 ] || [ "$renewed" = "$TWIN_IMAGE_GUID" ]; then
    echo "machine 2: MachineGuid '$renewed' in the 64-bit view"; ok=0
  fi
  if grep -q "^MachineGuid/32 $renewed\$" "$work/twin-2.out"; then echo "the 32-bit view got it"; ok=0; fi
  grep -q '机器码 (MachineGuid) 已换新(与机号 1 的机器相同)' "$work/twin-2.out" || { echo "machine 2 did not say it"; ok=0; }
  grep -q $'已写入, 机器码已换新(与机号 1 的机器相同)\t' "$log" || { echo "machine 2's line does not say it"; ok=0; }
  if ! grep -qF '<b>1</b><em>SID</em>' <<<"$page" || ! grep -qF '<b>2</b><em>SID</em>' <<<"$page"; then
    echo "the page does not mark seats 1 and 2 as sharing a machine SID"; ok=0
  fi
  grep -q '^机器 SID: 与机号 1 的机器相同' "$work/twin-2.out" || { echo "/check does not name seat 1"; ok=0; }
  twin_machine 2 "$work/twin-2" /undo /noreboot
  grep -q "^MachineGuid/64 $TWIN_IMAGE_GUID\$" <(tail -2 "$work/twin-2.out") || { echo "/undo did not put the image's back"; ok=0; }
  if [ "$ok" -eq 1 ]; then
    tally_pass; echo "e2e netns $label twins: 1 passed (machine 2's MachineGuid $TWIN_IMAGE_GUID -> $renewed in the 64-bit view ($(grep -m1 '^MachineGuid/32 ' "$work/twin-2.out" | cut -d' ' -f2 | sed 's/^$/none/') in the 32-bit one), back after /undo; machine 1 kept it; seats 1 and 2 marked as sharing a machine SID)"
  else
    tally_fail; echo "e2e netns $label twins: failed"; cat "$work/twin-1.out" "$work/twin-2.out"; tail -3 "$log"
  fi
  rm -rf "$image" "$work/twin-1" "$work/twin-2"  # three prefixes' worth of disk
}
