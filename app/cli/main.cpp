// wirtualon-cli: checks, lists and runs ladder programs without the editor's windows.
#include "app/cli/cli_runner.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    if (!args.empty() && args[0] == "--version") {
        std::cout << "wirtualon " WIRTUALON_VERSION "\n";
        return cli::kExitOk;
    }
    const int status = cli::runCli(args, std::cout, std::cerr);
    std::cout.flush();
    return status;
}
