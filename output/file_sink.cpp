#include "file_sink.h"

#include <cerrno>

#include "safe_file.h"

using namespace Messages;
using namespace Platform;
using namespace Png;

namespace Output {

bool FileSink::write(const uint8_t* data, std::size_t size) {
    // Only a file never opened, or refused for a reason of its own, has no
    // system error number.
    if (!file_.write(data, size))
        return fail(file_.reason().error != 0 ? file_.reason().error : EBADF);
    unflushed_ += size;
    if (unflushed_ >= kWriteBackBytes) {
        file_.startWriteBack();
        unflushed_ = 0;
    }
    return true;
}

}  // namespace Output
