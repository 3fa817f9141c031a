#pragma once

#include <exception>
#include <utility>

// Work handed to another thread must not let a failure escape there (that ends the
// program): the carrier keeps it, and the thread that waited for the work throws it.
namespace velmora {

class FailureCarrier
{
public:
    // Runs the work, keeping whatever it throws.
    template <class Work> void run(Work&& work) noexcept
    {
        try {
            std::forward<Work>(work)();
        } catch (...) {
            m_failure = std::current_exception();
        }
    }

    // Throws what the work threw, if it threw; call after the work's thread has ended.
    void rethrowIfFailed() const
    {
        if (m_failure)
            std::rethrow_exception(m_failure);
    }

private:
    std::exception_ptr m_failure;
};

} // namespace velmora
