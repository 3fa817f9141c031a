#include "gui/platform/qt_file_dialogs.h"

#include "core/platform/host_paths.h"
#include "gui/platform/host_file_pattern.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace velmora {

using namespace Qt::StringLiterals;

namespace {

// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|" in the form Qt's file dialog takes, each
// pattern as this host's dialog matches it.
QString toQtFileFilter(const QString& barSeparatedFilter)
{
    const QStringList parts = barSeparatedFilter.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QString pattern = hostFilePattern(parts[i + 1]);
        pattern.replace(u';', u' ');
        // Qt takes the patterns from the last parentheses: a description that names the
        // pattern matched is shown as written, any other names it.
        const QString named = u" ("_s + pattern + u')';
        if (description.endsWith(named)) {
            filters.append(description);
            continue;
        }
        const qsizetype paren = description.indexOf(u'(');
        filters.append((paren > 0 ? description.left(paren).trimmed() : description) + named);
    }
    return filters.join(u";;"_s);
}

} // namespace

QString showQtOpenDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, QString(),
                       toQtFileFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode((request.flags & FileDialogFlags::AllowMultiSelect)
                           ? QFileDialog::ExistingFiles
                           : QFileDialog::ExistingFile);
    if (!request.fileName.isEmpty())
        dialog.selectFile(toHostPath(request.fileName));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return {};
    if (files.size() == 1)
        return toWindowsPath(QFileInfo(files.front()).absoluteFilePath());
    // Several names: the folder, then each name, separated by NUL.
    QString result = toWindowsPath(QFileInfo(files.front()).absolutePath());
    for (const QString& file : files)
        result += QChar(u'\0') + QFileInfo(file).fileName();
    return result;
}

QString showQtSaveDialog(const FileDialogRequest& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, QString(),
                       toQtFileFilter(request.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite); // the program asks no question
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return toWindowsPath(QFileInfo(dialog.selectedFiles().front()).absoluteFilePath());
}

} // namespace velmora
