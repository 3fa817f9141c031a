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
    explicit RuntimeFailure(QString description) : m_description(std::move(description)) {}
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return "velmora::RuntimeFailure"; }

private:
    QString m_description;
};

// Every failure the program reports, with the platform's own texts, so the error box reads
// the way users expect it to.
namespace Failure {
RuntimeFailure invalidProcedureCall();
RuntimeFailure overflow();
RuntimeFailure outOfMemory();
RuntimeFailure subscriptOutOfRange();
RuntimeFailure divisionByZero();
RuntimeFailure fileNotFound();
RuntimeFailure deviceIoError();
RuntimeFailure diskFull();
RuntimeFailure permissionDenied();
RuntimeFailure pathFileAccessError();
RuntimeFailure pathNotFound();
RuntimeFailure invalidFileFormat(); // a skin file that is no style sheet
RuntimeFailure invalidPropertyValue();
RuntimeFailure invalidPicture();   // a pointer file that is no icon or cursor
RuntimeFailure objectRequired();   // a control or service that is not there
RuntimeFailure indexOutOfBounds(); // list controls: a row or column that does not exist
RuntimeFailure fileTooLarge();     // a file bigger than one text can hold
RuntimeFailure unknown();          // anything thrown that is none of the above
} // namespace Failure

// Thrown out of a message pump when the main window has been closed: it unwinds every
// command waiting in a yield, past all error handlers, so the program can end cleanly.
// Deliberately not a std::exception, so no handler that reports failures can catch it.
struct ProgramEnding
{};

} // namespace velmora
