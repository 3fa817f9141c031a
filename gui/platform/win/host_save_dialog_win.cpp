#include "gui/platform/host_save_dialog.h"

#include "core/errors/runtime_failure.h"

#include <QApplication>
#include <QWidget>

#include <windows.h>

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace velmora {

namespace {

// The longest file name the dialog returns, as the window's design sets it.
constexpr std::size_t kLongestFileName = 30000;

// A dialog that could not be shown or could not return the name, as the error box says it.
RuntimeFailure dialogFailure(DWORD error)
{
    switch (error) {
    case CDERR_MEMALLOCFAILURE:
    case CDERR_MEMLOCKFAILURE:
    case FNERR_SUBCLASSFAILURE:
        return Failure::outOfMemory();
    default:
        return RuntimeFailure(
            u"The save dialog failed (error 0x%1)"_s.arg(uint(error), 4, 16, QChar(u'0')));
    }
}

} // namespace

// Windows' common save dialog, given the request's flag word as it stands. Qt's native
// save dialog is not used on this host: it adds the selected filter's extension to a
// name typed without one.
QString showHostSaveDialog(const FileDialogRequest& request)
{
    // The filter's bars become the NULs between its entries; one more ends the list even
    // when the filter lacks its closing bar.
    std::wstring filter = request.filter.toStdWString();
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    filter.push_back(L'\0');
    const std::wstring title = request.title.toStdWString();
    std::vector<wchar_t> name(kLongestFileName + 1, L'\0');
    const std::wstring offered = request.fileName.left(kLongestFileName).toStdWString();
    std::copy(offered.begin(), offered.end(), name.begin());

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    if (QWidget* owner = QApplication::activeWindow())
        dialog.hwndOwner = reinterpret_cast<HWND>(owner->winId());
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = static_cast<DWORD>(request.flags);
    if (!GetSaveFileNameW(&dialog)) {
        // FALSE is a cancel only when the dialog names no error of its own.
        if (const DWORD error = CommDlgExtendedError(); error != 0)
            throw dialogFailure(error);
        return {};
    }
    return QString::fromWCharArray(name.data());
}

} // namespace velmora
