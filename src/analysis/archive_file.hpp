// The archive of one source file: a header, the file's components with
// their dates, and one record per component with its six Halstead
// counters, control graph, calls and decision descriptions.
#pragma once

#include <string>
#include <string_view>

#include "analysis/model.hpp"

namespace qor {

// What a run with condition coverage adds to the archive.
struct ConditionDescriptions {
    std::string source;      // the source file's name
    std::string components;  // the instrumented functions, each record after a line end
    std::string decisions;   // the MC/DC decision records, each after a line end
};

// Writes the archive of the model to `path` (a name whose variables are
// already expanded); `date` is the source file's date text. A file that
// cannot be written is reported as an error and the old file stays as it
// was. Numbers the control nodes of every component.
void write_archive(const std::string& path, AnalysisModel& model, const std::string& date,
                   const ConditionDescriptions* conditions = nullptr);

// The archive's text; the description sections only with `conditions`.
std::string archive_text(AnalysisModel& model, const std::string& date,
                         const ConditionDescriptions* conditions = nullptr);

// Writes a name or call line longer than 109 characters as pieces of 109
// characters each ended by a backslash and a line end; returns the rest
// (1 to 109 characters, or the empty text), which the caller ends.
std::string_view split_long_line(std::string_view line, std::string& out);

}  // namespace qor
