// With QOR_CC_PROFILE set in the environment, a run reports on standard
// error where its time went: "qor_cc profile: <phase> <milliseconds>" per
// phase, summed over the run's files, in the order the phases first ran,
// then the processor time of the child processes it waited for (the
// external preprocessor, the compiler).
#pragma once

#include <chrono>

namespace qor {

// Adds the time from its creation to its end to `phase` (a literal).
class PhaseTimer {
public:
    explicit PhaseTimer(const char* phase);
    ~PhaseTimer();
    PhaseTimer(const PhaseTimer&) = delete;
    PhaseTimer& operator=(const PhaseTimer&) = delete;

private:
    const char* phase_;
    std::chrono::steady_clock::time_point start_;
};

// Writes the report; nothing without QOR_CC_PROFILE.
void report_phase_profile();

}  // namespace qor
