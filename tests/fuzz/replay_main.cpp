// Runs a harness on the input files named on its command line (a
// directory: on each of its files, in name order), one after the other in
// one process as the fuzzer would. The regression inputs of the fuzzers run
// through the normal build with this entry instead of libFuzzer's.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::filesystem::path> input_files(const std::filesystem::path& name) {
    if (!std::filesystem::is_directory(name)) return {name};
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(name)) {
        if (entry.is_regular_file()) files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 0;
    for (int i = 1; i < argc; ++i) {
        for (const auto& path : input_files(argv[i])) {
            std::ifstream file(path, std::ios::binary);
            if (!file) {
                std::fprintf(stderr, "cannot read %s\n", path.c_str());
                return 1;
            }
            std::string input((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            std::fprintf(stderr, "replaying %s\n", path.c_str());
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
            ++runs;
        }
    }
    std::fprintf(stderr, "%d input(s) replayed\n", runs);
    return 0;
}
