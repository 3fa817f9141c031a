// Saves a list of random rows over a file with the real platform, as Save Results does, so
// a test can end it at any moment: test_killed_save kills it in the middle of the save.
//
//   save_list <host path of the file> <rows> <seed>
//
// Prints "saving" once the list is built and the save begins, "saved" when it is done.
#include "core/model/list_items.h"
#include "core/model/list_model.h"
#include "core/output/aligned_export.h"
#include "core/platform/host_paths.h"
#include "gui/platform/qt_platform.h"

#include <QApplication>

#include <cstdio>
#include <random>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: save_list <file> <rows> <seed>\n");
        return 2;
    }
    const QString target = QString::fromLocal8Bit(argv[1]);
    const int rows = std::atoi(argv[2]);
    std::mt19937 random(static_cast<unsigned>(std::atoi(argv[3])));

    // A failed save is told on the standard error, not in a box nobody would close.
    class Platform : public velmora::QtPlatform
    {
        void messageBox(const QString& text, velmora::MsgBoxIcon, const QString&) override
        {
            std::fprintf(stderr, "box: %s\n", qPrintable(text));
        }
    } platform;
    const velmora::ScopedPlatform installed(platform);
    velmora::ListModel model;
    velmora::ListItemCollection items(&model);
    velmora::ColumnHeaderCollection columns(&model);
    columns.add(u"Results"_s);
    for (int i = 0; i < rows; ++i) {
        QString text(8 + static_cast<int>(random() % 13), Qt::Uninitialized);
        for (QChar& c : text)
            c = QChar(u'a' + static_cast<char16_t>(random() % 26));
        items.add(text);
    }

    std::printf("saving\n");
    std::fflush(stdout);
    velmora::output::saveAlignedText(items, columns, velmora::toWindowsPath(target), nullptr);
    std::printf("saved\n");
    std::fflush(stdout);
    return 0;
}
