// The core library on its own: linked without Qt Widgets and without the real platform, its
// commands' work runs on a list without a view and a progress indicator that is no widget.
#include "core/input/load_list.h"
#include "core/model/list_items.h"
#include "core/model/list_model.h"
#include "core/model/progress_indicator.h"
#include "core/output/aligned_export.h"
#include "core/output/clipboard_copy.h"
#include "core/platform/host_files.h"
#include "core/platform/host_paths.h"
#include "core/platform/platform.h"
#include "core/platform/windows1252.h"
#include "core/sorting/bubble_sort.h"
#include "text_lists.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace velmora;

namespace {

// Reads real files through the host's own calls; everything else it only records.
class CorePlatform : public Platform
{
public:
    QStringList messages;
    QString clipboard;
    QStringList written; // the lines of the last file closed
    int yields = 0;

    void messageBox(const QString& text, MsgBoxIcon, const QString&) override
    {
        messages.append(text);
    }
    using Platform::messageBox;
    QString showOpenDialog(const FileDialogRequest&) override { return {}; }
    QString showSaveDialog(const FileDialogRequest&) override { return {}; }
    void clipboardClear() override { clipboard.clear(); }
    void clipboardSetText(const QString& text) override { clipboard = text; }
    void shellRun(const QString&, int) override {}
    void randomize() override {}
    double rnd() override { return 0.5; }
    QString programFolder() override { return {}; }
    bool modificationTimeReadable(const QString& path) override
    {
        return host::modificationTimeReadable(path);
    }
    bool normalFileExists(const QString&) override { return false; }
    qint64 fileLength(const QString& path) override { return host::fileLength(path); }
    QByteArray readWholeFile(const QString& path) override { return host::readWholeFile(path); }
    std::unique_ptr<TextFileWriter> createTextFile(const QString&) override
    {
        return std::make_unique<LineRecorder>(written);
    }
    QString decodeAnsi(QByteArrayView bytes) override { return decodeWindows1252(bytes); }
    void giveBackFreedMemory() override {}
    void runWhilePumping(const std::function<void(std::stop_token)>& work) override
    {
        work({}); // no events to process
    }
    void runWhileRepainting(const std::function<void()>& work) override { work(); }

protected:
    void pumpEvents(Pump) override { ++yields; }

private:
    class LineRecorder : public TextFileWriter
    {
    public:
        explicit LineRecorder(QStringList& closed) : m_closed(closed) {}
        void writeLine(QStringView text) override { m_lines.append(text.toString()); }
        void close() override { m_closed = m_lines; }

    private:
        QStringList& m_closed;
        QStringList m_lines;
    };
};

// Every value written, as a test would watch a bar.
class RecordingIndicator final : public ProgressIndicator
{
public:
    QList<double> values;
    QStringList texts;
    double value() const override { return values.isEmpty() ? 0.0 : values.back(); }
    void setValue(double value) override { values.append(value); }
    QString text() const override { return m_text; }
    void setText(const QString& text) override
    {
        m_text = text;
        texts.append(text);
    }
    bool hasWriteObserver() const override { return true; }

private:
    QString m_text;
};

// A list as the commands see it: the model and its two collections, no view.
struct BareList
{
    ListModel model;
    ListItemCollection items{&model};
    ColumnHeaderCollection columns{&model};
};

} // namespace

class CoreAloneTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void sortDrivesAnIndicator();
    void fileLoadedCopiedAndExportedWithoutAView();
};

void CoreAloneTest::sortDrivesAnIndicator()
{
    CorePlatform core;
    const ScopedPlatform installed(core);
    RecordingIndicator indicator;
    QStringList keys = {u"c"_s, u"b"_s, u"a"_s};
    test::bubbleSortWithProgress(keys, indicator);
    QCOMPARE(keys, (QStringList{u"a"_s, u"b"_s, u"c"_s}));
    // Three passes of two comparisons (0, then 1 / 1 * 100), each after a yield; then 0.
    QCOMPARE(indicator.values, (QList<double>{0, 100, 0, 100, 0, 100, 0}));
    QCOMPARE(core.yields, 3);
}

void CoreAloneTest::fileLoadedCopiedAndExportedWithoutAView()
{
    CorePlatform core;
    const ScopedPlatform installed(core);
    QTemporaryDir dir;
    QFile file(dir.filePath(u"list.txt"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("pear\r\n   \r\nfig\r\n");
    file.close();

    BareList list;
    list.columns.add(u"Results"_s);
    input::loadListFromFile(list.items, toWindowsPath(file.fileName()));
    QCOMPARE(list.items.count(), 2);
    QCOMPARE(list.model.rowCount(), 0); // no event loop has turned: the views are not told yet

    output::copyToClipboard(list.items, list.columns);
    QCOMPARE(core.clipboard, u"pear\r\nfig\r\n"_s);

    RecordingIndicator indicator;
    output::saveAlignedText(list.items, list.columns, u"Z:\\out.txt"_s, &indicator);
    QCOMPARE(core.written, (QStringList{u"Results\t"_s, u"pear   \t"_s, u"fig    \t"_s}));
    QCOMPARE(indicator.text(), kRestingProgressText.toString());
    QCOMPARE(indicator.values.back(), 0.0);
    QVERIFY(core.messages.isEmpty());
}

QTEST_GUILESS_MAIN(CoreAloneTest)
#include "test_core_alone.moc"
