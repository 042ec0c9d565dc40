#include <string>
#include <vector>

#include "driver/run_sequence.hpp"

int main(int argc, char** argv) {
    std::vector<std::string> args;
    args.reserve(argc);
    for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] ? argv[i] : "");
    qor::run_main(args);
}
