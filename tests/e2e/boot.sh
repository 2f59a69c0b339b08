# The start-up run as a cafe's machine lives it (sourced by tests/e2e/netns, after twins.sh): each machine a
# copy of the netns prefix in a network namespace of its own with one card (a tap). The tool lies in
# C:\users\Public\Vexa, a folder every user may write, with a config.ini that names no log folder; /install
# copies it under Program Files and registers the copy (automatic, after Tcpip); then another program is
# copied over the original (it would leave a marker if it ever ran), the prefix boots again and the service
# runs the copy: its line goes to the log beside the original, the seat's address into the card's TCP/IP key.
# Wine ignores the service's dependency on Tcpip and hangs a service's repeated GetAdaptersAddresses
# (known_differences.h, kServiceOrder and kServiceAdapters): the suite starts the service as Windows orders
# it, once Wine's TCP/IP driver runs, and shows the run that gives up with WaitSeconds=0 (one look at the
# cards); the wait itself, a card listed seconds into the boot, is shown over the simulated Windows.
# shellcheck shell=bash
# shellcheck disable=SC2154 # prefix and work are tests/e2e/netns's; TWIN_CARD is twins.sh's

readonly BOOT_MAC=00-1A-2B-3C-4D-91

# A profile's NTUSER.DAT as Wine keeps a hive (its text format; Wine's reg.exe saves none), holding the
# image's game key.
boot_hive() {
  printf 'WINE REGISTRY Version 2\n\n#arch=win64\n\n[Software\\\\Valve\\\\CounterStrike\\\\Settings] 1765400000\n"Key"="IMAGEKEY"\n'
}

# The image: the prefix copied into $1 (twins.sh's cloned_image), with the computer name's key and the
# planted program's marker in the system's environment (services.exe hands it to every service); the
# players: the prefix's own user (logged on: its hive mounted) and a second one and the default profile,
# each with its NTUSER.DAT, every one holding the image's game key; the tool of build $2 in
# the public folder, [Startup] WaitSeconds=$3, [Machines] giving seat 21 to $4, seat 21's game key.
boot_image() {
  local image=$1 build=$2 wait=$3 listed=$4
  cloned_image "$image"
  (
    export WINEPREFIX=$image
    wine reg add "HKLM\\SYSTEM\\ControlSet001\\Control\\ComputerName\\ComputerName" /v ComputerName /d MASTER /f
    wine reg add 'HKLM\System\CurrentControlSet\Control\Session Manager\Environment' \
      /v VEXA_E2E_PLANTED_MARKER /d 'C:\planted-ran.txt' /f
    wine reg add 'HKCU\Software\Valve\CounterStrike\Settings' /v Key /d IMAGEKEY /f
    mkdir -p "$image/drive_c/users/player" "$image/drive_c/users/Default"
    boot_hive >"$image/drive_c/users/player/NTUSER.DAT"
    boot_hive >"$image/drive_c/users/Default/NTUSER.DAT"
    local list='HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\ProfileList'
    wine reg add "$list\\S-1-5-21-0-0-0-1001" /v ProfileImagePath /t REG_EXPAND_SZ /d '%SystemDrive%\users\player' /f
    wine reg add "$list" /v Default /t REG_EXPAND_SZ /d '%SystemDrive%\users\Default' /f
    wineserver -w
  ) >/dev/null 2>&1
  mkdir -p "$image/drive_c/users/Public/Vexa"
  cp "build/$build/VexaIpSet.exe" "$image/drive_c/users/Public/Vexa/"
  printf '[NetWork]\r\nIP=10.9.6\r\nGateWay=10.9.6.254\r\nNetPrefix=BT-\r\n[CSCDK]\r\nCDKey21=BOOT21KEY\r\n[Startup]\r\nWaitSeconds=%s\r\n[Machines]\r\n%s=21\r\n' \
    "$wait" "$listed" >"$image/drive_c/users/Public/Vexa/config.ini"
}

# Machine $1 (a prefix) with its card: /install from the public folder, the original replaced, the prefix
# booted again and the service started, the boot's line waited for (up to $2 seconds); what each step
# printed goes to $work/boot-$3.out.
boot_machine() {
  # shellcheck disable=SC2016 # the inner shell expands them
  unshare -n bash -c '
    dir=$1 wait=$2 out=$3 planted=$4 mac=$5 card=$6
    export WINEPREFIX=$dir LC_ALL=zh_CN.UTF-8
    ip tuntap add tb mode tap && ip link set tb address "$mac" && ip link set tb up
    public="$dir/drive_c/users/Public/Vexa"
    wine "C:\\users\\Public\\Vexa\\VexaIpSet.exe" /install | iconv -f gbk -t utf-8 | tr -d "\r" >>"$out"
    echo "exit ${PIPESTATUS[0]}" >>"$out"
    wine reg query "HKLM\\System\\CurrentControlSet\\Services\\VexaIpSet" 2>/dev/null |
      iconv -f gbk -t utf-8 | tr -d "\r" | grep -E "ImagePath|Start|DependOnService" >>"$out"
    cmp -s "$public/VexaIpSet.exe" "$dir/drive_c/Program Files/VexaIpSet/VexaIpSet.exe" ||
      cmp -s "$public/VexaIpSet.exe" "$dir/drive_c/Program Files (x86)/VexaIpSet/VexaIpSet.exe" && echo "copy: same bytes" >>"$out"
    cp "$planted" "$public/VexaIpSet.exe"
    # Windows starts the service after the TCP/IP driver it depends on; Wine ignores the dependency
    # (known_differences.h, kServiceOrder): the suite starts the service itself once nsiproxy.sys runs.
    wine reg add "HKLM\\System\\CurrentControlSet\\Services\\VexaIpSet" /v Start /t REG_DWORD /d 3 /f >/dev/null 2>&1
    wineserver -k >/dev/null 2>&1; wineserver -w
    start=$SECONDS
    timeout 120 wine wineboot -r >/dev/null 2>&1
    for _ in $(seq 1 100); do wine sc query nsiproxy 2>/dev/null | grep -q RUNNING && break; sleep 0.1; done
    wine sc start VexaIpSet >/dev/null 2>&1
    for _ in $(seq 1 $((wait * 10))); do grep -q $'\''\t/auto\t'\'' "$public/VexaIpSet.log" 2>/dev/null && break; sleep 0.1; done
    echo "boot line after $((SECONDS - start)) s" >>"$out"
    # The run asked for the restart, which ends every process of the prefix: the registry is read after.
    sleep 2; wineserver -k >/dev/null 2>&1; wineserver -w
    wine reg query "HKLM\\SYSTEM\\ControlSet001\\Services\\Tcpip\\Parameters\\Interfaces\\$card" /v IPAddress 2>/dev/null |
      tr -d "\r" >>"$out"
    wine reg query "HKU\\S-1-5-21-0-0-0-1000\\Software\\Valve\\CounterStrike\\Settings" /v Key 2>/dev/null |
      tr -d "\r" | sed "s/^ */logged-on player: /" | grep Key >>"$out"
    wine reg query "HKU\\S-1-5-21-0-0-0-1001" >/dev/null 2>&1 && echo "a player hive is still mounted" >>"$out"
    # What /undo puts back: the earlier key of each player, read from its hive (IMAGEKEY in the saved bytes).
    echo "image keys saved: $(wine reg query "HKLM\\SOFTWARE\\VexaIpSet" /v Values 2>/dev/null | grep -io 494D4147454B4559 | wc -l)" >>"$out"
    [ -s "$dir/drive_c/planted-ran.txt" ] && echo "the program over the original ran" >>"$out"
    wine "C:\\Program Files\\VexaIpSet\\VexaIpSet.exe" /report >/dev/null 2>&1 ||
      wine "C:\\Program Files (x86)\\VexaIpSet\\VexaIpSet.exe" /report >/dev/null 2>&1
    wineserver -k
  ' boot "$1" "$2" "$work/boot-$3.out" "$(pwd)/build/win64/tests/planted.exe" "${BOOT_MAC//-/:}" "$TWIN_CARD"
}

# Machine $2 of build $1: booted as boot_machine says ($3: WaitSeconds, $4: the address [Machines] lists),
# its output and its log checked by $5 (a function given the output, the log and the page).
check_boot_machine() {
  local build=$1 name=$2 wait=$3 listed=$4 check=$5 image="$work/boot-$2" ok=1 out
  out="$work/boot-$build-$name.out"
  boot_image "$image" "$build" "$wait" "$listed"
  rm -f "$out"
  boot_machine "$image" "$((wait + 60))" "$build-$name"
  local log="$image/drive_c/users/Public/Vexa/VexaIpSet.log" page="$image/drive_c/users/Public/Vexa/VexaIpSet.html"
  grep -q '^exit 0$' "$out" || { echo "/install did not exit 0"; ok=0; }
  grep -qE 'ImagePath +REG_[A-Z_]+ +"C:\\Program Files( \(x86\))?\\VexaIpSet\\VexaIpSet.exe" /service$' "$out" ||
    { echo "the service is not registered on the copy under Program Files"; ok=0; }
  grep -q '^copy: same bytes$' "$out" || { echo "the copy's bytes differ from the tool's"; ok=0; }
  grep -qE 'Start +REG_DWORD +0x2$' "$out" || { echo "the service does not start automatically"; ok=0; }
  grep -qE 'DependOnService +REG_MULTI_SZ +Tcpip$' "$out" || { echo "the service does not depend on Tcpip"; ok=0; }
  grep -q '^the program over the original ran$' "$out" && { echo "the program copied over the original ran"; ok=0; }
  "$check" "$out" "$log" "$page" || ok=0
  if [ "$ok" -eq 1 ]; then
    tally_pass; echo "e2e netns $build boot $name: 1 passed ($(grep -h '^boot line after' "$out"))"
  else
    tally_fail; echo "e2e netns $build boot $name: failed"; cat "$out"; tail -3 "$log"
  fi
  [ "$ok" -eq 1 ] && rm -rf "$image"
}

# The boot's run wrote: exit 0 in its line with the seat's [Machines] tail (every player's hive mounted and
# written, none named as not written), the address in the card's key, the seat's game key in the logged-on
# player's hive, the others' unmounted again. What Wine keeps of a hive's file after unmounting is not
# Windows' (known_differences.h, kUnmountedHive): the files' bytes are shown over the simulated Windows.
boot_wrote() {
  local out=$1 log=$2
  grep -q $'\t/auto\t.*\t退出码=0\t.*\t'"$BOOT_MAC=21" "$log" || { echo "no /auto line with exit 0 for seat 21"; return 1; }
  grep -q $'\t/auto\t.*\t未写入=[^\t]' "$log" && { echo "the line names values not written"; return 1; }
  grep -q '^image keys saved: 3$' "$out" || { echo "not every player's earlier key was saved for /undo"; return 1; }
  grep -qE 'IPAddress +REG_MULTI_SZ +10\.9\.6\.21' "$out" || { echo "the card's key does not hold 10.9.6.21"; return 1; }
  grep -qE 'logged-on player: Key +REG_SZ +BOOT21KEY$' "$out" || { echo "the logged-on player's game key is not seat 21's"; return 1; }
  grep -q 'a player hive is still mounted' "$out" && { echo "a player's hive stayed mounted"; return 1; }
  return 0
}

# The boot's run gave up (WaitSeconds=0): its line names the machine and the card it saw, the page lists it.
boot_gave_up() {
  local out=$1 log=$2 page=$3
  grep -qE $'\t/auto\t拒绝: 本机网卡的地址不在 config.ini 的 \[Machines\] 中: '"$BOOT_MAC"$'\t机号=\t计算机名=[^\t]+\t.*\t退出码=2\t.*机器码=[0-9a-f]{8}' "$log" ||
    { echo "no /auto line that gave up naming the machine and $BOOT_MAC"; return 1; }
  grep -q '没能自动设置的机器</h2>' "$page" || { echo "the page does not list the machine"; return 1; }
  grep -qE 'IPAddress +REG_MULTI_SZ +10\.9\.6\.' "$out" && { echo "the card's key got the seat's address"; return 1; }
  return 0
}

check_boot() {
  local build=$1
  check_boot_machine "$build" card-there 20 "$BOOT_MAC" boot_wrote
  check_boot_machine "$build" card-never 0 00-1A-2B-3C-4D-99 boot_gave_up
}
