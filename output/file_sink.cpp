#include "file_sink.h"

#include "safe_file.h"

bool FileSink::write(const uint8_t* data, std::size_t size) {
    if (!file_.write(data, size)) return fail();
    unflushed_ += size;
    if (unflushed_ >= kWriteBackBytes) {
        file_.startWriteBack();
        unflushed_ = 0;
    }
    return true;
}
