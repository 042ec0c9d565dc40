// The data command: what the coverage-data and live files hold, as text
// records, for people and scripts that look at the counts themselves.
#include "commands.hpp"
#include "coverage_data.hpp"
#include "foundation/diagnostics.hpp"
#include "input_files.hpp"

namespace qor::report {

int run_data(const Options& options) {
    InputFiles inputs = expand_inputs(options.inputs, {".dat", std::string(kLiveExtension)});
    std::string out;
    for (const std::string& path : inputs.paths) {
        std::optional<std::string> bytes = read_text(path);
        if (!bytes) continue;
        DataWarning warn = file_warnings(path);
        std::vector<DataRecord> records = has_extension(path, kLiveExtension) ? read_live_data(*bytes, warn)
                                                                             : read_coverage_data(*bytes, warn);
        for (const DataRecord& record : records) out += record_text(record);
    }
    emit(options.output, out);
    return error_count() > 0 ? 1 : 0;
}

}  // namespace qor::report
