#include <csignal>

#include "app/cli/CommandLine.h"

int main(int argc, char** argv) {
    // Past the file size limit a write must fail and be reported, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    return quillet::cli::runCommandLine(argc, argv);
}
