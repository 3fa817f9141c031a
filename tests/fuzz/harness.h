#pragma once

#include "fake_platform.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <vector>

// What every fuzz target shares: one offscreen application and one platform double for the
// whole run (the list control is a widget), reset before each input, and a way to stop the
// run with a readable message when an invariant does not hold.
namespace velmora::fuzz {

// The one platform double of the run, installed as the platform; the first call also
// starts the offscreen application.
test::FakePlatform& platformDouble();

// The platform double as a fresh one would be: no boxes, no yields, no scheduled actions,
// an empty clipboard and the real file operations.
inline test::FakePlatform& freshPlatform()
{
    test::FakePlatform& fake = platformDouble();
    std::vector<test::FakePlatform::Box>().swap(fake.boxes);
    fake.onMessageBox = nullptr;
    fake.yields = 0;
    fake.atYield.clear();
    fake.onEveryYield = nullptr;
    fake.clipboardText = QString();
    fake.clipboardHasText = false;
    fake.clipboardRefusals = 0;
    fake.clipboardClearCalls = 0;
    fake.clipboardSetCalls = 0;
    fake.modificationTimeReadableHook = nullptr;
    fake.fileLengthHook = nullptr;
    fake.readWholeFileHook = nullptr;
    fake.createTextFileHook = nullptr;
    fake.codePage = CodePage::Windows1252;
    return fake;
}

// Ends an input as the program ends a command: the event loop gets a turn (the list's
// queued row announcements, the view's layout), then the platform double is reset. What
// the input took is given back, so libFuzzer's leak check, slow and run after every input
// that kept memory, stays rare.
inline void finishInput()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    freshPlatform();
}

// Shows the broken invariant and the texts involved (as UTF-16 code units, so spaces,
// tabs and unpaired surrogates are all visible), then aborts: libFuzzer keeps the input.
// The texts are views: a check runs many times per input and almost never fails, so what
// it would show must cost nothing to pass (a copy of the rest of the file per loaded line
// made loading quadratic).
[[noreturn]] inline void fail(const char* invariant, QStringView got = {},
                              QStringView expected = {})
{
    const auto units = [](QStringView text) {
        QByteArray hex;
        for (QChar c : text)
            hex += QByteArray::number(c.unicode(), 16) + ' ';
        return hex;
    };
    std::fprintf(stderr, "\n*** invariant broken: %s\n    got:      %s\n    expected: %s\n",
                 invariant, units(got).constData(), units(expected).constData());
    std::abort();
}

inline void check(bool holds, const char* invariant, QStringView got = {},
                  QStringView expected = {})
{
    if (!holds)
        fail(invariant, got, expected);
}

} // namespace velmora::fuzz
