#include <cstdio>
#include <string>
#include <vector>

#include "commands.hpp"
#include "foundation/diagnostics.hpp"
#include "options.hpp"

int main(int argc, char** argv) {
    qor::diagnostics().set_program_name("qor_report");
    qor::install_crash_handler();
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::optional<qor::report::Options> options = qor::report::parse_options(args);
    if (!options) {
        qor::print_error_summary();
        return 1;
    }
    int status = 0;
    switch (options->command) {
        case qor::report::Command::Help: std::fputs(qor::report::usage_text(), stdout); return 0;
        case qor::report::Command::Metrics: status = qor::report::run_metrics(*options); break;
        case qor::report::Command::Coverage: status = qor::report::run_coverage(*options); break;
        case qor::report::Command::Data: status = qor::report::run_data(*options); break;
    }
    qor::print_error_summary();
    return status;
}
