#!/usr/bin/env bash
# Builds the panel sketch (firmware/quillbox_panel) as the Arduino IDE does for "Arduino
# Uno", with every command made from the recipes of the Uno's platform.txt and boards.txt
# (Debian's arduino-core-avr): the sketch copied into the build folder, the .ino made a
# .cpp behind Arduino.h, every .cpp of the sketch folder and its src/ compiled, the core
# archived, all linked, then the .hex, the .eep and the sizes.
#   arduino-build.sh OUT_DIR   OUT_DIR/quillbox_panel.ino.elf (and .hex), sizes printed
# Beyond what the IDE does, it fails the build when
#   - a warning is given: warnings "All" (the IDE's choice in its preferences) and -Werror
#     in compiler.cpp.extra_flags, where a platform.local.txt would put it;
#   - the link takes anything from the core: the firmware has its own main() and interrupt
#     handlers, and a core object pulled in for one symbol would bring its own main(),
#     init() or timer interrupt with it (the link map says what came from core.a);
#   - a source or a header does not compile with Arduino.h in front of it (its macros:
#     min, max, abs, bit, B0..B11111111, HIGH, LOW, F ...), as a sketch including it would.
# QB_ARDUINO_AVR names another platform folder (default Debian's).
set -euo pipefail
shopt -u patsub_replacement 2>/dev/null || true  # "&" in a replacement stays "&"
top=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 1 ] || { echo "usage: arduino-build.sh OUT_DIR" >&2; exit 2; }
out=$(mkdir -p "$1" && cd "$1" && pwd)
platform=${QB_ARDUINO_AVR:-/usr/share/arduino/hardware/arduino/avr}
board=uno
sketch_dir=$top/firmware/quillbox_panel
sketch=$(basename "$sketch_dir")
for file in "$platform/platform.txt" "$platform/boards.txt" "$sketch_dir/$sketch.ino"; do
  [ -f "$file" ] || { echo "arduino-build.sh: $file is missing (scripts/install-deps.sh installs arduino-core-avr)" >&2; exit 2; }
done

# --- The IDE's properties: platform.txt, the board's lines of boards.txt, the run's own.
declare -A prop
load() {  # FILE [PREFIX]: its key=value lines; with PREFIX only PREFIX.* keys, PREFIX. cut
  local line key
  while IFS= read -r line || [ -n "$line" ]; do
    [[ $line =~ ^[[:space:]]*(#|$) || $line != *=* ]] && continue
    key=${line%%=*}
    if [ $# -gt 1 ]; then
      [[ $key == "$2".* ]] || continue
      key=${key#"$2".}
    fi
    prop[$key]=${line#*=}
  done <"$1"
}
expand() {  # TEXT: every {key} replaced by its value, until none is left
  local text=$1 key rounds=0
  while [[ $text =~ \{([A-Za-z0-9_.-]+)\} ]]; do
    key=${BASH_REMATCH[1]}
    [[ -v prop[$key] ]] || { echo "arduino-build.sh: nothing gives {$key}" >&2; return 1; }
    text=${text//"{$key}"/"${prop[$key]}"}
    ((++rounds < 200)) || { echo "arduino-build.sh: {$key} never ends" >&2; return 1; }
  done
  printf '%s' "$text"
}
run() {  # RECIPE: expands the recipe and runs the command it makes, quotes and all
  local command
  command=$(expand "${prop[$1]}")
  [ -z "${QB_ARDUINO_VERBOSE:-}" ] || echo "$command"
  eval "$command"
}

load "$platform/platform.txt"
load "$platform/boards.txt" "$board"
prop[runtime.ide.version]=10819  # IDE 1.8.19
prop[runtime.platform.path]=$platform
prop[build.arch]=AVR
prop[build.path]=$out
prop[build.project_name]=$sketch.ino
prop[build.core.path]=$platform/cores/${prop[build.core]}
prop[build.variant.path]=$platform/variants/${prop[build.variant]}
prop[archive_file]=core.a
prop[runtime.tools.avr-gcc.path]=/usr  # what Arduino's own platform.txt names its compiler by
prop[includes]="\"-I${prop[build.core.path]}\" \"-I${prop[build.variant.path]}\""

# --- The sketch, copied as the IDE copies it; the .ino becomes a .cpp behind Arduino.h.
rm -rf "$out/sketch" "$out/core" "$out/arduino_h" "$out/core.a"
mkdir -p "$out/sketch" "$out/core" "$out/arduino_h"
[ "$(find "$sketch_dir" -maxdepth 1 -name '*.ino' | wc -l)" -eq 1 ] ||
  { echo "arduino-build.sh: one .ino expected in $sketch_dir" >&2; exit 1; }
cp -R "$sketch_dir/." "$out/sketch/"
rm "$out/sketch/$sketch.ino"
{
  echo '#include <Arduino.h>'
  echo "#line 1 \"$sketch_dir/$sketch.ino\""
  cat "$sketch_dir/$sketch.ino"
} >"$out/sketch/$sketch.ino.cpp"

compile() {  # SOURCE OBJECT: by the recipe for the source's kind
  prop[source_file]=$1
  prop[object_file]=$2
  case $1 in
    *.cpp) run recipe.cpp.o.pattern ;;
    *.c) run recipe.c.o.pattern ;;
    *.S) run recipe.S.o.pattern ;;
  esac
}

# The sketch: its folder's own sources, and src/ with every folder under it.
mapfile -t sources < <(cd "$out/sketch" && {
  find . -maxdepth 1 -type f \( -name '*.cpp' -o -name '*.c' -o -name '*.S' \)
  [ ! -d src ] || find src -type f \( -name '*.cpp' -o -name '*.c' -o -name '*.S' \)
} | sed 's|^\./||' | sort)
prop[compiler.warning_flags]=${prop[compiler.warning_flags.all]}  # for the whole build
prop[compiler.cpp.extra_flags]=-Werror
prop[compiler.c.extra_flags]=-Werror
objects=()
for source in "${sources[@]}"; do
  mkdir -p "$(dirname "$out/sketch/$source")"
  compile "$out/sketch/$source" "$out/sketch/$source.o"
  objects+=("\"$out/sketch/$source.o\"")
done
echo "arduino-build.sh: compiled ${#sources[@]} sketch files"

# Every source and header of src/ again, with Arduino.h in front (objects thrown away);
# a header through a .cpp of one line, as a sketch would include it.
prop[compiler.cpp.extra_flags]="-Werror -include Arduino.h"
mapfile -t checked < <(cd "$out/sketch" && find src -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
for source in "${checked[@]}"; do
  case $source in
    *.h)
      check=$out/arduino_h/$(tr / _ <<<"$source").cpp
      echo "#include \"$out/sketch/$source\"" >"$check" ;;
    *) check=$out/sketch/$source ;;
  esac
  prop[source_file]=$check
  prop[object_file]=$out/arduino_h/$(tr / _ <<<"$source").o
  run recipe.cpp.o.pattern
done
echo "arduino-build.sh: ${#checked[@]} sources and headers compile behind Arduino.h"

# --- The core, without -Werror: its warnings are its own (in core/*.err). Debian's
# gcc-avr (5.4) does not compile every core file (WString.cpp wants C99's DECIMAL_DIG
# from <float.h>): those are left out and named. None can matter, since the link below
# must take nothing from the core.
prop[compiler.cpp.extra_flags]=
prop[compiler.c.extra_flags]=
prop[compiler.S.extra_flags]=
left_out=()
while IFS= read -r source; do
  name=$(basename "$source")
  if compile "$source" "$out/core/$name.o" 2>"$out/core/$name.err"; then
    prop[object_file]=$out/core/$name.o
    run recipe.ar.pattern
  else
    left_out+=("$name")
  fi
done < <(find "${prop[build.core.path]}" "${prop[build.variant.path]}" -maxdepth 1 -type f \
  \( -name '*.cpp' -o -name '*.c' -o -name '*.S' \) | sort)
[ -f "$out/core.a" ] || { echo "arduino-build.sh: no core file compiled" >&2; exit 1; }
[ ${#left_out[@]} -eq 0 ] || echo "arduino-build.sh: core files Debian's gcc-avr does not compile, left out: ${left_out[*]}"

# --- The link, the map kept to see what came from where.
prop[object_files]="${objects[*]}"
prop[compiler.c.elf.extra_flags]="-Werror -Wl,-Map=\"$out/$sketch.ino.map\""
run recipe.c.combine.pattern
if grep -F "$out/core.a(" "$out/$sketch.ino.map" >"$out/from_core.txt"; then
  echo "arduino-build.sh: the link took objects of the Arduino core, whose main(), init() or" \
    "interrupts would stand beside the firmware's:" >&2
  sed 's/^/  /' "$out/from_core.txt" >&2
  exit 1
fi
echo "arduino-build.sh: nothing linked from the core (core.a); main() and every interrupt are the firmware's"

run recipe.objcopy.eep.pattern
run recipe.objcopy.hex.pattern

# --- The sizes as the IDE reports them, by its own patterns.
sizes=$(run recipe.size.pattern)
echo "$sizes"
sum() {  # PATTERN: the sum of the first group of the lines of avr-size -A it matches
  QB_RE=$1 perl -ne '$s += $1 if /$ENV{QB_RE}/; END { print $s + 0 }' <<<"$sizes"
}
flash=$(sum "${prop[recipe.size.regex]}")
ram=$(sum "${prop[recipe.size.regex.data]}")
echo "Sketch uses $flash bytes of program storage space. Maximum is ${prop[upload.maximum_size]} bytes."
echo "Global variables use $ram bytes of dynamic memory. Maximum is ${prop[upload.maximum_data_size]} bytes."
echo "arduino-build.sh: $out/$sketch.ino.elf and $sketch.ino.hex"
