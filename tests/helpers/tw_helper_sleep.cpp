// Sleeps for the seconds given as first argument (default 30), then ends with 0.
#include "tw_helper_common.h"

#include <ctime>

int main(int argc, char **argv) {
    writeHelperReport(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 30.0;
    timespec t{time_t(seconds), long((seconds - double(time_t(seconds))) * 1e9)};
    while (nanosleep(&t, &t) != 0) {
    }
    return 0;
}
