// The path helpers over arbitrary strings, weighted towards runs of backslashes.
#include "core/input/file_helpers.h"
#include "core/platform/windows_paths.h"

#include "harness.h"

#include <cstddef>
#include <cstdint>

using velmora::fuzz::check;
using namespace Qt::StringLiterals;

namespace {

// Printable ASCII stands for itself, so seeds read as paths; a control byte is one more
// way to write a backslash, to make runs of them common; a byte of 0x80 or more makes the
// two bytes after it any UTF-16 code unit (NUL, surrogates, letters beyond Latin-1).
QString pathFrom(const std::uint8_t* data, std::size_t size)
{
    QString path;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t b = data[i];
        if (b < 0x20)
            path.append(u'\\');
        else if (b < 0x80)
            path.append(QChar(static_cast<char16_t>(b)));
        else if (i + 2 < size) {
            path.append(QChar(static_cast<char16_t>((data[i + 1] << 8) | data[i + 2])));
            i += 2;
        }
    }
    return path;
}

QString withoutBackslashes(QString text)
{
    return text.remove(u'\\');
}

// The lengths of the runs of backslashes, in order, except a run at the very start.
QList<qsizetype> innerRuns(const QString& path)
{
    QList<qsizetype> runs;
    qsizetype i = 0;
    while (i < path.size() && path[i] == u'\\')
        ++i;
    while (i < path.size()) {
        if (path[i] != u'\\') {
            ++i;
            continue;
        }
        qsizetype run = 0;
        while (i < path.size() && path[i] == u'\\') {
            ++run;
            ++i;
        }
        runs.append(run);
    }
    return runs;
}

void checkCollapse(const QString& path)
{
    const QString once = velmora::collapseBackslashes(path);
    check(once.size() <= path.size() + 1, "collapsing never adds more than one character", once,
          path);
    check(withoutBackslashes(once) == withoutBackslashes(path),
          "collapsing touches nothing but backslashes", once, path);

    if (path.startsWith(u'\\')) {
        check(once.startsWith(u"\\\\") && (once.size() == 2 || once[2] != u'\\'),
              "a leading run of backslashes becomes exactly two", once, path);
    } else {
        check(!once.startsWith(u'\\'), "no leading backslash appears from nowhere", once, path);
    }

    // One pass halves every inner run, rounding up: 1 -> 1, 2 -> 1, 3 -> 2, 4 -> 2, 5 -> 3.
    const QList<qsizetype> before = innerRuns(path);
    const QList<qsizetype> after = innerRuns(once);
    check(before.size() == after.size(), "every inner run of backslashes survives", once, path);
    bool runOfThree = false;
    for (qsizetype i = 0; i < before.size(); ++i) {
        check(after[i] == (before[i] + 1) / 2, "an inner run of n backslashes becomes (n+1)/2",
              once, path);
        runOfThree = runOfThree || before[i] >= 3;
    }

    // A single pass: only a path with an inner run of three or more changes again.
    const QString twice = velmora::collapseBackslashes(once);
    check((twice == once) == !runOfThree,
          "a second pass changes the path exactly when it had an inner run of 3+", twice, once);
}

void checkFileName(const QString& path)
{
    const QString name = velmora::fileNameFromPath(path);
    check(!name.contains(u'\\'), "a file name holds no backslash", name, path);
    check(path.endsWith(name), "the file name is the end of the path", name, path);
    if (path.contains(u'\\'))
        check(path[path.size() - name.size() - 1] == u'\\',
              "the file name starts right after a backslash", name, path);
    else
        check(name == path, "a path without backslashes is its own file name", name, path);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = pathFrom(data, size);
    checkCollapse(path);
    checkFileName(path);
    // The load command's path for a file of a multiple selection: folder, backslash, name.
    // Whatever the folder, the name comes out whole.
    const QString built = velmora::collapseBackslashes(path + u"\\name.txt"_s);
    check(velmora::fileNameFromPath(built) == u"name.txt",
          "a name joined to any folder is found again", velmora::fileNameFromPath(built),
          u"name.txt"_s);
    return 0;
}
