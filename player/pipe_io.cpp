#include "pipe_io.h"

#include <unistd.h>

#include <cerrno>

namespace Player {

namespace PipeIo {

bool ReadInput(std::vector<unsigned char>& data, std::int64_t maxBytes) {
    unsigned char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (static_cast<std::int64_t>(data.size()) + n > maxBytes) return false;
        data.insert(data.end(), chunk, chunk + n);
    }
}

bool WriteAll(const void* bytes, std::size_t size) {
    const auto* at = static_cast<const char*>(bytes);
    while (size > 0) {
        const ssize_t n = ::write(STDOUT_FILENO, at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace PipeIo

}  // namespace Player
