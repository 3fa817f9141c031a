#pragma once

#include "core/errors/error_report.h"

#include <cstdint>

namespace velmora {

// The common error handler of a command. Steps are numbered so the error box can name the
// failing one; a failing step is reported once and the procedure goes on with the next
// step, which for a failed test is the branch taken when the test holds, and for a failed
// loop header the loop body. A ProgramEnding passes straight through.
//
//     GuardedProcedure proc(Location::startSorting);
//     proc.step(104, [&] { setMousePointer(MousePointer::Hourglass); });
//     if (proc.test(106, [&] { return sortLinesOption->isChecked(); })) { ... }
class GuardedProcedure
{
public:
    explicit GuardedProcedure(const ErrorLocation& location) : m_location(location) {}
    GuardedProcedure(const GuardedProcedure&) = delete;
    GuardedProcedure& operator=(const GuardedProcedure&) = delete;

    template <class Action> void step(int line, Action&& action)
    {
        m_line = line;
        try {
            action();
        } catch (...) {
            reportCaught();
        }
    }

    template <class Condition> bool test(int line, Condition&& condition)
    {
        m_line = line;
        try {
            return static_cast<bool>(condition());
        } catch (...) {
            reportCaught();
            return true;
        }
    }

    // "For i = first To last ... Next": the header is step headerLine (its bound is read
    // once), every advance is step nextLine. When reading the bound fails the body runs
    // once, with i = first, and the loop ends.
    template <class Bound, class Body>
    void forLoop(int headerLine, int nextLine, std::int32_t first, Bound&& last, Body&& body)
    {
        m_line = headerLine;
        std::int64_t bound = first;
        try {
            bound = last();
        } catch (...) {
            reportCaught();
            body(first);
            m_line = nextLine;
            return;
        }
        for (std::int64_t i = first; i <= bound; ++i) {
            body(static_cast<std::int32_t>(i));
            m_line = nextLine;
        }
    }

private:
    // Called inside a catch block: reports the failure in flight, or rethrows a
    // ProgramEnding.
    void reportCaught();

    ErrorLocation m_location;
    int m_line = 0;
};

// The edge where Qt calls into a handler (a button's click, a list's key): a failure outside
// the handler's own steps is reported in the same box, placed at `location`, and a
// ProgramEnding stops here quietly, so no exception ever crosses Qt's event loop.
template <class Handler> void runEventHandler(const ErrorLocation& location, Handler&& handler)
{
    GuardedProcedure proc(location);
    try {
        proc.step(0, handler);
    } catch (...) {
        // ProgramEnding: the command has been abandoned; the event loop is ending.
    }
}

} // namespace velmora
