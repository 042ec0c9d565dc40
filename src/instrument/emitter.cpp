#include "instrument/emitter.hpp"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "foundation/text.hpp"
#include "instrument/mcdc_record.hpp"

namespace qor {

std::string InstFunction::full_name() const {
    if (!qualified) return name;
    size_t sep = last_separator(file, SeparatorRule::SlashThenBackslash);
    return (sep == std::string::npos ? file : file.substr(sep + 1)) + "/" + name;
}

TokenId InstrumentEmitter::echo_token(std::string_view text, bool in_function) {
    if (in_function) return buffer_.append_token(text);
    buffer_.flush_all(out_);
    write(text);
    return 0;
}

void InstrumentEmitter::echo_layout(std::string_view text, bool in_function) {
    if (in_function) {
        buffer_.append_layout(text);
    } else {
        buffer_.flush_all(out_);
        write(text);
    }
}

void InstrumentEmitter::line_marker(std::string_view text, bool in_function) {
    if (in_function || !system_text_) return;
    buffer_.flush_all(out_);
    out_ = system_text_->line_marker(text);
}

std::string InstrumentEmitter::probe(const char* macro, const std::string& rest) const {
    return std::string(macro) + "(" + current_->name + "," + std::to_string(current_->number) + rest + ")";
}

void InstrumentEmitter::begin_function(const std::string& name, bool qualified) {
    auto record = std::make_unique<InstFunction>();
    record->name = name;
    record->qualified = qualified;
    record->file = source_;
    record->number = static_cast<int>(functions_.size()) + 1;
    current_ = record.get();
    by_name_.try_emplace(name, current_);
    functions_.push_back(std::move(record));
    for (auto& function : functions_) function->callee_mark.reset();
    next_callee_ = 0;
    body_seen_ = false;
    decision_index_ = -1;
    rewritten_.clear();
    loops_.clear();
    switches_ = 0;
}

std::string InstrumentEmitter::flag(const char* base, int depth) {
    return depth > 1 ? base + std::to_string(depth) : std::string(base);
}

void InstrumentEmitter::body_open(TokenId brace) {
    if (!current_ || body_seen_) return;
    body_seen_ = true;
    buffer_.flush_through(brace, out_);
    int number = current_->number;
    if (condition_coverage()) {
        write("QVX_MCDC_DEF_0(QVX_CM_NEST_COMP" + std::to_string(number) + ",QVX_SZ_VECT_COMP" +
              std::to_string(number) + ");\n");
        component_descriptions_ += (number == 1 ? "\n{" : ",\n{") + std::to_string(number) + ", " +
                                   quoted_escaped(current_->full_name()) + "}";
    }
    write(probe("QVX_CD1") + "\n {");
}

void InstrumentEmitter::body_close(TokenId brace, bool falls_off, int branch_count) {
    if (!current_) return;
    if (falls_off)
        buffer_.replace(brace, brace, "{" + probe("QVX_CDF") + "\n}\n}}");
    else
        after(brace, "}");
    buffer_.flush_all(out_);
    current_->branch_count = branch_count;
    current_->callee_count = next_callee_;
    current_ = nullptr;
}

void InstrumentEmitter::after(TokenId token, std::string_view text) { buffer_.insert_after(token, text, out_); }

void InstrumentEmitter::before(TokenId token, std::string_view text) { buffer_.insert_before(token, text, out_); }

void InstrumentEmitter::open_branch(TokenId last, int number) {
    if (current_) after(last, "{\n" + branch_probe(number) + "\n");
}

void InstrumentEmitter::close_branch(TokenId last) {
    if (current_) after(last, "}\n");
}

void InstrumentEmitter::else_without_source(TokenId last, int number) {
    if (current_) after(last, "}\nelse\n " + branch_probe(number) + "\n");
}

void InstrumentEmitter::else_keyword(TokenId else_token, int number) {
    if (!current_) return;
    before(else_token, "}\n");
    after(else_token, "{\n" + branch_probe(number) + "\n");
}

void InstrumentEmitter::loop_flag(TokenId keyword) {
    if (!current_) return;
    loops_.push_back({});
    before(keyword, "{\nint " + loop_flag_name() + " = 0;\n");
}

void InstrumentEmitter::loop_exit(TokenId last, int number) {
    if (!current_) return;
    after(last, "}\nif (!" + loop_flag_name() + ") " + branch_probe(number) + "\n}\n");
    if (!loops_.empty()) loops_.pop_back();
}

// The body runs in a do ... while (0) of its own, so that a continue
// goes to the condition. Only a body that a break leaves needs the flag
// that takes the break on: without it the outer loop ends by its
// condition alone, which gcc sees as constant when it is.
void InstrumentEmitter::do_head(TokenId keyword) {
    if (!current_) return;
    loops_.push_back({keyword, false});
    buffer_.replace(keyword, keyword, "for (;;)\n {\n do\n");
}

void InstrumentEmitter::do_tail(TokenId while_token, TokenId paren) {
    if (!current_ || loops_.empty()) return;
    std::string name = loop_flag_name();
    if (loops_.back().broken) {
        buffer_.replace(loops_.back().do_keyword, loops_.back().do_keyword,
                        "for (;;)\n { int " + name + " = 0;\n do\n");
        buffer_.replace(while_token, while_token, "while (0);\n if (" + name + ") break;\n if (");
    } else {
        buffer_.replace(while_token, while_token, "while (0);\n if (");
    }
    buffer_.drop(paren);
}

void InstrumentEmitter::do_decision(TokenId paren, int number) {
    if (!current_) return;
    buffer_.replace(paren, paren,
                    ")\n " + branch_probe(number) + "\n else {\n " + branch_probe(number + 1) + " break; }\n}\n");
}

void InstrumentEmitter::do_end(TokenId semicolon) {
    if (!current_) return;
    buffer_.drop(semicolon);
    if (!loops_.empty()) loops_.pop_back();
}

void InstrumentEmitter::switch_flag(TokenId keyword) {
    if (!current_) return;
    ++switches_;
    before(keyword, "{\nint " + switch_flag_name() + " = 0;\n");
}

void InstrumentEmitter::switch_end(TokenId last, int implicit_default) {
    if (!current_) return;
    // The implicit default is counted after the switch, where the flag is
    // still clear when no case was taken. A default label added to the
    // body would keep the compiler from warning about enumeration values
    // that no case handles, and make it warn about a switch on a
    // truth value whose cases are 0 and 1.
    if (implicit_default > 0)
        after(last, "\nif (!" + switch_flag_name() + ") " + branch_probe(implicit_default) + "\n");
    after(last, "}\n");
    --switches_;
}

void InstrumentEmitter::label_end(TokenId colon) {
    if (current_) last_colon_ = colon;
}

void InstrumentEmitter::case_probe(int number) {
    if (!current_) return;
    std::string name = switch_flag_name();
    after(last_colon_, "if (!" + name + ") {\n " + name + " = 1;\n " + branch_probe(number) + "\n}\n");
}

void InstrumentEmitter::break_in_loop(TokenId keyword, TokenId semicolon) {
    if (!current_) return;
    if (!loops_.empty()) loops_.back().broken = true;
    buffer_.replace(keyword, semicolon, "{ " + loop_flag_name() + " = 1;\n break;}\n");
}

void InstrumentEmitter::return_statement(TokenId keyword, TokenId semicolon) {
    if (!current_) return;
    before(keyword, "{" + probe("QVX_CDF") + "\n");
    after(semicolon, "}\n");
}

void InstrumentEmitter::call(TokenId first, TokenId last, const std::string& callee) {
    if (!current_) return;
    int number = ++current_->call_count;
    int known = 0;
    int callee_number = 0;
    auto found = by_name_.find(callee);
    if (found != by_name_.end()) {
        InstFunction& function = *found->second;
        known = function.number;
        if (!function.callee_mark) function.callee_mark = ++next_callee_;
        callee_number = *function.callee_mark;
    } else {
        callee_number = ++next_callee_;
    }
    after(last, ")");
    before(first, "(" + probe("QVX_CALL", "," + std::to_string(number) + "," + std::to_string(known) +
                                                              "," + std::to_string(callee_number)) + ",");
}

bool InstrumentEmitter::rewrite_decision(ConditionNode& tree, const std::vector<TokenRange>& conditions,
                                         TokenRange replaced, int line, int branch) {
    if (!current_ || !condition_coverage() || !buffer_.holds(replaced.first, replaced.last)) return false;
    std::vector<std::string> compiled;
    for (const TokenRange& condition : conditions) {
        std::optional<std::string> text = buffer_.text(condition.first, condition.last);
        if (!text) return false;
        compiled.push_back(std::move(*text));
    }
    int count = number_conditions(tree);
    VectorSets sets = vector_sets(tree, count);
    int record = ++*mcdc_records_;
    decision_descriptions_ += mcdc_record({current_->number, record, line, branch}, tree, sets,
                                          decision_descriptions_.empty());
    for (int outcome : {1, 0}) {
        for (const ConditionVector& vector : outcome ? sets.when_true : sets.when_false)
            current_->vectors.push_back({line, outcome, vector_text(vector), record, count});
    }
    int index = ++decision_index_;
    // The decisions inside this one (in a statement expression of a
    // condition) were rewritten before it and lie at the end of the list.
    size_t kept = rewritten_.size();
    while (kept > 0 && replaced.contains(rewritten_[kept - 1].range)) index = std::max(index, rewritten_[--kept].index + 1);
    rewritten_.resize(kept);
    rewritten_.push_back({replaced, index});
    decision_index_ = index;
    current_->max_index = std::max(current_->max_index, index);
    current_->max_conditions = std::max(current_->max_conditions, count);
    std::string text = "QVX_CM_0(" + std::to_string(index) + "," + current_->name + "," +
                       std::to_string(current_->number) + "," + std::to_string(line) + "," + std::to_string(branch) +
                       "," + std::to_string(count) + "," + std::to_string(record) + "," +
                       instrumented_text(tree, compiled, index) + ") ";
    buffer_.replace(replaced.first, replaced.last, text);
    return true;
}

bool InstrumentEmitter::constant_text(TokenRange range) const {
    std::optional<std::string> text = buffer_.text(range.first, range.last);
    if (!text) return false;
    const std::string_view operators = "()!~+-*/%<>=&|^?:, \t\n";
    for (size_t i = 0; i < text->size();) {
        char c = (*text)[i];
        if (c >= '0' && c <= '9') {
            // A number with its suffixes and exponent: letters after a digit.
            while (i < text->size() && (std::isalnum(static_cast<unsigned char>((*text)[i])) || (*text)[i] == '.' ||
                                        (((*text)[i] == '+' || (*text)[i] == '-') && std::strchr("eEpP", (*text)[i - 1]))))
                ++i;
        } else if (c == '\'') {
            for (++i; i < text->size() && (*text)[i] != '\''; ++i)
                if ((*text)[i] == '\\') ++i;
            ++i;
        } else if (operators.find(c) != std::string_view::npos) {
            ++i;
        } else {
            return false;
        }
    }
    return true;
}

void InstrumentEmitter::abandon_function() {
    buffer_.flush_all(out_);
    current_ = nullptr;
}

void InstrumentEmitter::finish() {
    buffer_.flush_all(out_);
    if (system_text_) system_text_->finish();
}

}  // namespace qor
