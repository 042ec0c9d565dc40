// Writes the instrumented copy of a source file: the text as the lexer
// echoes it, with the probes of the coverage run-time inserted where the
// grammar's reductions say (function entry and exit, every branch of every
// decision, every call).
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "instrument/condition_tree.hpp"
#include "instrument/logical_nodes.hpp"
#include "instrument/source_buffer.hpp"
#include "instrument/system_header_text.hpp"

namespace qor {

// One vector of a decision that condition coverage instruments.
struct VectorRecord {
    int line = 0;
    int outcome = 0;  // 1: the vector gives true; 0: false
    std::string text;
    int decision = 0;  // the decision's record number in the run
    int conditions = 0;
};

// One function definition of the file, as the instrumentation script sees
// it.
struct InstFunction {
    std::string name;
    bool qualified = false;  // static or main: its full name carries the file
    std::string file;
    int number = 0;
    int branch_count = 0;
    int call_count = 0;
    std::optional<int> callee_mark;  // its callee number in the function being emitted
    int callee_count = 0;
    // With condition coverage: the vectors of its decisions, the largest
    // number of conditions of one decision and the largest decision index.
    std::vector<VectorRecord> vectors;
    int max_conditions = 0;
    int max_index = 0;

    // "name", or "file.c/name" for a qualified function.
    std::string full_name() const;
};

class InstrumentEmitter {
public:
    // `source` names the file whose copy `out` receives; a qualified
    // function's full name carries it, wherever the function is defined.
    // With condition coverage, `mcdc_records` is the run's count of MC/DC
    // decision records.
    InstrumentEmitter(FILE* out, std::string source, int* mcdc_records)
        : out_(out), source_(std::move(source)), mcdc_records_(mcdc_records) {}

    // The lexer's echo: into the buffer while a function is open, else
    // straight to the file.
    TokenId echo_token(std::string_view text, bool in_function);
    void echo_layout(std::string_view text, bool in_function);
    // A line marker of the text, outside functions: the text that follows
    // goes where `system_text` sends it (all to the copy without).
    void line_marker(std::string_view text, bool in_function);
    void set_system_header_text(SystemHeaderText* system_text) { system_text_ = system_text; }

    // A function definition whose component was opened; the others are
    // copied unchanged.
    void begin_function(const std::string& name, bool qualified);
    bool active() const { return current_ != nullptr; }
    bool condition_coverage() const { return mcdc_records_ != nullptr; }
    // The body's braces; `falls_off` when its end can be reached.
    void body_open(TokenId brace);
    void body_close(TokenId brace, bool falls_off, int branch_count);

    // A condition ends with `last` (its ')'); the true branch (or the else
    // branch `number` after `else`) opens.
    void open_branch(TokenId last, int number);
    // The branch that ends with `last` closes.
    void close_branch(TokenId last);
    // An if without else: its branch ends with `last`, then the else
    // branch that the source lacks.
    void else_without_source(TokenId last, int number);
    // The `else` of an if: the true branch closes before it.
    void else_keyword(TokenId else_token, int number);

    void loop_flag(TokenId keyword);
    void loop_exit(TokenId last, int number);
    void do_head(TokenId keyword);
    void do_tail(TokenId while_token, TokenId paren);
    void do_decision(TokenId paren, int number);
    void do_end(TokenId semicolon);

    void switch_flag(TokenId keyword);
    void switch_end(TokenId last, int implicit_default);
    // After a case or default label that ends with `colon`.
    void label_end(TokenId colon);
    void case_probe(int number);

    void break_in_loop(TokenId keyword, TokenId semicolon);
    void return_statement(TokenId keyword, TokenId semicolon);
    // A call from `first` to its ')' `last`; `callee` names a function of
    // the file or is empty.
    void call(TokenId first, TokenId last, const std::string& callee);

    // Condition coverage of a decision on line `line` whose true branch is
    // `branch` (0 for none): `tree` (its conditions' written texts) is
    // described, and the tokens `replaced` become its instrumented text,
    // built from the buffer's text of the conditions `conditions`, in
    // order. False, with nothing done, when a condition's text has left
    // the buffer.
    bool rewrite_decision(ConditionNode& tree, const std::vector<TokenRange>& conditions, TokenRange replaced,
                          int line, int branch);
    // The tokens `range` are constants and operators only (no name, no
    // call): an expression the compiler evaluates while it compiles.
    bool constant_text(TokenRange range) const;
    // After an expression statement and a do loop's condition the next
    // decision takes index 0 again.
    void reset_decision_index() { decision_index_ = -1; }

    // A function whose end the parser never reached: its text is written
    // as it stands.
    void abandon_function();
    // Writes what the buffer still holds.
    void finish();
    const std::vector<std::unique_ptr<InstFunction>>& functions() const { return functions_; }
    // With condition coverage: one "{number, "full name"}" record per
    // function, each after a line end, the archive's component descriptions.
    const std::string& component_descriptions() const { return component_descriptions_; }
    // With condition coverage: the MC/DC record of every rewritten
    // decision, each after a line end.
    const std::string& decision_descriptions() const { return decision_descriptions_; }

private:
    void write(std::string_view text) { std::fwrite(text.data(), 1, text.size(), out_); }
    // Text put into the buffer right after or right before a token.
    void after(TokenId token, std::string_view text);
    void before(TokenId token, std::string_view text);
    // The probe `macro` with the function's name and number, then `rest`.
    std::string probe(const char* macro, const std::string& rest = "") const;
    std::string branch_probe(int number) const { return probe("QVX_CDX", "," + std::to_string(number)); }
    // The flag of the innermost loop (that a break sets) or switch (that
    // its first case probe sets): `base` for the outermost one, the base
    // and the depth for those nested in it, so that none hides another.
    static std::string flag(const char* base, int depth);
    std::string loop_flag_name() const { return flag("qvxbrk", static_cast<int>(loops_.size())); }
    std::string switch_flag_name() const { return flag("qvxbool", switches_); }

    FILE* out_;
    SystemHeaderText* system_text_ = nullptr;
    std::string source_;
    int* mcdc_records_;
    std::string component_descriptions_;
    std::string decision_descriptions_;
    int decision_index_ = -1;
    // The function's rewritten decisions that no later one encloses,
    // with their index: a decision takes an index above those of the
    // decisions inside it, so that each declares a vector of its own name.
    struct Rewritten {
        TokenRange range;
        int index;
    };
    std::vector<Rewritten> rewritten_;
    // The open loops: a do loop's keyword, and whether a break left one.
    struct Loop {
        TokenId do_keyword = 0;
        bool broken = false;
    };
    std::vector<Loop> loops_;
    int switches_ = 0;  // the depth of the open switches
    SourceBuffer buffer_;
    std::vector<std::unique_ptr<InstFunction>> functions_;
    std::unordered_map<std::string, InstFunction*> by_name_;
    InstFunction* current_ = nullptr;
    bool body_seen_ = false;
    TokenId last_colon_ = 0;  // of the last case or default label
    int next_callee_ = 0;
};

}  // namespace qor
