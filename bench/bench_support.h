#pragma once

#include "app/platform/qt/qt_platform.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>
#include <string>

namespace velmora::bench {

// Benchmarks run on the real platform, as the program does: installed here before a
// benchmark's main() starts, as main() installs it in the program. A benchmark that scripts
// the dialogs installs its own on top for as long as it needs it.
inline QtPlatform realPlatform;
inline const ScopedPlatform realPlatformInUse(realPlatform);

// Random printable keys of 8 to 20 characters, the same for every run.
inline QString randomKey(std::mt19937& random)
{
    static const char16_t alphabet[] =
        u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";
    const int length = 8 + static_cast<int>(random() % 13);
    QString key(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        key[i] = QChar(alphabet[random() % (sizeof(alphabet) / sizeof(char16_t) - 1)]);
    return key;
}

// Peak resident memory of this process so far, in MiB (VmHWM).
inline double peakMemoryMiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0.0;
}

inline double seconds(const QElapsedTimer& timer)
{
    return timer.nsecsElapsed() / 1e9;
}

// CPU time used by the calling thread, in seconds: holds on a machine busy with other work.
inline double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

} // namespace velmora::bench
