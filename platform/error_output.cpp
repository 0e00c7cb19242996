#include "error_output.h"

#include <fcntl.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_UNDEFINED__)
#include <sanitizer/common_interface_defs.h>
#define TORVELINK_SANITIZER_REPORTS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
#include <sanitizer/common_interface_defs.h>
#define TORVELINK_SANITIZER_REPORTS 1
#endif
#endif

#include <cstdint>

namespace Platform {

namespace ErrorOutput {

int SetApart() {
    const int own = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    if (own < 0) return STDERR_FILENO;
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0 || ::dup2(null, STDERR_FILENO) < 0) {
        if (null >= 0) ::close(null);
        ::close(own);
        return STDERR_FILENO;
    }
    ::close(null);
#ifdef TORVELINK_SANITIZER_REPORTS
    __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(own)));
#endif
    return own;
}

}  // namespace ErrorOutput

}  // namespace Platform
