#include "memory_exit.h"

#include <cstdlib>
#include <exception>
#include <new>

namespace Player {

namespace MemoryExit {

namespace {

int code = 1;

[[noreturn]] void terminated() {
    if (const std::exception_ptr failure = std::current_exception()) {
        try {
            std::rethrow_exception(failure);
        } catch (const std::bad_alloc&) {
            std::_Exit(code);
        } catch (...) {
        }
    }
    std::abort();
}

}  // namespace

void Install(int exitCode) {
    code = exitCode;
    std::set_terminate(terminated);
}

}  // namespace MemoryExit

}  // namespace Player
