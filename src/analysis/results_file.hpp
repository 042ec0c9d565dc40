// The results file of one source file: a fixed schema of entity classes,
// then the file and component objects, their attributes, every stored
// metric value and which components belong to which file.
#pragma once

#include <string>

#include "analysis/metrics.hpp"
#include "analysis/object_identities.hpp"
#include "foundation/metric_names.hpp"

namespace qor {

// Writes the results of `metrics` to `path` (a name whose variables are
// already expanded). A file that cannot be written is reported as an
// error and the old file stays as it was (see AtomicFile).
void write_results_file(const std::string& path, const MetricCollector& metrics, ObjectIdentities& identities);

// The results file's text; names take their identities at their first
// lookup and every instance line takes a new one.
std::string results_text(const MetricCollector& metrics, ObjectIdentities& identities);

}  // namespace qor
