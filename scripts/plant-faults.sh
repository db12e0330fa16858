#!/usr/bin/env bash
# Plants small, plausible faults in the core one at a time and reports the ones that no
# test caught. Run it before resolving a change to src/image, src/channels or
# src/editing; it is a developer's tool, not part of the test command.
#
#   scripts/plant-faults.sh              every fault in the list below
#   scripts/plant-faults.sh NAME...      only the named faults
#   scripts/plant-faults.sh --list       the list
#
# It clones the repository (its committed state plus the working tree's uncommitted
# changes) into a scratch folder, builds the core test programs there once, then for
# each fault: applies its one-line sed expression to its file, checks that exactly the
# intended change happened, rebuilds the core tests (ccache, only those targets), runs
# them, and restores the file. The exit status is 1 when some fault survived or did
# not apply, so the list is kept honest as the code changes.
#
# Environment: PLANT_SCRATCH (scratch folder, default a new one under /tmp, removed at
# the end unless PLANT_KEEP=1), PLANT_JOBS (build jobs, default 2).
set -euo pipefail

# name | file (from the repository root) | sed expression that changes one line
#      [| window: the window test programs run too]
faults=(
  "cell-32-bit-limit|src/channels/records.cpp|/if (v > INT32_MAX) return false;/d"
  "list-name-clear-late|src/channels/records.cpp|s/for (std::size_t i = 2; i < end; ++i) bytes\[i\] = 0;/for (std::size_t i = 3; i < end; ++i) bytes[i] = 0;/"
  "favourite-last-channel|src/channels/page_build.cpp|s/} else if (n > channels) {/} else if (n >= channels) {/"
  "paste-above-255-kept|src/editing/clipboard.cpp|s/if (t == kNotANumber || t > kNoTransponder)/if (t == kNotANumber)/"
  "dialog-last-transponder|src/editing/channel_dialog_logic.cpp|s/transponder <= page.transponderCount()) {/transponder < page.transponderCount()) {/"
  "rename-last-channel-in-lists|src/editing/channel_rows.cpp|s/if (v < 1 || v > count || !updated/if (v < 1 || v >= count || !updated/"
  "find-backwards-start|src/editing/find.cpp|s/from = forward ? n : 1;/from = forward ? n : n;/"
  "copy-free-row-carried|src/editing/clipboard.cpp|s/if (page.transponderGrid.cell(static_cast<int>(t), tp::Frequency) != \"0\")/if (!page.transponderGrid.cell(static_cast<int>(t), tp::Frequency).empty())/"
  "record-at-sector-end|src/image/flash_extract.cpp|s/if (rec + kRecordBytes > sectorEnd/if (rec + kRecordBytes >= sectorEnd/"
  "sector-exactly-full|src/image/kvx_writer.cpp|s/if (sector.size() + module.size() > static_cast<std::size_t>(kSectorSize))/if (sector.size() + module.size() >= static_cast<std::size_t>(kSectorSize))/"
  # Further faults of the same kinds, at other boundaries.
  "match-window-narrow|src/editing/transponders.cpp|s/static_cast<std::uint64_t>(b) + 2;/static_cast<std::uint64_t>(b) + 1;/"
  "paste-no-reuse|src/editing/clipboard.cpp|s/        if (found) {/        if (false \&\& found) {/"
  "same-image-needs-free-rows|src/editing/clipboard.cpp|s/if (!sameImage \&\& freeRows.size() < placement.newRows) {/if (freeRows.size() < (sameImage ? clipboard.transponders.size() : placement.newRows)) {/"
  "row-255-reachable|src/editing/transponders.cpp|s/kNoTransponder - 1));/kNoTransponder));/"
  "insert-shift-one-short|src/editing/clipboard.cpp|s/ShiftChannelsDown(page, r, count - c, c);/ShiftChannelsDown(page, r, count - c - 1, c);/"
  "no-av-colour-dropped|src/channels/records.cpp|s/if (vpid == 65535 \&\& apid == 65535) colour = kColourNoAudioVideo;/if (vpid == 65535 \&\& apid == 65534) colour = kColourNoAudioVideo;/"
  # The batched list updates, the undo memory count and what undo selects.
  "batch-free-slot-stale|src/editing/channel_rows.cpp|s/                at.freeFrom = 1;  \/\/ the list closed up: free slots moved/                ;/"
  "leave-every-entry|src/editing/channel_rows.cpp|s/return numbers.erase(slot.cells\[fav::Channel\]) != 0;/return numbers.count(slot.cells[fav::Channel]) != 0;/"
  "shared-row-counted|src/channels/list_page.cpp|s/if (row.use_count() == 1) bytes += RowBytes/if (row.use_count() <= 2) bytes += RowBytes/"
  "undo-selects-one-more|src/editing/undo_history.cpp|s/return {first, first + d - 1};/return {first, first + d};/"
  "symbol-rate-last-code|src/channels/records.cpp|s/code <= 15 ? std::to_string/code < 15 ? std::to_string/"
  # Limits met exactly: the table's sixteenth slot, the tenth channel module, the match
  # window's both edges, and sorts that must stay stable on long lists.
  "sixteenth-module-refused|src/image/kvx_writer.cpp|s/if (!raw \&\& inSector.size() > kTableSlots) {/if (!raw \&\& inSector.size() >= kTableSlots) {/"
  "sixteenth-slot-unread|src/image/flash_extract.cpp|s/for (std::size_t t = 0; t < kTableSlots; ++t) {/for (std::size_t t = 0; t + 1 < kTableSlots; ++t) {/"
  "split-last-digit|src/channels/page_modules.cpp|s/name\[3\] >= '0' \&\& name\[3\] <= '9'/name[3] >= '0' \&\& name[3] < '9'/"
  "match-window-open-below|src/editing/reorder.cpp|s/d >= -kMatchToleranceHertz;/d > -kMatchToleranceHertz;/"
  "match-window-open-above|src/editing/reorder.cpp|s/return d <= kMatchToleranceHertz/return d < kMatchToleranceHertz/"
  "sort-name-unstable|src/editing/reorder.cpp|/keys\[at(r)\] = CollationKey/,/});/s/std::stable_sort(/std::sort(/"
  "sort-sid-unstable|src/editing/reorder.cpp|s/std::stable_sort(order.begin(), order.end(), \[\&\](int a, int b) { return sids/std::sort(order.begin(), order.end(), [\&](int a, int b) { return sids/"
  "sort-frequency-unstable|src/editing/reorder.cpp|s/std::stable_sort(order.begin(), order.end(), \[\&\](int a, int b) { return keys/std::sort(order.begin(), order.end(), [\&](int a, int b) { return keys/"
  # Find by collation key, the page after an accepted lossy save.
  "find-name-not-keyed|src/editing/find.cpp|s/if (CollationKey(page.channelGrid.cell(row, ch::Name)).find(key)/if (page.channelGrid.cell(row, ch::Name).find(key)/"
  "saved-rows-not-taken|src/channels/page_save.cpp|/if (readBack \&\& !options.toMemory) TakeRowsThatDiffer(page, \*readBack);/d"
  # Duplicates, comparison, filter, rename, selections and the order file: the edges
  # their tests pin.
  "duplicates-window-narrow|src/editing/duplicates.cpp|s/members\[m - 1\].first <= kMatchToleranceHertz)/members[m - 1].first < kMatchToleranceHertz)/"
  "duplicates-keep-first-favourite|src/editing/duplicates.cpp|s/if (candidates.size() == 1) {/if (candidates.size() >= 1) {/"
  "compare-run-tails-kept|src/editing/compare.cpp|s/^            \*pos = static_cast<int>(i);/            ;/"
  "compare-case-only-untrimmed|src/editing/compare.cpp|s/d.caseOnlyRename = TrimmedLower(oldName) == TrimmedLower(newName);/d.caseOnlyRename = oldName == newName;/"
  "filter-name-not-keyed|src/editing/channel_filter.cpp|s/return CollationKey(grid.cell(row, ch::Name)).find(key) != std::string::npos;/return grid.cell(row, ch::Name).find(key) != std::string::npos;/"
  "rename-name-limit-open|src/editing/rename.cpp|s/if (replaced.size() > static_cast<size_t>(kMaxNameLength))/if (replaced.size() >= static_cast<size_t>(kMaxNameLength))/"
  "list-room-one-more|src/editing/row_selection.cpp|s/change.added = std::min(room, static_cast<int>(wanted.size()));/change.added = std::min(room + 1, static_cast<int>(wanted.size()));/"
  "order-file-line-limit-shut|src/channels/csv_import.cpp|s/if (length > kReferenceLineLimit) {/if (length >= kReferenceLineLimit) {/"
  "order-file-lines-limit-shut|src/channels/csv_import.cpp|s/if (static_cast<std::size_t>(line_) > kReferenceLinesLimit) {/if (static_cast<std::size_t>(line_) >= kReferenceLinesLimit) {/"
  # Users' patterns, repeated filter conditions, the bounded order file, an inactive
  # channel's favourites and a file that matches nothing.
  "order-file-fields-limit-shut|src/channels/csv_import.cpp|s/if (++record.fieldCount > kReferenceFieldsLimit) {/if (++record.fieldCount >= kReferenceFieldsLimit) {/"
  "pattern-length-limit-shut|src/editing/name_pattern.cpp|s/if (length > kMaxPatternLength) {/if (length >= kMaxPatternLength) {/"
  "pattern-case-not-folded|src/editing/name_pattern.cpp|s/options.set_case_sensitive(!ignoreCase);/options.set_case_sensitive(true);/"
  "filter-repeated-field-dropped|src/editing/channel_filter.cpp|s/if (!placed) filter.alsoRequired.push_back(std::move(condition));/(void)placed;/"
  "inactive-channel-stays-listed|src/editing/channel_rows.cpp|s/(!joins \&\& inactive == InactiveInLists::Leave);/(!joins \&\& inactive == InactiveInLists::Join);/"
  "inactive-wish-is-a-difference|src/channels/page_save.cpp|s/if (inactive \&\& wished >= 0/if (false \&\& inactive \&\& wished >= 0/"
  "delete-with-nothing-matched|src/editing/file_order.cpp|s/return match.matched() > 0; }/return match.matched() >= 0; }/"
  "export-guard-misses-minus|src/channels/csv_import.cpp|s/return c == '=' || c == '+' || c == '-' || c == '@'/return c == '=' || c == '+' || c == '@'/"
  # The edges of comparison, duplicates, filter, order file and undo that the features
  # of that round left unpinned: the last slot, the last list, the values 0 and 255,
  # a step larger than the whole history.
  "compare-last-slot-unread|src/editing/compare.cpp|/^std::vector<std::uint8_t> ListsNaming/,/^}/s/for (int s = 1; s < list.rowCount(); ++s) {/for (int s = 1; s + 1 < list.rowCount(); ++s) {/"
  "take-removed-over-named-row|src/editing/compare.cpp|s/const bool empty = page.channelGrid.cell(r, ch::Name).empty() \&\& TransponderInUse(page, r) == 0;/const bool empty = TransponderInUse(page, r) == 0;/"
  "copy-lists-numbered-from-zero|src/editing/duplicates.cpp|s/view.lists += std::to_string(k + 1);/view.lists += std::to_string(k);/"
  "copy-active-reads-locked|src/editing/duplicates.cpp|s/view.active = (status \& 4) != 0;/view.active = (status \& 1) != 0;/"
  "filter-last-list-refused|src/editing/channel_filter.cpp|s/\*number > fav::Lists) return bad();/*number >= fav::Lists) return bad();/"
  "order-favourites-zero-ignored|src/editing/file_order.cpp|s/if (options.takeFavourites \&\& wanted.favourites >= 0) {/if (options.takeFavourites \&\& wanted.favourites > 0) {/"
  "order-favourites-255-refused|src/channels/csv_import.cpp|s/if (bits > 255)/if (bits >= 255)/"
  "undo-cap-drops-newest|src/editing/undo_history.cpp|s/while (bytes_ > memoryLimit_ \&\& steps_.size() > 1) dropOldest();/while (bytes_ > memoryLimit_ \&\& !steps_.empty()) dropOldest();/"
  # Window faults: a planted change in the dialogs or the shell builds and runs the
  # window test programs as well.
  "channel-dialog-box-order|src/dialogs/channel_dialog.cpp|s/sidEdit_, vPidEdit_, aPidEdit_,/sidEdit_, aPidEdit_, vPidEdit_,/|window"
  "channel-dialog-locked-shows-favourite|src/dialogs/channel_dialog.cpp|s/lockedCheck_->setState(values.locked);/lockedCheck_->setState(values.favourite);/|window"
  "channel-dialog-list-boxes-shifted|src/dialogs/channel_dialog.cpp|s/lists_\\[static_cast<size_t>(n - 1)\\] = box;/lists_[static_cast<size_t>(n % 8)] = box;/|window"
  "channel-dialog-encoding-off-by-one|src/dialogs/channel_dialog.cpp|s/encodingCombo_->count() ? values.encoding$/encodingCombo_->count() ? values.encoding + 1/|window"
  "row-number-annulla-accepts|src/dialogs/row_number_dialog.cpp|s/^void RowNumberDialog::cancel() { reject(); }/void RowNumberDialog::cancel() { accept(); }/|window"
  "number-dialog-result-ignored|src/shell/editing_commands.cpp|s/    if (!runRowNumberDialog(dialog)) return 0;/    runRowNumberDialog(dialog);/|window"
  "sort-frequency-descending|src/editing/reorder.cpp|s/if (hertz != o.hertz) return hertz < o.hertz;/if (hertz != o.hertz) return hertz > o.hertz;/|window"
  "sort-key-items-swapped|src/dialogs/reorder_dialogs.cpp|/keyCombo->addItems/s/QTr(\"SID\"), QTr(\"Frequenza\")/QTr(\"Frequenza\"), QTr(\"SID\")/|window"
  "sort-without-transponder-first|src/editing/reorder.cpp|s/if (none != o.none) return o.none;/if (none != o.none) return none;/|window"
  "sort-dialog-result-ignored|src/shell/reorder_commands.cpp|s/    if (!runSortDialog(dialog)) return;/    runSortDialog(dialog);/|window"
  "reference-dialog-result-ignored|src/shell/reorder_commands.cpp|s/    if (!runReferenceDialog(dialog)) return;/    runReferenceDialog(dialog);/|window"
  "reference-preview-result-ignored|src/shell/reorder_commands.cpp|s/    if (!runReferencePreviewDialog(preview)) return;/    runReferencePreviewDialog(preview);/|window"
  "transponder-count-skips-first-channel|src/editing/transponders.cpp|/^int ChannelsOfTransponder/,/^}/s/for (int i = 1; i <= channels; ++i)/for (int i = 2; i <= channels; ++i)/|window"
  "export-rows-with-header|src/channels/csv_export.cpp|s/case CsvTable::Channels: return page.channelGrid.rowCount() - 1;/case CsvTable::Channels: return page.channelGrid.rowCount();/|window"
  "open-dialog-result-ignored|src/shell/main_window.cpp|s/    if (!runOpenDialog(dialog)) return;/    runOpenDialog(dialog);/|window"
  "filter-bar-last-list-missing|src/shell/channel_filter_bar.cpp|s/for (int k = 1; k <= rivo::fav::Lists; ++k) {/for (int k = 1; k < rivo::fav::Lists; ++k) {/|window"
  "order-preview-sid-frequency-swapped|src/dialogs/file_order_dialog.cpp|/preview.unmatchedCurrent)/,+2s/QString::fromStdString(row.sid), QString::fromStdString(row.frequency)/QString::fromStdString(row.frequency), QString::fromStdString(row.sid)/|window"
  "duplicates-active-column-shows-locked|src/dialogs/duplicates_dialog.cpp|s/child->setText(ActiveColumn, Mark(copy.active));/child->setText(ActiveColumn, Mark(copy.locked));/|window"
  "take-names-step-misnamed|src/shell/compare_commands.cpp|s/: c == rivo::ChangeClass::Renamed ? rivo::kTakeNamesStep/: c == rivo::ChangeClass::Renamed ? rivo::kTakeFavouritesStep/|window"
)

if [[ "${1:-}" == "--list" ]]; then
  for f in "${faults[@]}"; do echo "${f%%|*}"; done
  exit 0
fi

root=$(git -C "$(dirname "$0")/.." rev-parse --show-toplevel)
scratch=${PLANT_SCRATCH:-$(mktemp -d /tmp/rivo-plant.XXXXXX)}
jobs=${PLANT_JOBS:-2}
if [[ "${PLANT_KEEP:-0}" != 1 && -z "${PLANT_SCRATCH:-}" ]]; then
  trap 'rm -rf "$scratch"' EXIT
fi

selected=()
for f in "${faults[@]}"; do
  name=${f%%|*}
  if [[ $# -eq 0 ]]; then selected+=("$f"); continue; fi
  for wanted in "$@"; do [[ "$wanted" == "$name" ]] && selected+=("$f"); done
done
if [[ ${#selected[@]} -eq 0 ]]; then
  echo "no such fault: $*" >&2
  exit 2
fi

src="$scratch/src"
build="$scratch/build"
if [[ ! -d "$src/.git" ]]; then
  git clone -q --shared "$root" "$src"
  git -C "$root" diff HEAD --binary > "$scratch/working.diff"
  [[ -s "$scratch/working.diff" ]] && git -C "$src" apply "$scratch/working.diff"
fi

# ccache makes the rebuild after each fault quick; without it the script still works.
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR="$scratch" CCACHE_NOHASHDIR=1
fi
targets=(test_image test_channels test_editing)
gui=OFF
for f in "${selected[@]}"; do [[ "$f" == *"|window" ]] && gui=ON; done
[[ $gui == ON ]] && targets+=(test_dialogs test_shell)
echo "== building the tests in $build =="
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRIVO_BUILD_GUI=$gui -DRIVO_BUILD_TOOL=OFF \
  -DRIVO_BUILD_BENCH=OFF -DRIVO_BUILD_FUZZ=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]}" >/dev/null

# Runs the core tests; the folder of the planted file first, stopping at the first
# program that fails.
run_tests() {
  local first=$1 t
  for t in "test_$first" "${targets[@]}"; do
    [[ -x "$build/tests/$t" ]] || continue
    local args=(--gtest_brief=1)
    [[ $t == test_dialogs || $t == test_shell ]] && args=(-silent)
    if ! QT_QPA_PLATFORM=offscreen "$build/tests/$t" "${args[@]}" >"$scratch/last-test.log" 2>&1; then
      grep -m 3 -e '^\[  FAILED  \]' -e '^FAIL!' "$scratch/last-test.log" | sed 's/^/      /' || true
      return 1
    fi
  done
  return 0
}

echo "== checking that the unchanged code passes =="
if ! run_tests image; then
  echo "the core tests fail without any planted fault; fix them first" >&2
  exit 2
fi

caught=() survived=() broken=()
for f in "${selected[@]}"; do
  # The expression itself may hold "|" (as in "||"): only the first two fields and a
  # trailing "|window" are split off.
  name=${f%%|*}
  rest=${f#*|}
  file=${rest%%|*}
  expression=${rest#*|}
  expression=${expression%|window}
  path="$src/$file"
  cp "$path" "$scratch/original"
  sed -i -e "$expression" "$path"
  changed=$(diff "$scratch/original" "$path" | grep -c '^[<>]' || true)
  folder=$(cut -d/ -f2 <<<"$file")
  if [[ "$changed" -lt 1 || "$changed" -gt 2 ]]; then
    echo "-- $name: the expression changed $changed lines of $file, not one"
    broken+=("$name")
  elif ! cmake --build "$build" -j "$jobs" --target "${targets[@]}" >"$scratch/last-build.log" 2>&1; then
    echo "-- $name: does not build"
    broken+=("$name")
  elif run_tests "$folder"; then
    echo "-- $name: SURVIVED (no test failed)"
    survived+=("$name")
  else
    echo "-- $name: caught"
    caught+=("$name")
  fi
  cp "$scratch/original" "$path"
done
# Leave the scratch build matching the unchanged sources for a later run.
cmake --build "$build" -j "$jobs" --target "${targets[@]}" >/dev/null

echo
echo "caught:   ${#caught[@]} of ${#selected[@]}"
[[ ${#survived[@]} -gt 0 ]] && echo "survived: ${survived[*]}"
[[ ${#broken[@]} -gt 0 ]] && echo "did not apply or build: ${broken[*]}"
[[ ${#survived[@]} -eq 0 && ${#broken[@]} -eq 0 ]]
