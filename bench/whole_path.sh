#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The whole path on photographs (bench/photos.sh): quenlo-inpaint and the
# editor on 24 megapixels beside libvips doing the same file work, peak
# memory, and each step's time at 6, 12 and 24 megapixels. Part of
# bench/compare (which builds the release tree and installs libvips-tools);
# prints markdown. RUNS sets how many runs each best-of takes (default 5).
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${RUNS:-5}
bin=build/release/bin
tool=$bin/quenlo-inpaint
photos=$(bench/photos.sh)
work=build/bench-whole-path
mkdir -p "$work"
rm -f "$work"/*.csv

best() { sort -g | head -n 1; }
wall() { local start end; start=$(date +%s.%N); "$@" >/dev/null 2>&1; end=$(date +%s.%N); echo "$end - $start" | bc -l; }
best_wall() { for _ in $(seq "$runs"); do wall "$@"; done | best; }
peak_mib() { /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -n 1 | awk '{printf "%.0f", $1 / 1024}'; }
size_mb() { stat -c %s "$1" | awk '{printf "%.1f", $1 / 1e6}'; }
ms() { echo "$1 * 1000" | bc -l | xargs printf '%.0f'; }
# Fastest of the repetitions of one benchmark, in milliseconds; each program
# runs once, all its benchmarks but Memory, and its rows are kept.
bench_ms() { # program name
  local rows=$work/$1.csv
  [[ -s $rows ]] || "$bin/$1" --benchmark_filter=-Memory --benchmark_repetitions="$runs" \
    --benchmark_format=csv 2>/dev/null >"$rows"
  awk -F, -v name="\"$2\"" '$1 == name && (!best || $3 < best) {best = $3} END {printf "%.1f", best}' "$rows"
}
bench_counter() { # program filter counter
  "$bin/$1" --benchmark_filter="^$2\$" --benchmark_format=json 2>/dev/null |
    awk -F': ' -v key="\"$3\"" '$1 ~ key {gsub(/[ ,]/, "", $2); printf "%.0f", $2}'
}

photo=$photos/photo24.jpg
mask=$photos/mask24.png
picture_mib=$((6000 * 4000 * 3 / 1048576))

tif=$(best_wall "$tool" "$photo" "$work/out.tif" --mask "$mask")
png=$(best_wall "$tool" "$photo" "$work/out.png" --mask "$mask")
vips_tif=$(best_wall vips tiffsave "$photo" "$work/vips.tif")
vips_tif_lzw=$(best_wall vips tiffsave "$photo" "$work/vips-lzw.tif" --compression lzw --predictor horizontal)
vips_png=$(best_wall vips pngsave "$photo" "$work/vips.png")
vips_decode=$(best_wall vips copy "$photo" "$work/vips.v")
vips_mask=$(best_wall vips copy "$mask" "$work/mask.v")
peak=$(peak_mib "$tool" "$photo" "$work/out.tif" --mask "$mask")

ratio() { echo "$1 / $2" | bc -l | xargs printf '%.2f'; }
echo
echo "## The whole path on a 24-megapixel photograph"
echo
echo "6000 x 4000 JPEG ($(size_mb "$photo") MB) made from the coffee sample, mask PNG with a disc 160 pixels"
echo "across (\`bench/photos.sh\`); whole commands, best of $runs; libvips $(vips --version | sed 's/vips-//')."
echo
echo "| quenlo-inpaint, whole command | time | libvips doing the same file work | time | ratio | target |"
echo "|---|---|---|---|---|---|"
printf '| to TIFF (LZW, predictor), %s MB | %s ms | `tiffsave` (no compression) + mask decode | %s ms | %s | 1.5 |\n' \
  "$(size_mb "$work/out.tif")" "$(ms "$tif")" "$(ms "$(echo "$vips_tif + $vips_mask" | bc -l)")" \
  "$(ratio "$tif" "$(echo "$vips_tif + $vips_mask" | bc -l)")"
printf '| to TIFF, as above | %s ms | `tiffsave --compression lzw --predictor horizontal` + mask decode | %s ms | %s | |\n' \
  "$(ms "$tif")" "$(ms "$(echo "$vips_tif_lzw + $vips_mask" | bc -l)")" \
  "$(ratio "$tif" "$(echo "$vips_tif_lzw + $vips_mask" | bc -l)")"
printf '| to PNG, %s MB | %s ms | `pngsave`, %s MB | %s ms | %s | 2 |\n' "$(size_mb "$work/out.png")" "$(ms "$png")" \
  "$(size_mb "$work/vips.png")" "$(ms "$vips_png")" "$(ratio "$png" "$vips_png")"
printf '| peak memory (TIFF run) | %s MiB | limit 3 x %s MiB + 64 MiB | %s MiB | %s | 1 |\n' "$peak" "$picture_mib" \
  "$((3 * picture_mib + 64))" "$(ratio "$peak" "$((3 * picture_mib + 64))")"
echo
echo "libvips decoding the JPEG alone (\`copy\` to its own format): $(ms "$vips_decode") ms; the mask PNG: $(ms "$vips_mask") ms."

open=$(bench_ms editor_path_bench Open/24/real_time)
paint=$(bench_ms editor_path_bench Paint/24/real_time)
engine=$(bench_ms editor_path_bench PaintEngine/24/real_time)
save=$(bench_ms editor_path_bench Save/24/real_time)
undo=$(bench_ms editor_path_bench Undo/24/real_time)
first_paint=$(bench_ms editor_path_bench FirstPaint/24/real_time)
memory=$(bench_counter editor_path_bench Memory/24/iterations:1/real_time open_mib)
painted=$(bench_counter editor_path_bench Memory/24/iterations:1/real_time painted_mib)
history_bytes=$(bench_counter editor_path_bench HistoryMemory/24/iterations:1 history_bytes)
history_steps=$(bench_counter editor_path_bench HistoryMemory/24/iterations:1 steps)
vips_decode_ms=$(ms "$vips_decode")
vips_tif_ms=$(ms "$vips_tif")
vips_tif_lzw_ms=$(ms "$vips_tif_lzw")
echo
echo "| editor, offscreen (\`editor_path_bench\`, fastest of $runs) | time | limit | ratio |"
echo "|---|---|---|---|"
printf '| Open: decode, layers, first display | %s ms | 1.5 x libvips decode = %s ms | %s |\n' "$open" \
  "$((vips_decode_ms * 3 / 2))" "$(ratio "$open" "$vips_decode_ms")"
printf '| Paint, round hole 60 across | %s ms | engine %s ms + 150 ms | %s over the engine |\n' "$paint" "$engine" \
  "$(echo "$paint - $engine" | bc -l | xargs printf '%.0f ms')"
printf '| the first Paint after Open | %s ms | engine %s ms + 150 ms | %s over the engine |\n' "$first_paint" "$engine" \
  "$(echo "$first_paint - $engine" | bc -l | xargs printf '%.0f ms')"
printf '| Undo | %s ms | | |\n' "$undo"
printf '| Save to TIFF | %s ms | 1.5 x `tiffsave` = %s ms | %s |\n' "$save" "$((vips_tif_ms * 3 / 2))" \
  "$(ratio "$save" "$vips_tif_ms")"
printf '| Save to TIFF, as above | %s ms | 1.5 x `tiffsave --compression lzw --predictor horizontal` = %s ms | %s |\n' \
  "$save" "$((vips_tif_lzw_ms * 3 / 2))" "$(ratio "$save" "$vips_tif_lzw_ms")"
printf '| memory with the picture open | %s MiB | 4 x %s MiB + 128 MiB = %s MiB | |\n' "$memory" "$picture_mib" \
  "$((4 * picture_mib + 128))"
printf '| memory after one Paint | %s MiB | | |\n' "$painted"
printf '| Undo history after ten Paints, square holes 160 across | %s steps, %s MiB | 50 steps or 512 MiB | |\n' \
  "$history_steps" "$(echo "$history_bytes / 1048576" | bc -l | xargs printf '%.2f')"

echo
echo "Each step's time in milliseconds (\`file_path_bench\`, \`editor_path_bench\`, fastest of $runs):"
echo
echo "| step | 6 MP | 12 MP | 24 MP |"
echo "|---|---|---|---|"
declare -A open_ms decode_ms display_ms
for megapixels in 6 12 24; do
  open_ms[$megapixels]=$(bench_ms editor_path_bench "Open/$megapixels/real_time")
  decode_ms[$megapixels]=$(bench_ms file_path_bench "Decode/$megapixels/real_time")
  display_ms[$megapixels]=$(bench_ms editor_path_bench "FirstDisplay/$megapixels/real_time")
done
step() { # label program benchmark
  printf '| %s |' "$1"
  for megapixels in 6 12 24; do printf ' %s |' "$(bench_ms "$2" "$3/$megapixels/real_time")"; done
  echo
}
step "decode JPEG (tool and editor)" file_path_bench Decode
step "decode mask PNG (tool)" file_path_bench DecodeMask
step "mask codes from the mask picture (tool)" file_path_bench MaskCodes
step "engine, 160-pixel disc (tool)" file_path_bench Engine
step "promotion of the filled codes" file_path_bench Promotion
step "count of unfilled pixels (tool)" file_path_bench CountUnfilled
step "encode TIFF" file_path_bench Encode/tif
step "encode PNG" file_path_bench Encode/png
step "encode BMP" file_path_bench Encode/bmp
step "editor Open (decode + layers + first display)" editor_path_bench Open
printf '| layer build and the rest of Open (Open - decode - first display) |'
for megapixels in 6 12 24; do
  printf ' %.1f |' "$(echo "${open_ms[$megapixels]} - ${decode_ms[$megapixels]} - ${display_ms[$megapixels]}" | bc -l)"
done
echo
step "first display (fit zoom)" editor_path_bench FirstDisplay
step "OverlayToMask" editor_path_bench OverlayToMask
step "engine, 60-pixel disc (Paint)" editor_path_bench PaintEngine
step "history step (undo state)" editor_path_bench HistoryStep
step "whole Paint with display update" editor_path_bench Paint
step "first Paint after Open (the result parts from the picture as opened)" editor_path_bench FirstPaint
step "Undo with display update" editor_path_bench Undo
step "Save to TIFF" editor_path_bench Save

echo
echo "What dominates: encoding inside FreeImage, one thread (libtiff LZW for TIFF, zlib for PNG), in the whole command and in Save; decoding at Open; Paint is now the engine plus a few milliseconds, and the first Paint after Open adds one copy of the result layer."
