# Sourced by ./dev: a private Wine session for the Windows programs.
#   wine_session_up    prefix, locale, display, persistent server
#   wine_session_down  stops all of it (also run from the EXIT trap)
# Every wait is bounded.

WINE64=/usr/lib/wine/wine64
WINESERVER64=/usr/lib/wine/wineserver64
KL_XVFB_PID=
KL_SERVER_UP=
KL_SESSION_UP=

wait_for() { # wait_for <seconds> <command...>: true once the command succeeds
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

kl_make_locale() { # zh_CN for the programs (code page 936), en_US for the tests of code page 1252
  export KL_LOCPATH="$BUILD_ROOT/locale"
  local name
  for name in zh_CN en_US; do
    [ -d "$KL_LOCPATH/$name.UTF-8" ] && continue
    mkdir -p "$KL_LOCPATH"
    localedef -i "$name" -f UTF-8 "$KL_LOCPATH/$name.UTF-8" >/dev/null 2>&1 || [ -d "$KL_LOCPATH/$name.UTF-8" ] || {
      echo "dev: could not build the $name.UTF-8 locale" >&2
      return 1
    }
  done
}

kl_start_display() { # a private Xvfb; it picks a free display number itself
  local number_file="$BUILD_ROOT/.xvfb-display.$$"
  mkdir -p "$BUILD_ROOT"
  : >"$number_file"
  Xvfb -displayfd 1 -nolisten tcp -screen 0 1280x1024x24 >"$number_file" 2>/dev/null &
  KL_XVFB_PID=$!
  if wait_for 10 test -s "$number_file"; then
    export DISPLAY=":$(head -n 1 "$number_file")"
    rm -f "$number_file"
    wait_for 10 test -e "/tmp/.X11-unix/X${DISPLAY#:}" && return 0
  fi
  rm -f "$number_file"
  kill "$KL_XVFB_PID" 2>/dev/null
  KL_XVFB_PID=
  echo "dev: could not start Xvfb" >&2
  return 1
}

wine_session_up() { # wine_session_up [keep-display]: with it, the user's DISPLAY is used when set
  # Once per command: a second display started over the first would leave the
  # first one running after the command has ended.
  [ -n "$KL_SESSION_UP" ] && return 0
  export WINEPREFIX="$BUILD_ROOT/wineprefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  kl_make_locale || return 1
  if [ "${1:-}" != keep-display ] || [ -z "${DISPLAY:-}" ]; then
    kl_start_display || return 1
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "dev: creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    KL_WINE_TIMEOUT=180 "$ROOT/tools/wine/run" wineboot -i >/dev/null 2>&1
    "$WINESERVER64" -w >/dev/null 2>&1 &
    wait_for 60 bash -c "! kill -0 $! 2>/dev/null"
    kl_wine_fonts
  fi
  "$WINESERVER64" -p >/dev/null 2>&1 && KL_SERVER_UP=1
  # The first program of a server session starts Wine's own services, which
  # inherit its output: start them here, so that they never hold a test
  # runner's pipe open after the test has ended.
  KL_WINE_TIMEOUT=60 "$ROOT/tools/wine/run" wineboot </dev/null >/dev/null 2>&1
  # Every session starts at 96 dpi: a resolution a test or ./dev run --dpi set
  # stays behind only when it was killed before it could put the old one back.
  "$ROOT/tools/wine/run" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f </dev/null \
    >/dev/null 2>&1
  trap wine_session_down EXIT
  trap 'exit 130' INT TERM
  KL_SESSION_UP=1
}

kl_wine_fonts() { # CJK faces for the window's fonts, mapped to a font Debian ships
  local face key='HKCU\Software\Wine\Fonts\Replacements'
  for face in "楷体" "华文中宋" "宋体" "SimSun" "新宋体" "NSimSun" "微软雅黑" "Microsoft YaHei" "SimHei" "黑体" "KaiTi"; do
    "$ROOT/tools/wine/run" reg add "$key" /v "$face" /t REG_SZ /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  done
}

kl_has_ended() { # kl_has_ended <pid>: gone, or a zombie waiting to be reaped
  [ ! -r "/proc/$1/stat" ] || [ "$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null)" = Z ]
}

wine_session_down() {
  if [ -n "$KL_SERVER_UP" ]; then
    timeout 20 "$WINESERVER64" -k >/dev/null 2>&1
    KL_SERVER_UP=
  fi
  if [ -n "$KL_XVFB_PID" ]; then
    kill "$KL_XVFB_PID" 2>/dev/null
    # Bounded: a display that has not ended (or is not yet a zombie to reap)
    # within 10 s is killed outright.
    wait_for 10 kl_has_ended "$KL_XVFB_PID" || kill -9 "$KL_XVFB_PID" 2>/dev/null
    wait "$KL_XVFB_PID" 2>/dev/null
    KL_XVFB_PID=
  fi
  KL_SESSION_UP=
}
