#include "core/errors/guarded_procedure.h"

#include "core/errors/error_report.h"
#include "core/errors/runtime_failure.h"

#include <new>

namespace velmora {

void GuardedProcedure::reportCaught()
{
    QString description;
    try {
        throw;
    } catch (const ProgramEnding&) {
        throw;
    } catch (const RuntimeFailure& failure) {
        description = failure.description();
    } catch (const std::bad_alloc&) {
        description = Failure::outOfMemory().description();
    } catch (...) {
        description = Failure::unknown().description();
    }
    reportFailure(description, m_location, m_line);
}

} // namespace velmora
