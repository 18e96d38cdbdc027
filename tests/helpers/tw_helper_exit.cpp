// Ends at once: with the exit code in TW_HELPER_EXIT (default 0), or by the signal
// in TW_HELPER_SIGNAL.
#include "tw_helper_common.h"

#include <csignal>

int main(int argc, char **argv) {
    writeHelperReport(argc, argv);
    if (const char *sig = std::getenv("TW_HELPER_SIGNAL")) {
        std::signal(std::atoi(sig), SIG_DFL);
        std::raise(std::atoi(sig));
    }
    const char *code = std::getenv("TW_HELPER_EXIT");
    return code ? std::atoi(code) : 0;
}
