#include "driver/early_compile.hpp"

#include "driver/orchestration.hpp"
#include "driver/run.hpp"
#include "foundation/diagnostics.hpp"

namespace qor {

namespace {

// The file named by the command's last -o, or none.
std::optional<std::string> output_name(const std::vector<std::string>& argv) {
    std::optional<std::string> name;
    for (size_t i = 1; i < argv.size(); ++i) {
        if (argv[i] == "-o" && i + 1 < argv.size())
            name = argv[++i];
        else if (argv[i].starts_with("-o") && argv[i].size() > 2)
            name = argv[i].substr(2);
    }
    return name;
}

}  // namespace

void EarlyCompile::start(Run& run) {
    const RunOptions& options = run.line().options;
    if (run.dynamic_mode || options.said.dynamic_mode || options.said.no_update || !options.said.compiler_command ||
        options.said.compiler_product || options.settings.pch_use || options.settings.pch_create ||
        options.said.source_files.empty() || error_count() > 0)
        return;
    auto argv = compile_command(options, false);
    auto output = output_name(argv);
    if (!output) return;
    // Only a regular file is ever removed: an output such as /dev/null
    // makes the compile wait for its turn.
    if (auto existing = platform::file_version(*output); existing && !existing->regular_file) return;
    // The run holds it before the compiler starts, so that a run ending at
    // any moment after finds the compiler to wait for.
    run.line().early_compile.reset(new EarlyCompile(std::move(argv), std::move(*output)));
    EarlyCompile& compile = *run.line().early_compile;
    if (!compile.compiler_.start(compile.argv_)) {
        compile.finished_ = true;
        run.line().early_compile.reset();
    }
}

EarlyCompile::EarlyCompile(std::vector<std::string> argv, std::string output)
    : argv_(std::move(argv)), output_(std::move(output)), output_before_(platform::file_version(output_)) {}

EarlyCompile::~EarlyCompile() {
    if (!finished_) abandon();
}

platform::ChildStatus EarlyCompile::finish() {
    finished_ = true;
    platform::ChildStatus status = compiler_.wait();
    compiler_.give_out_output();
    return status;
}

void EarlyCompile::abandon() {
    finished_ = true;
    compiler_.wait();
    auto now = platform::file_version(output_);
    if (now && now->regular_file && now != output_before_) platform::remove_file(output_);
}

}  // namespace qor
