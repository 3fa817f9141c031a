#pragma once

#include "core/platform/host_paths.h"
#include "fake_platform.h"
#include "gui/platform/qt_platform.h"
#include "gui/window/handler_locations.h"
#include "gui/window/main_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace velmora::test {

inline QStringList itemTexts(ListView* list)
{
    QStringList texts;
    auto& items = list->items();
    for (int i = 1; i <= items.count(); ++i)
        texts.append(items.item(i).text());
    return texts;
}

inline void fillList(ListView* list, const QStringList& texts)
{
    for (const QString& text : texts)
        list->items().add(text);
}

// Rows added reach the list's views in one announcement on the next turn of the event loop
// (until then the views' rowCount() lags the rows held, rowCountWithPending()). A test that
// needs the view to show the rows, to select or click one, lets that announcement happen,
// and nothing else that waits for the event loop.
inline void waitForRowAnnouncement(ListView* list)
{
    QCoreApplication::sendPostedEvents(list->model(), QEvent::MetaCall);
    QCOMPARE(list->model()->rowCount(), list->items().count());
}

// Rows of several columns: each entry is the main text, then the sub-items. The rows
// numbered in `unchecked` (from 1) have their checked mark cleared.
inline void fillTable(ListView* list, const QList<QStringList>& rows,
                      const QList<int>& unchecked = {})
{
    for (const QStringList& cells : rows) {
        ListItem item = list->items().add(cells.value(0));
        for (qsizetype k = 1; k < cells.size(); ++k)
            item.setSubItem(static_cast<int>(k), cells[k]);
    }
    for (int row : unchecked)
        list->items().item(row).setChecked(false);
}

// The step numbers the error boxes name, in order; -1 for a box from another place.
inline QList<int> reportedLines(const std::vector<FakePlatform::Box>& boxes,
                                const ErrorLocation& place)
{
    const QString location = place.text();
    QList<int> lines;
    for (const FakePlatform::Box& box : boxes) {
        const qsizetype at = box.text.indexOf(location);
        const qsizetype number = at + location.size() + 8; // past "at line "
        lines.append(
            at < 0 ? -1 : box.text.mid(number, box.text.indexOf(u'\r', number) - number).toInt());
    }
    return lines;
}

// The filters the real open dialog shows for a filter text of the program (the dialog is
// read as it opens, then cancelled).
inline QStringList shownOpenFilters(const QString& filter)
{
    QStringList shown;
    QTimer::singleShot(0, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            shown = dialog->nameFilters();
            dialog->reject();
        }
    });
    FileDialogRequest request;
    request.filter = filter;
    if (!QtPlatform().showOpenDialog(request).isEmpty())
        qFatal("the open dialog returned a name without being asked for one");
    return shown;
}

// Writes a whole file the test needs; without it the test cannot go on.
inline void writeTestFile(const QString& hostPath, const QByteArray& bytes)
{
    QFile file(hostPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file");
}

// A file's bytes, or "<no file>" when there is none to read.
// A file of the writer's Unicode form: UTF-16 little-endian after the FF FE mark.
inline QByteArray utf16File(const QString& text)
{
    QByteArray bytes("\xFF\xFE");
    for (const QChar c : text)
        bytes.append(static_cast<char>(c.unicode() & 0xFF))
            .append(static_cast<char>(c.unicode() >> 8));
    return bytes;
}

inline QByteArray fileContents(const QString& hostPath)
{
    QFile file(hostPath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no file>");
}

// The loaded window, shown and active, as the user meets it.
struct ShownForm
{
    FakePlatformScope scope;
    MainWindow form;

    ShownForm()
    {
        form.startUp();
        form.show();
        QApplication::setActiveWindow(&form);
    }
    QWidget* control(const QString& name) { return form.findChild<QWidget*>(name); }
};

// A file path inside a temporary folder, in the program's Windows form.
inline QString windowsPathIn(const QTemporaryDir& dir, const QString& name)
{
    return toWindowsPath(dir.filePath(name));
}

// The main window after start-up, on the fake platform, with a folder for its files.
struct WindowWithFolder
{
    FakePlatformScope scope;
    MainWindow form;
    QTemporaryDir dir;

    WindowWithFolder() { form.startUp(); }
    FakePlatform& fake() { return scope.fake; }
    QString host(const QString& name) const { return dir.filePath(name); }
    void write(const QString& name, const QByteArray& bytes) const
    {
        writeTestFile(host(name), bytes);
    }
    // "Load Text From File" with the named files picked in the open dialog, in this order.
    void load(const QStringList& names)
    {
        fake().openAnswers.append(
            names.size() == 1
                ? windowsPathIn(dir, names.front())
                : (QStringList{toWindowsPath(dir.path())} + names).join(QChar(u'\0')));
        form.loadTextFromFile();
    }
};

} // namespace velmora::test

Q_DECLARE_METATYPE(velmora::CodePage) // a column of table-driven tests
