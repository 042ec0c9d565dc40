#include <gtest/gtest.h>

#include "analysis/control_graph.hpp"

namespace qor {
namespace {

using K = NodeKind;

class ControlGraph : public ::testing::Test {
protected:
    const std::string a_c = "a.c";
    const std::string h_h = "h.h";
    ControlGraphBuilder builder;
    ControlList list;

    void add(K kind, int line, const std::string* file = nullptr) { builder.control_add(list, kind, file ? file : &a_c, line); }
    std::vector<int> sequences() const {
        std::vector<int> out;
        for (const auto& node : list) out.push_back(node->sequence);
        return out;
    }
};

TEST_F(ControlGraph, TextFormWithRunsLabelsAndTargets) {
    add(K::DEBU, 3);
    add(K::RIEN, 4);
    add(K::RIEN, 5);
    add(K::SI, 6);
    add(K::SAUT, 6);
    builder.control_target(list, "done");
    add(K::FISI, 6);
    builder.control_label(list, "done");
    builder.control_label(list, "again");
    add(K::RIEN, 7);
    add(K::RIEN, 8);
    add(K::FIN, 9);
    EXPECT_EQ(control_graph_text(list),
              ":DEBU ;#3.a.c,\n"
              ":RIEN /2;#4.\n"
              ":SI   ;#6.\n"
              ":SAUT /done;#6.\n"
              ":FISI ;#6.\n"
              "!done!again:RIEN /2;#7.\n"
              ":FIN  ;#9.\n");
    EXPECT_EQ(sequences(), (std::vector<int>{1, 2, 2, 3, 4, 5, 6, 6, 7}));
}

TEST_F(ControlGraph, EmptyComponentAndOneRun) {
    add(K::DEBU, 1);
    add(K::FIN, 2);
    EXPECT_EQ(control_graph_text(list), ":DEBU ;#1.a.c,\n:FIN  ;#2.\n");
    list.pop_back();
    for (int line : {4, 5, 6}) add(K::RIEN, line);
    EXPECT_EQ(control_graph_text(list), ":DEBU ;#1.a.c,\n:RIEN /3;#4.\n");
    EXPECT_EQ(sequences(), (std::vector<int>{1, 2, 2, 2}));
}

TEST_F(ControlGraph, AnotherFileClosesTheRunAndNamesTheFile) {
    const std::string other_a_c = "a.c";  // equal name, not the interned string
    add(K::DEBU, 1);
    add(K::RIEN, 4);
    add(K::RIEN, 10, &h_h);
    add(K::RIEN, 11, &h_h);
    add(K::RIEN, 5);
    add(K::RIEN, 6, &other_a_c);  // flagged, yet the same file for the run
    builder.control_label(list, "x");  // waits in the file of the node before
    add(K::SORT, 7, &other_a_c);
    add(K::FISW, 2, &h_h);
    EXPECT_EQ(control_graph_text(list),
              ":DEBU ;#1.a.c,\n"
              ":RIEN /1;#4.\n"
              ":RIEN /2;#10.h.h,\n"
              ":RIEN /2;#5.a.c,\n"
              "!x:SORT ;#7.\n"
              ":FISW ;#2.h.h,\n");
}

TEST_F(ControlGraph, PendingNodeIsFilledByTheNextStatement) {
    ControlNode* early_call = builder.node_for_call();
    builder.control_target(list, "t");  // no list yet: the pending node starts it
    add(K::DEBU, 1);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].get(), early_call);
    EXPECT_TRUE(early_call->file_changed);

    ControlNode* call = builder.node_for_call();
    EXPECT_EQ(builder.node_for_call(), call);
    add(K::RIEN, 2);
    EXPECT_EQ(list.back().get(), call);

    builder.control_label(list, "l");
    ControlNode* labelled_call = builder.node_for_call();
    add(K::RETU, 3);
    EXPECT_EQ(list.back().get(), labelled_call);
    EXPECT_EQ(builder.last_kind(), K::RETU);

    // A call node that a label displaces stays valid, outside the graph.
    ControlNode* displaced = builder.node_for_call();
    builder.control_label(list, "m");
    add(K::FIN, 4);
    EXPECT_EQ(list.size(), 4u);
    EXPECT_EQ(control_graph_text(list), ":DEBU /t;#1.a.c,\n:RIEN /1;#2.\n!l:RETU ;#3.\n!m:FIN  ;#4.\n");
    EXPECT_EQ(labelled_call->sequence, 3);
    EXPECT_EQ(displaced->kind, K::NO_C);
    EXPECT_EQ(displaced->sequence, 0);
}

}  // namespace
}  // namespace qor
