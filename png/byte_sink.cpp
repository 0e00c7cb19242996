#include "byte_sink.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

namespace Png {

bool ByteSink::fail(int error) {
    error_ = error != 0 ? error : EIO;
    return false;
}

bool DescriptorSink::write(const uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail(n < 0 ? errno : ENOSPC);
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool MemorySink::write(const uint8_t* data, std::size_t size) {
    // Past max_size() the vector would throw length_error, which is the
    // same want of memory.
    if (size > std::min(limit_, bytes.max_size()) - bytes.size()) return fail(ENOMEM);
    try {
        bytes.insert(bytes.end(), data, data + size);
    } catch (const std::bad_alloc&) {
        return fail(ENOMEM);
    }
    return true;
}

bool TeeSink::write(const uint8_t* data, std::size_t size) {
    if (!first_.write(data, size)) return fail(first_.error());
    if (!second_.write(data, size)) return fail(second_.error());
    return true;
}

}  // namespace Png
