# Shared by the scripts: package installation and the Wine environment.
# shellcheck shell=bash

VEXA_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The locale the scripts' own tools need (unzip writes the zip's Chinese names, xwininfo reads the window's
# title, in UTF-8), whatever the caller's is, or none; Wine is given code page 936 where it is started.
export LC_ALL=C.UTF-8

# Installs whatever of the build and test tools is missing (Debian 12).
ensure_packages() {
  local wanted=(cmake ninja-build g++ libgtest-dev googletest libbenchmark-dev valgrind python3 clang lld libclang-rt-14-dev
    clang-format clang-tidy shellcheck iproute2 locales
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 wine32:i386 xvfb x11-utils git unzip fonts-wqy-microhei imagemagick chromium
    dnsmasq-base isc-dhcp-server kea-dhcp4-server samba smbnetfs)
  local missing=()
  local pkg
  for pkg in "${wanted[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  # The workflow linters' Node.js and npm, from Debian unless a Node.js of another source is there already
  # (its npm comes with it, and Debian's npm would not install beside it).
  command -v node >/dev/null || missing+=(nodejs)
  command -v npm >/dev/null || missing+=(npm)
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  # The DHCP servers are installed for their configuration checks only, Samba for a share the tests start
  # themselves: no service is started meanwhile.
  local policy=""
  if [ ! -e /usr/sbin/policy-rc.d ]; then
    policy=/usr/sbin/policy-rc.d
    printf '#!/bin/sh\nexit 101\n' | $sudo tee "$policy" >/dev/null && $sudo chmod +x "$policy"
  fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
  local status=$?
  [ -z "$policy" ] || $sudo rm -f "$policy"
  return $status
}

# Wine as the target machines run it: code page 936, no debug noise, no Mono or Gecko prompts. Some
# virtual machines' kernels run no 32-bit x86 program at all (Wine's 32-bit loader: "Exec format error"):
# there Wine goes through its 64-bit loader alone, by a `wine` of the suite's own first in PATH (Debian's
# starts the 32-bit loader whenever it is installed), and VEXA_WINE32 is empty: the 32-bit builds cannot
# be run under Wine on this machine (wine_runs).
wine_env() {
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  if [ -z "${VEXA_WINE32+set}" ]; then
    VEXA_WINE32=yes
    # An emulator registered for 32-bit programs runs them, but a minute each start: not a machine to test on.
    if ! /usr/lib/wine/wine --version >/dev/null 2>&1 || [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
      VEXA_WINE32=""
    fi
    export VEXA_WINE32
  fi
  [ -n "$VEXA_WINE32" ] && return 0
  local shim="${TMPDIR:-/tmp}/vexa-wine64-only"
  if [ ! -x "$shim/wine-stable" ]; then
    mkdir -p "$shim"
    printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/wine"
    chmod +x "$shim/wine" && cp "$shim/wine" "$shim/wine-stable"
  fi
  case ":$PATH:" in *":$shim:"*) ;; *) export PATH="$shim:$PATH" ;; esac
}

# Why a 32-bit build is not run under Wine here (wine_env found no way to run 32-bit programs).
export WINE32_MISSING="this machine's kernel runs no 32-bit x86 program (Wine's 32-bit loader: Exec format error)"

# Whether build $1 (a preset) runs under Wine on this machine.
wine_runs() {
  case $1 in
    win32*) [ -n "${VEXA_WINE32:-}" ] ;;
    *) return 0 ;;
  esac
}

# Runs a Windows program under Wine with code page 936.
wine_run() {
  LC_ALL=zh_CN.UTF-8 wine "$@"
}

# Makes a fresh Wine prefix in $1.
wine_prefix() {
  export WINEPREFIX=$1
  LC_ALL=zh_CN.UTF-8 wineboot -i >/dev/null 2>&1
  wineserver -w
}

# Starts an Xvfb of our own on a free display; sets DISPLAY and XVFB_PID.
start_xvfb() {
  local dpi=${1:-96}
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -dpi "$dpi" -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    local _
    for _ in $(seq 1 50); do
      xdpyinfo >/dev/null 2>&1 && return 0
      sleep 0.1
    done
    kill "$XVFB_PID" 2>/dev/null
  done
  echo "no display for Xvfb" >&2
  return 1
}

# Demo and test prefixes: the network cards and keys of a cloned workstation, fonts for the Chinese text,
# and Wine's NDIS service stopped so it does not refill the network-card list with this machine's own.
prepare_demo_prefix() {
  local prefix=$1
  local reg=(env WINEPREFIX="$prefix" LC_ALL=zh_CN.UTF-8 wine reg)
  # NDIS must be off before the network-card list is written, or its next start replaces the list.
  "${reg[@]}" add 'HKLM\System\CurrentControlSet\Services\NDIS' /v Start /t REG_DWORD /d 4 /f >/dev/null 2>&1
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  WINEPREFIX=$prefix wineserver -w
  "${reg[@]}" delete 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\NetworkCards' /f /reg:64 >/dev/null 2>&1 || true
  "${reg[@]}" delete 'HKLM\SOFTWARE\Microsoft\Windows NT\CurrentVersion\NetworkCards' /f /reg:32 >/dev/null 2>&1 || true
  "${reg[@]}" import "$(winepath_of "${2:-$VEXA_ROOT/scripts/demo/demo.reg}")" /reg:64 >/dev/null 2>&1
  prefix_fonts "$prefix"
}

# The fonts a prefix needs for the tool's window: SimSun's substitute for the Chinese text, and Marlett.
prefix_fonts() {
  local prefix=$1
  WINEPREFIX="$prefix" LC_ALL=zh_CN.UTF-8 wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'SimSun' /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
  # Wine draws the title bar's buttons with its Marlett font, which this Wine build does not load from its
  # data folder: without a copy in the prefix's Fonts folder they show as the letters "0 1 r".
  local marlett=/usr/share/wine/fonts/marlett.ttf
  [ -f "$marlett" ] && cp "$marlett" "$prefix/drive_c/windows/Fonts/"
  WINEPREFIX=$prefix wineserver -w
}

# The screen DPI Wine reports to programs.
set_wine_dpi() {
  LC_ALL=zh_CN.UTF-8 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -w
}

# A Unix path as Wine sees it (Z: maps the root).
winepath_of() {
  echo "Z:${1//\//\\}"
}
