#include "start_routine.h"

int main(int argc, char** argv) {
    return RunStartRoutine(argc, argv);
}
