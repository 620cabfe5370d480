#include "app/cli/CommandLine.h"

int main(int argc, char** argv) { return quillet::cli::runCommandLine(argc, argv); }
