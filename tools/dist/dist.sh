# Sourced by ./dev: the portable releases.
#   dist_main [--verify]   builds the 32-bit and 64-bit release and packs each
#                          into dist/KestrunLauncher-<version>-win32.zip / -win64.zip;
#                          checks sizes and imports, and starts the unpacked
#                          64-bit release under Wine from a folder with a
#                          Chinese name; --verify also builds everything a
#                          second time from nothing elsewhere and compares the zips.
# Every wait is bounded (the Wine programs run under tools/wine/run's timeout).

KL_DIST_ARCHES=(win32 win64)
KL_DIST_32BIT_LIMIT=$((400 * 1024))
# System DLLs that every supported Windows has; nothing else may be imported.
KL_DIST_SYSTEM_DLLS=" advapi32.dll comctl32.dll dbghelp.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll "
KL_DIST_SYSTEM_DLLS+="shell32.dll shlwapi.dll user32.dll version.dll windowscodecs.dll "

kl_dist_epoch() { # the last commit's time: the same source gives the same stamps
  git -C "$ROOT" log -1 --format=%ct 2>/dev/null || echo 1767225600
}

kl_dist_pack() { # kl_dist_pack <arch> <builds folder> <zip folder>: prints the zip's path
  local arch="$1" dir="$2/dist-$1" out="$3" version stage
  if [ ! -f "$dir/build.ninja" ]; then
    cmake --preset "dist-$arch" -B "$dir" >/dev/null || { echo "dev: configuring dist-$arch failed" >&2; return 1; }
  fi
  cmake --build "$dir" -j"$(nproc)" --target KestrunLauncher >/dev/null || {
    echo "dev: building dist-$arch failed" >&2
    return 1
  }
  stage="$dir/stage"
  rm -rf "$stage"
  # Linked without symbols (-s in the preset): strip would stamp the time into the header again.
  cmake --install "$dir" --prefix "$stage/KestrunLauncher" >/dev/null || return 1
  version="$(cat "$dir/version.txt")"
  mkdir -p "$out"
  /usr/bin/python3 "$ROOT/tools/dist/pack_zip.py" "$out/KestrunLauncher-$version-$arch.zip" "$stage/KestrunLauncher" \
    KestrunLauncher "$(kl_dist_epoch)" || return 1
  echo "$out/KestrunLauncher-$version-$arch.zip"
}

kl_dist_imports() { # the DLLs an exe imports, one a line
  x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {print $3}'
}

kl_dist_check() { # kl_dist_check <arch> <zip>: sizes, debug information, imports
  local arch="$1" zip="$2" exe dll rc=0 size
  exe="$BUILD_ROOT/dist-$arch/stage/KestrunLauncher/KestrunLauncher.exe"
  size=$(stat -c %s "$exe")
  printf '%s: KestrunLauncher.exe %d bytes (%d KB), %s %d bytes (%d KB)\n' "$arch" "$size" $((size / 1024)) \
    "$(basename "$zip")" "$(stat -c %s "$zip")" $(($(stat -c %s "$zip") / 1024))
  printf '%s imports: %s\n' "$arch" "$(kl_dist_imports "$exe" | tr '\n' ' ')"
  if x86_64-w64-mingw32-objdump -h "$exe" | grep -q '\.debug_'; then
    echo "dev: the $arch exe carries debug information" >&2
    rc=1
  fi
  if [ "$arch" = win32 ] && [ "$size" -gt "$KL_DIST_32BIT_LIMIT" ]; then
    echo "dev: the 32-bit exe is $size bytes, more than $KL_DIST_32BIT_LIMIT" >&2
    rc=1
  elif [ "$arch" = win32 ]; then
    printf 'win32: %d bytes (%d KB) left below the %d KB cap\n' $((KL_DIST_32BIT_LIMIT - size)) \
      $(((KL_DIST_32BIT_LIMIT - size) / 1024)) $((KL_DIST_32BIT_LIMIT / 1024))
  fi
  while read -r dll; do
    case "$KL_DIST_SYSTEM_DLLS" in
      *" ${dll,,} "*) ;;
      *) echo "dev: the $arch exe imports $dll, which is not a system DLL" >&2; rc=1 ;;
    esac
  done < <(kl_dist_imports "$exe")
  return $rc
}

kl_dist_start_unpacked() { # kl_dist_start_unpacked <64-bit zip>: in a fresh folder with a Chinese name
  local zip="$1" where="$BUILD_ROOT/dist-start/解压后启动 测试" rc=0
  ( configure win64 && cmake --build "$BUILD_ROOT/win64" -j"$(nproc)" --target test_ui_program >/dev/null ) || return 1
  rm -rf "$BUILD_ROOT/dist-start"
  mkdir -p "$where"
  /usr/bin/python3 -m zipfile -e "$zip" "$where" || return 1
  local folder="Z:${where//\//\\}\\KestrunLauncher" started=
  if [ -z "$KL_SESSION_UP" ]; then
    wine_session_up || return 1
    started=1
  fi
  echo "== start the unpacked 64-bit release from $where"
  KL_UNPACKED_FOLDER="$folder" "$ROOT/tools/wine/run" "$BUILD_ROOT/win64/bin/test_ui_program.exe" --gtest_color=no \
    --gtest_filter='UnpackedRelease.*' >"$BUILD_ROOT/dist-start.log" 2>&1 || rc=1
  [ $rc -eq 0 ] || cat "$BUILD_ROOT/dist-start.log"
  [ -z "$started" ] || wine_session_down
  return $rc
}

dist_main() {
  local verify= arch zip again rc=0
  case "${1:-}" in
    "") ;;
    --verify) verify=1 ;;
    *) echo "dev dist: unknown argument $1 (--verify)" >&2; return 2 ;;
  esac
  deps || return 1
  declare -A zips=()
  for arch in "${KL_DIST_ARCHES[@]}"; do
    echo "== dist $arch"
    zip="$(kl_dist_pack "$arch" "$BUILD_ROOT" "$ROOT/dist")" || return 1
    zips[$arch]="$zip"
    kl_dist_check "$arch" "$zip" || rc=1
  done
  if [ -n "$verify" ]; then
    again="$BUILD_ROOT/dist-again"
    rm -rf "$again"
    for arch in "${KL_DIST_ARCHES[@]}"; do
      echo "== dist $arch again, from nothing, in $again"
      zip="$(kl_dist_pack "$arch" "$again" "$again/out")" || return 1
      if cmp -s "$zip" "${zips[$arch]}"; then
        echo "$arch: the second build gives the same bytes ($(sha256sum <"$zip" | cut -c1-16))"
      else
        echo "dev: the second $arch build differs from the first" >&2
        rc=1
      fi
    done
  fi
  kl_dist_start_unpacked "${zips[win64]}" || rc=1
  [ $rc -eq 0 ] && echo "dist: ${zips[win32]} ${zips[win64]}"
  return $rc
}
