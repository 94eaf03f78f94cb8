# Sourced by ./dev run after the win64 build: stages a portable program folder
# and starts KestrunLauncher.exe in it under Wine.
#   --dpi N             the screen resolution (Wine's LogPixels) for this run
#   --accounts "A B C"  the staged folder's stored list replaced by these accounts
#   On the user's display (DISPLAY set and reachable): runs until the program ends.
#   Without one: a private virtual display, a screenshot of the window, then
#   everything is stopped and the screenshot's path printed.
# Every wait is bounded.

KL_PROGRAM_TITLE="仅支持Kestrun"

kl_stage_program() { # prints the staged folder
  local bin="$BUILD_ROOT/win64/bin" folder="$BUILD_ROOT/run/KestrunLauncher"
  [ -f "$bin/KestrunLauncher.exe" ] || { echo "dev: $bin/KestrunLauncher.exe is missing" >&2; return 1; }
  mkdir -p "$folder" || return 1
  # Only the program and the template profile are staged; what the program
  # itself writes there (the stored list, the profiles) is kept between runs.
  rm -rf "$folder/UserData__Templete"
  cp "$bin/KestrunLauncher.exe" "$folder/" && cp -R "$ROOT/assets/UserData__Templete" "$folder/" || return 1
  echo "$folder"
}

kl_display_reachable() {
  [ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo >/dev/null 2>&1
}

kl_find_program_window() { # prints the X window id of the program's window
  xwininfo -root -tree 2>/dev/null | grep -F "\"$KL_PROGRAM_TITLE\"" | awk '{print $1; exit}'
}

kl_screenshot() { # kl_screenshot <program pid> <png path>
  local pid="$1" png="$2" id= deadline=$((SECONDS + 60))
  while [ -z "$id" ]; do
    kill -0 "$pid" 2>/dev/null || { echo "dev: the program ended before its window appeared" >&2; return 1; }
    [ "$SECONDS" -ge "$deadline" ] && { echo "dev: no window titled $KL_PROGRAM_TITLE within 60 s" >&2; return 1; }
    sleep 0.5
    id="$(kl_find_program_window)"
  done
  sleep 2 # let the first paint finish
  import -window "$id" "$png" || return 1
  echo "$png"
}

KL_DESKTOP_KEY='HKCU\Control Panel\Desktop'
KL_FORMER_DPI=

kl_set_dpi() { # kl_set_dpi <dpi>: remembers the former value for kl_restore_dpi
  KL_FORMER_DPI="$("$ROOT/tools/wine/run" reg query "$KL_DESKTOP_KEY" /v LogPixels 2>/dev/null |
    grep -o '0x[0-9a-fA-F]*' | head -n 1)"
  KL_FORMER_DPI="${KL_FORMER_DPI:-none}"
  "$ROOT/tools/wine/run" reg add "$KL_DESKTOP_KEY" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
}

kl_restore_dpi() {
  case "$KL_FORMER_DPI" in
    "") return 0 ;;
    none) "$ROOT/tools/wine/run" reg delete "$KL_DESKTOP_KEY" /v LogPixels /f >/dev/null 2>&1 ;;
    *) "$ROOT/tools/wine/run" reg add "$KL_DESKTOP_KEY" /v LogPixels /t REG_DWORD /d "$((KL_FORMER_DPI))" /f \
      >/dev/null 2>&1 ;;
  esac
  KL_FORMER_DPI=
}

kl_store_accounts() { # kl_store_accounts <folder> <accounts separated by spaces>
  local folder="$1" accounts
  read -r -a accounts <<<"$2"
  cp "$BUILD_ROOT/win64/bin/sample-list.exe" "$folder/" || return 1
  (cd "$folder" && "$ROOT/tools/wine/run" sample-list.exe "${accounts[@]}") </dev/null >/dev/null 2>&1
  local rc=$?
  rm -f "$folder/sample-list.exe"
  [ $rc -eq 0 ] || echo "dev: storing the accounts failed" >&2
  return $rc
}

run_program_main() {
  local folder rc=0 dpi= accounts= have_accounts=
  while [ $# -gt 0 ]; do
    case "$1" in
      --dpi) dpi="${2:-}"; shift 2 || shift ;;
      --accounts) accounts="${2:-}"; have_accounts=1; shift 2 || shift ;;
      *) echo "dev run: unknown argument $1 (--dpi N, --accounts \"A B C\")" >&2; return 2 ;;
    esac
  done
  case "$dpi" in "" | *[!0-9]*) [ -z "$dpi" ] || { echo "dev run: --dpi takes a number" >&2; return 2; } ;; esac
  folder="$(kl_stage_program)" || return 1
  local interactive=
  if kl_display_reachable; then
    interactive=1
    wine_session_up keep-display || return 1
  else
    wine_session_up || return 1
  fi
  [ -z "$have_accounts" ] || kl_store_accounts "$folder" "$accounts" || return 1
  [ -z "$dpi" ] || kl_set_dpi "$dpi"
  if [ -n "$interactive" ]; then
    (cd "$folder" && KL_WINE_TIMEOUT=0 "$ROOT/tools/wine/run" KestrunLauncher.exe) || rc=$?
    kl_restore_dpi
    return $rc
  fi
  # With no window manager to draw title bars, Wine draws the window's frame
  # itself for this one run, so that the screenshot shows the caption.
  local key='HKCU\Software\Wine\AppDefaults\KestrunLauncher.exe\X11 Driver'
  "$ROOT/tools/wine/run" reg add "$key" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  (cd "$folder" && exec "$ROOT/tools/wine/run" KestrunLauncher.exe) </dev/null >/dev/null 2>&1 &
  local pid=$!
  kl_screenshot "$pid" "$BUILD_ROOT/run/screenshot.png" || rc=1
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  "$ROOT/tools/wine/run" reg delete "${key%\\*}" /f >/dev/null 2>&1
  kl_restore_dpi
  return $rc
}
