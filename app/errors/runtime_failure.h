#pragma once

#include <QString>

#include <exception>

namespace velmora {

// A run-time failure of a step: what the error box names. Thrown by the controls, the
// platform services and the helpers; caught only by a GuardedProcedure (or at the edge of
// an event handler), never by the code that merely passes it on.
class RuntimeFailure : public std::exception
{
public:
    RuntimeFailure(int number, QString description)
        : m_number(number), m_description(std::move(description))
    {}
    int number() const { return m_number; }
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return "velmora::RuntimeFailure"; }

private:
    int m_number;
    QString m_description;
};

// The platform's own failure texts, so the error box reads the way users expect it to.
namespace Failure {
RuntimeFailure invalidProcedureCall(); // 5
RuntimeFailure overflow();             // 6
RuntimeFailure outOfMemory();          // 7
RuntimeFailure subscriptOutOfRange();  // 9
RuntimeFailure divisionByZero();       // 11
RuntimeFailure fileNotFound();         // 53
RuntimeFailure deviceIoError();        // 57
RuntimeFailure diskFull();             // 61
RuntimeFailure permissionDenied();     // 70
RuntimeFailure pathFileAccessError();  // 75
RuntimeFailure pathNotFound();         // 76
RuntimeFailure invalidPropertyValue(); // 380
RuntimeFailure indexOutOfBounds();     // list controls: a row or column that does not exist
RuntimeFailure fileTooLarge();         // a file bigger than one text can hold
RuntimeFailure objectRequired();       // 424: a control or service that is not there
} // namespace Failure

// Thrown out of a message pump when the main window has been closed: it unwinds every
// command waiting in a yield, past all error handlers, so the program can end cleanly.
// Deliberately not a std::exception, so no handler that reports failures can catch it.
struct ProgramEnding
{};

} // namespace velmora
