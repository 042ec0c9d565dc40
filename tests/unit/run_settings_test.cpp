// The settings that the environment gives a run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

#include "driver/run_settings.hpp"

namespace qor {
namespace {

// Sets (or unsets) variables for the test and restores them afterwards.
class ScopedEnvironment {
public:
    void set(const std::string& name, std::optional<std::string> value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        apply(name, value);
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_) apply(name, value);
    }

private:
    static void apply(const std::string& name, const std::optional<std::string>& value) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

TEST(RunSettings, EnvironmentSwitches) {
    ScopedEnvironment env;
    for (const char* name : {"QOR_CC_QUIET", "QOR_CC_DEF", "QOR_CC_NO_DEL", "QOR_NEWRES"}) env.set(name, std::nullopt);
    RunSettings plain = RunSettings::from_environment();
    EXPECT_FALSE(plain.quiet || plain.options_file_variable);
    EXPECT_TRUE(plain.remove_failed_outputs && plain.new_results);

    // Set at all, even empty, is enough for the switches.
    for (const char* name : {"QOR_CC_QUIET", "QOR_CC_DEF", "QOR_CC_NO_DEL"}) env.set(name, "");
    RunSettings set = RunSettings::from_environment();
    EXPECT_TRUE(set.quiet && set.options_file_variable);
    EXPECT_FALSE(set.remove_failed_outputs);
}

TEST(RunSettings, OnlyOldTurnsTheCurrentResultsOff) {
    ScopedEnvironment env;
    for (const char* old : {"old", "OLD"}) {
        env.set("QOR_NEWRES", old);
        EXPECT_FALSE(RunSettings::from_environment().new_results) << old;
    }
    for (const char* other : {"Old", "older", "", "new"}) {
        env.set("QOR_NEWRES", other);
        EXPECT_TRUE(RunSettings::from_environment().new_results) << other;
    }
}

TEST(RunSettings, AnswerCacheDirectoriesInOrderOfPreference) {
    ScopedEnvironment env;
    env.set("XDG_CACHE_HOME", "/x");
    env.set("HOME", "/h");
    env.set("TMPDIR", "/t");
    std::string temporary = "/t/qor_cc-cache-" + std::to_string(getuid());
    using Names = std::vector<std::string>;
    EXPECT_EQ(RunSettings::from_environment().answer_cache_directories,
              (Names{"/x/qor_cc", "/h/.cache/qor_cc", temporary}));
    // Empty variables count as unset.
    env.set("XDG_CACHE_HOME", "");
    env.set("HOME", std::nullopt);
    env.set("TMPDIR", "");
    EXPECT_EQ(RunSettings::from_environment().answer_cache_directories,
              (Names{"/tmp/qor_cc-cache-" + std::to_string(getuid())}));
}

}  // namespace
}  // namespace qor
