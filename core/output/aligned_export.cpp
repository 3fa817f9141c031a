#include "core/output/aligned_export.h"

#include "core/errors/error_report.h"
#include "core/errors/guarded_procedure.h"
#include "core/errors/runtime_failure.h"
#include "core/model/list_items.h"
#include "core/model/progress_indicator.h"
#include "core/output/column_layout.h"
#include "core/platform/platform.h"
#include "core/platform/windows_paths.h"

#include <cstdint>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace velmora::output {

namespace {

// The file being written. Without a file (it could not be created) every write and the
// closing fail, each with its own error box. Once a line has been lost the file is
// incomplete: closing it then fails too and discards it, so the old file stays in place
// of a truncated one, whatever the writer would have done.
class ExportFile
{
public:
    void create(const QString& fileName) { m_writer = platform().createTextFile(fileName); }

    void writeLine(QStringView line)
    {
        if (!m_writer)
            throw Failure::objectRequired();
        try {
            m_writer->writeLine(line);
        } catch (const RuntimeFailure& failure) {
            if (!m_lostLine)
                m_lostLine = failure;
            throw;
        }
    }

    void close()
    {
        if (!m_writer)
            throw Failure::objectRequired();
        if (m_lostLine) {
            m_writer.reset(); // never committed: the temporary file goes
            throw *m_lostLine;
        }
        m_writer->close();
    }

    void release() { m_writer.reset(); }

private:
    std::unique_ptr<TextFileWriter> m_writer;
    std::optional<RuntimeFailure> m_lostLine;
};

// The bar runs N \ 2000 rows ahead of the row being written, so on long lists it passes
// 100 on the last rows. N is the row count now, which is 0 once the list has been cleared.
double rowProgress(std::int32_t row, std::int32_t rowCount)
{
    if (rowCount == 0)
        throw Failure::divisionByZero();
    const std::int64_t ahead = rowCount / 2000 + static_cast<std::int64_t>(row);
    return static_cast<double>(ahead) / static_cast<double>(rowCount) * 100.0;
}

} // namespace

void saveAlignedText(ListItemCollection& rows, ColumnHeaderCollection& columns,
                     const QString& fileName, ProgressIndicator* progressBar)
{
    GuardedProcedure proc(kSaveAlignedTextLocation);
    ColumnWidths widths;
    std::int32_t widest = 0;
    QString line;
    ExportFile file;

    const auto hasBar = [&] { return progressBar != nullptr; };
    const auto writingText = [&] { return u"Writing file: "_s + fileNameFromPath(fileName); };
    const auto heading = [&](std::int32_t c) { return columns.item(c).text(); };
    const auto columnCount = [&] { return columns.count(); };
    const auto rowCount = [&] { return rows.count(); };
    const auto cell = [&](std::int32_t r, std::int32_t c) { return cellText(rows.item(r), c); };
    const auto pump = yieldBetweenCells;

    if (proc.test(100, hasBar)) {
        proc.step(102, pump);
        proc.step(104, [&] { progressBar->setValue(1); });
        proc.step(106, [&] { progressBar->setText(writingText()); });
        proc.step(108, pump);
    }

    // Each column's width: the longest of its heading and its cells in all rows.
    proc.step(110, [&] { widths.clear(); });
    proc.forLoop(112, 140, 1, columnCount, [&](std::int32_t c) {
        proc.step(114, [&] { widest = 0; });
        if (proc.test(116, [&] { return cellLength(heading(c)) > widest; }))
            proc.step(118, [&] { widest = cellLength(heading(c)); });
        proc.forLoop(120, 134, 1, rowCount, [&](std::int32_t r) {
            proc.step(122, pump);
            // The main text (column 1) and the sub-items have steps of their own.
            const int step = proc.test(124, [&] { return c == 1; }) ? 126 : 130;
            if (proc.test(step, [&] { return cellLength(cell(r, c)) > widest; }))
                proc.step(step + 2, [&] { widest = cellLength(cell(r, c)); });
        });
        proc.step(136, [&] { widths.grow(); });
        proc.step(138, [&] { widths.at(c) = widest; });
    });

    if (proc.test(142, hasBar)) {
        proc.step(144, pump);
        proc.step(146, [&] { progressBar->setValue(10); });
        proc.step(148, [&] { progressBar->setText(writingText()); });
        proc.step(150, pump);
    }

    proc.step(152, [&] { line.truncate(0); }); // keeps the buffer's room for the next line
    proc.step(156, [&] { file.create(fileName); });

    proc.forLoop(158, 168, 1, columnCount, [&](std::int32_t c) {
        proc.step(160, pump);
        if (proc.test(162, [&] { return widths.at(c) >= cellLength(heading(c)); }))
            proc.step(164, [&] { appendPadded(line, heading(c), widths.at(c)); });
        else
            proc.step(166, [&] { appendUnpadded(line, heading(c)); });
    });
    proc.step(170, [&] { file.writeLine(line); });

    if (proc.test(172, hasBar)) {
        proc.step(174, pump);
        proc.step(176, [&] { progressBar->setValue(20); });
        proc.step(178, [&] { progressBar->setText(writingText()); });
        proc.step(180, pump);
    }

    // One line per checked row. A row that has gone meanwhile fails its checked test, so
    // (as with every failed test) its branch runs: its cells fail and it is written empty.
    proc.forLoop(182, 224, 1, rowCount, [&](std::int32_t r) {
        rows.prefetchText(r + kPrefetchRows);
        proc.step(184, pump);
        proc.step(186, [&] { line.truncate(0); });
        if (!proc.test(188, [&] { return rows.item(r).isChecked(); }))
            return;
        proc.forLoop(190, 208, 1, columnCount, [&](std::int32_t c) {
            proc.step(192, pump);
            const int step = proc.test(194, [&] { return c == 1; }) ? 196 : 202;
            if (proc.test(step, [&] { return widths.at(c) >= cellLength(cell(r, c)); }))
                proc.step(step + 2, [&] { appendPadded(line, cell(r, c), widths.at(c)); });
            else
                proc.step(step + 4, [&] { appendUnpadded(line, cell(r, c)); });
        });
        if (proc.test(210, hasBar)) {
            proc.step(212, pump);
            proc.step(214, [&] { progressBar->setValue(rowProgress(r, rows.count())); });
            if (proc.test(216, [&] { return r % 1000 == 0; })) {
                proc.step(218, [&] {
                    progressBar->setText(writingText() + u" ("_s + QString::number(r) + u')');
                });
            }
            proc.step(220, pump);
        }
        proc.step(222, [&] { file.writeLine(line); });
    });

    if (proc.test(226, hasBar)) {
        proc.step(228, [&] { progressBar->setValue(100); });
        proc.step(230, [&] { progressBar->setText(u"Done."_s); });
    }
    proc.step(232, [&] { file.close(); });
    proc.step(234, [&] { file.release(); });
    if (proc.test(238, hasBar)) {
        proc.step(240, [&] { progressBar->setValue(0); });
        proc.step(242, [&] { progressBar->setText(kRestingProgressText.toString()); });
    }
}

} // namespace velmora::output
