#include "foundation/phase_profile.hpp"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>
#include <vector>

namespace qor {

namespace {

bool profiling() {
    static const bool enabled = std::getenv("QOR_CC_PROFILE") != nullptr;
    return enabled;
}

std::vector<std::pair<const char*, double>>& phases() {
    static std::vector<std::pair<const char*, double>> list;
    return list;
}

void add(const char* phase, double milliseconds) {
    for (auto& [name, total] : phases()) {
        if (std::string_view(name) == phase) {
            total += milliseconds;
            return;
        }
    }
    phases().emplace_back(phase, milliseconds);
}

double milliseconds(const timeval& time) { return time.tv_sec * 1000.0 + time.tv_usec / 1000.0; }

}  // namespace

PhaseTimer::PhaseTimer(const char* phase) : phase_(phase) {
    if (profiling()) start_ = std::chrono::steady_clock::now();
}

PhaseTimer::~PhaseTimer() {
    if (!profiling()) return;
    std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - start_;
    add(phase_, spent.count());
}

void report_phase_profile() {
    if (!profiling()) return;
    for (const auto& [name, total] : phases()) std::fprintf(stderr, "qor_cc profile: %s %.1f\n", name, total);
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    std::fprintf(stderr, "qor_cc profile: child processes (processor time) %.1f\n",
                 milliseconds(children.ru_utime) + milliseconds(children.ru_stime));
}

}  // namespace qor
