// "Start Sorting": sorts a snapshot of the input list into the result list.
#include "core/errors/guarded_procedure.h"
#include "core/platform/platform.h"
#include "core/sorting/bubble_sort.h"
#include "core/sorting/sort_keys.h"
#include "core/threads/background_release.h"
#include "gui/window/handler_locations.h"
#include "gui/window/main_window.h"

#include <new>
#include <utility>

namespace velmora {

void MainWindow::startSorting()
{
    GuardedProcedure proc(Location::startSorting);
    QStringList wordScratch;    // the pieces of the line being split
    TextColumn keys;            // what is sorted and then shown
    TextColumn lines;           // word mode: the input texts, in list order
    TextColumn taken;           // line mode: the input texts as the keys took them
    TextColumn takenOverSorted; // the same texts, their characters those of the sorted keys

    proc.step(100, [&] { wordScratch.clear(); });
    proc.step(102, [&] { keys.clear(); });
    proc.step(104, [&] { setMousePointer(velmora::MousePointer::Hourglass); });

    if (proc.test(106, [&] { return sortLinesOption->isChecked(); })) {
        // Line mode: every input item is one key. The item-by-item copy of steps 108 to 114
        // is one copy of the whole list here, shared until the sort takes the keys on its own
        // thread: the same sequence, since nothing runs between those steps to change the list.
        proc.step(112, [&] {
            keys = inputList->items().texts();
            taken = keys;
        });
    } else {
        // Word mode: the words of all items, pooled.
        proc.step(116, [&] { lines.clear(); });
        proc.step(122, [&] { lines = inputList->items().texts(); }); // steps 118 to 124, as above
        // The split does not yield, so it runs beside the window, which meanwhile only
        // repaints; the loop's steps can fail only when memory runs out, and from the line
        // where it did, the loop below goes on as written, the line before it split last.
        qsizetype splitLines = 0;
        platform().runWhileRepainting(
            [&] { splitLines = sorting::appendPiecesOfLines(lines, keys); });
        if (splitLines > 0 && splitLines < lines.size()) {
            try {
                wordScratch = sorting::splitAtSpaces(lines.at(splitLines - 1));
            } catch (const std::bad_alloc&) {
                // still short of memory: the loop's own split fails and says so
            }
        }
        proc.forLoop(
            126, 138, static_cast<std::int32_t>(splitLines), [&] { return lines.size() - 1; },
            [&](int line) {
                proc.step(128, [&] { wordScratch = sorting::splitAtSpaces(lines.at(line)); });
                proc.forLoop(
                    130, 136, 0, [&] { return wordScratch.size() - 1; },
                    [&](int piece) {
                        proc.step(134, [&] { keys.append(wordScratch.at(piece)); });
                    });
            });
    }

    proc.step(140, [&] {
        keys = sorting::bubbleSortWithProgress(keys, *progressBar,
                                               taken.isEmpty() ? nullptr : &takenOverSorted);
    });
    // The sorted keys' characters lie in one block in their order, so the save and the copy
    // read memory front to back. The input list, when it still holds what the keys were
    // taken from, takes the same texts over that block and its own is freed: one block for
    // both lists. Nothing of it can be seen.
    inputList->items().swapInSameTexts(taken, takenOverSorted);
    // The result list takes all its rows over in one go: the same rows in the same order as
    // the loop below adds one by one (nothing runs between its steps, so neither the check
    // box nor the list can change meanwhile), without a pass over ten million rows while the
    // window waits. Without counters the rows are the keys themselves; with counters they
    // are built beside the window, which meanwhile only repaints. The loop is left with no
    // keys, or with all of them when memory ran out for the block.
    const bool numbered = counterCheck->checkState() == Qt::Checked;
    proc.step(142, [&] {
        resultList->items().clear();
        if (numbered) {
            TextColumn results;
            platform().runWhileRepainting([&] {
                try {
                    results = sorting::numberedResults(keys);
                } catch (const std::bad_alloc&) {
                    results.clear(); // the loop below meets the shortage as it would anyway
                }
            });
            // No results: there were no keys, or no memory for them.
            if (!results.isEmpty() && resultList->items().addAll(results))
                releaseInBackground([shown = std::exchange(keys, {})] {});
        } else {
            resultList->items().addAll(keys);
        }
        if (!keys.isEmpty())
            resultList->items().reserve(static_cast<int>(keys.size()));
    });

    proc.forLoop(
        144, 152, 0, [&] { return keys.size() - 1; },
        [&](int i) {
            if (proc.test(146, [&] { return counterCheck->checkState() == Qt::Checked; })) {
                proc.step(148, [&] {
                    resultList->items().add(sorting::numberedResult(i + 1, keys.at(i)));
                });
            } else {
                proc.step(150, [&] { resultList->items().add(keys.at(i)); });
            }
        });

    proc.step(154, [&] { setMousePointer(velmora::MousePointer::Default); });

    // The results now hold the keys; the sequences of a big sort are freed off the window's
    // thread and go back to the system rather than staying with malloc.
    releaseInBackground([keys = std::move(keys), lines = std::move(lines), taken = std::move(taken),
                         takenOverSorted = std::move(takenOverSorted)] {});
    platform().giveBackFreedMemory();
}

} // namespace velmora
