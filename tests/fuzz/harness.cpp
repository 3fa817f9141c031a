#include "harness.h"

#include <QApplication>

namespace velmora::fuzz {

test::FakePlatform& platformDouble()
{
    // Created once and never destroyed: the run ends with exit(), and tearing Qt down
    // there would only add noise to the sanitizers' reports.
    static test::FakePlatform* const fake = [] {
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        // Qt gets arguments of its own: it would take out the ones it knows from the real
        // command line, and those belong to libFuzzer.
        static int argc = 1;
        static char name[] = "velmora-fuzz";
        static char* argv[] = {name, nullptr};
        static QApplication* const application = new QApplication(argc, argv);
        Q_UNUSED(application);
        auto* created = new test::FakePlatform;
        static ScopedPlatform* const installed = new ScopedPlatform(*created);
        Q_UNUSED(installed);
        return created;
    }();
    return *fake;
}

} // namespace velmora::fuzz

// The font configuration library keeps a few blocks of its start-up to the end on purpose;
// they are not ours to free. (The leak checker reads this function by its name.)
// NOLINTNEXTLINE(bugprone-reserved-identifier): the name LeakSanitizer looks for.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
