// The analysis state that lives for the whole run: what names the objects
// of the results files and numbers the MC/DC decision records.
#pragma once

#include "analysis/object_identities.hpp"

namespace qor {

struct RunAnalysis {
    // Names the objects of every results file of the run.
    ObjectIdentities identities;
    // The MC/DC decision records written in the run: the next one's
    // number is this count + 1.
    int mcdc_records = 0;
};

}  // namespace qor
