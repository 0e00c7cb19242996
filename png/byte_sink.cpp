#include "byte_sink.h"

#include <unistd.h>

#include <cerrno>

bool DescriptorSink::write(const uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : ENOSPC;
            return fail();
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}
