#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "analysis/model.hpp"
#include "test_support.hpp"

namespace qor {
namespace {

using test::ExitCalled;

class ModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        diagnostics().set_exit_handler([](int status) { throw ExitCalled{status}; });
    }
    void TearDown() override { diagnostics().set_exit_handler(nullptr); }
    bool begin(const std::string& name, int kind = kComponentKind) {
        return model.module_begin(name, kind, 0, 1, &file, 1, graph);
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& record : model.modules()) out.push_back(record->name);
        return out;
    }
    static void expect_fatal(const std::function<void()>& action, const std::string& text) {
        testing::internal::CaptureStderr();
        EXPECT_THROW(action(), ExitCalled);
        EXPECT_NE(testing::internal::GetCapturedStderr().find(text), std::string::npos) << text;
    }

    std::string file = "a.c";
    ControlGraphBuilder graph;
    AnalysisModel model{"V3.0", "ARCHIVE", "LANG/C", "CURRENT_VERSION", true};
};

TEST_F(ModelTest, ModulesKeepListOrderAndReturnToTheEnclosingModule) {
    begin("f");
    EXPECT_EQ(model.module_end(), nullptr);
    EXPECT_EQ(model.current(), nullptr);
    begin("g");
    model.module_end();
    // A module begun inside another goes just before it; ending it returns there.
    begin("a.c", kFileKind);
    ModuleRecord* file_module = model.current();
    begin("h");
    EXPECT_EQ(model.module_end(), file_module);
    EXPECT_EQ(model.current(), file_module);
    model.module_end();
    EXPECT_EQ(names(), (std::vector<std::string>{"f", "g", "h", "a.c"}));

    // Same kind and name: no new record; the old one is current and open.
    EXPECT_FALSE(begin("g"));
    EXPECT_EQ(model.current()->name, "g");
    model.module_end();
    EXPECT_TRUE(begin("g", kClassKind));
    model.module_end();
    EXPECT_EQ(model.modules().size(), 5u);

    // module_find compares names only and keeps the current module on a miss.
    EXPECT_TRUE(model.module_find("h"));
    EXPECT_FALSE(model.module_find("nothing"));
    EXPECT_EQ(model.current()->name, "h");
}

TEST_F(ModelTest, CountersWrapAndRejectBadNumbers) {
    expect_fatal([&] { model.counter_add(INST, 1); }, "Attempt to handle null pointer.");
    begin("f");
    model.counter_add(INST, 65535);
    model.counter_add(INST, 2);
    EXPECT_EQ(model.counter_get(INST), 1);
    model.counter_add(0, 5);
    model.counter_add(39, 5);
    model.counter_add(38, 5);
    EXPECT_EQ(model.counter_get(38), 5);
    expect_fatal([&] { model.counter_get(39); }, "Counter type error.");
    expect_fatal([&] { model.count_occurrence(4, "x"); }, "Counter type error.");
    model.count_occurrence(4, "x", false);  // not counted, so not checked
    model.module_end();
}

TEST_F(ModelTest, SameOperandInTwoComponents) {
    begin("f");
    model.count_occurrence(OOPN, "x");
    model.count_occurrence(OOPN, "x");
    EXPECT_EQ(model.counter_get(OOPN), 2);
    EXPECT_EQ(model.counter_get(OPEN), 1);
    model.module_end();
    begin("g");
    model.count_occurrence(OOPN, "x");
    EXPECT_EQ(model.counter_get(OPEN), 1);
    model.module_end();

    ASSERT_EQ(model.operands().size(), 1u);
    const UsageList& users = model.operands().at("x");
    ASSERT_EQ(users.size(), 2u);
    EXPECT_EQ(users[0].module_name() + std::to_string(users[0].count), "f2");
    EXPECT_EQ(users[1].module_name() + std::to_string(users[1].count), "g1");
}

TEST_F(ModelTest, StillOpenModulesAreReportedAtDestruction) {
    auto open = std::make_unique<AnalysisModel>("V3.0", "ARCHIVE", "LANG/C", std::string(40, 'v'), true);
    EXPECT_EQ(open->version_label(), std::string(30, 'v'));
    open->module_begin("f", kComponentKind, 0, 1, &file, 1, graph);
    int errors = diagnostics().error_count();
    testing::internal::CaptureStderr();
    open.reset();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Mishandled modules."), std::string::npos);
    EXPECT_EQ(diagnostics().error_count(), errors + 1);
}

}  // namespace
}  // namespace qor
