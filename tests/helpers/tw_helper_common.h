#pragma once

// Every helper writes a report when TW_HELPER_OUT names a file: its pid, its folder,
// its session id, then one argument per line. Written to a temporary name first, so that
// a test that sees the file sees all of it.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

inline void writeHelperReport(int argc, char **argv) {
    const char *out = std::getenv("TW_HELPER_OUT");
    if (!out || !*out)
        return;
    const std::string tmp = std::string(out) + ".part";
    FILE *f = std::fopen(tmp.c_str(), "w");
    if (!f)
        return;
    char cwd[4096] = "";
    if (!getcwd(cwd, sizeof cwd))
        cwd[0] = '\0';
    std::fprintf(f, "%d\n%s\n%d\n", int(getpid()), cwd, int(getsid(0)));
    for (int i = 1; i < argc; ++i)
        std::fprintf(f, "%s\n", argv[i]);
    std::fclose(f);
    std::rename(tmp.c_str(), out);
}
