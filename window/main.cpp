#include "safe_file.h"
#include "start_routine.h"

using namespace Messages;
using namespace Platform;
using namespace Window;

int main(int argc, char** argv) {
    // A save past the file size limit is reported, not the end of the program.
    IgnoreFileSizeSignal();
    RemoveTemporaryFilesOnInterrupt();
    return RunStartRoutine(argc, argv);
}
