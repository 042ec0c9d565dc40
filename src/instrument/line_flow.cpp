#include "instrument/line_flow.hpp"

#include <algorithm>

namespace qor {

void LineFlow::begin(const std::string& name, int line) {
    *this = LineFlow();
    open_ = true;
    name_ = name;
    line_ = line;
    flow_ = {1};
    lines_[line].insert(flow_);
}

void LineFlow::token(TokenId token, int line, bool code) {
    if (open_ && token != 0) tokens_.push_back({token, line, code});
}

void LineFlow::not_code(TokenId first, TokenId last) {
    for (auto it = tokens_.rbegin(); it != tokens_.rend() && it->id >= first; ++it)
        if (it->id <= last) it->code = false;
}

// The tokens consumed up to `last` take the flow of this point.
void LineFlow::flow_to(TokenId last) {
    for (; flowed_ < tokens_.size() && tokens_[flowed_].id <= last; ++flowed_) {
        const Token& token = tokens_[flowed_];
        if (!token.code || (token.line == last_line_ && flow_ == last_flow_)) continue;
        lines_[token.line].insert(flow_);
        last_line_ = token.line;
        last_flow_ = flow_;
    }
}

int LineFlow::reference() {
    references_.emplace_back();
    return static_cast<int>(references_.size()) - 1;
}

LineFlow::Sum LineFlow::plus(Sum a, const Sum& b) {
    a.insert(a.end(), b.begin(), b.end());
    std::sort(a.begin(), a.end());
    return a;
}

LineFlow::Construct* LineFlow::breakable() {
    for (auto it = constructs_.rbegin(); it != constructs_.rend(); ++it)
        if (it->kind != Frame::If) return &*it;
    return nullptr;
}

// --- if ---

void LineFlow::if_head(TokenId end, int then_branch) {
    if (!open_) return;
    flow_to(end);
    constructs_.push_back({Frame::If, {}, {}});
    flow_ = {then_branch};
}

void LineFlow::else_start(TokenId else_token, int else_branch) {
    if (!open_ || constructs_.empty()) return;
    not_code(else_token, else_token);
    flow_to(else_token);
    constructs_.back().saved = flow_;
    flow_ = {else_branch};
}

void LineFlow::if_end(TokenId end, int implicit_else) {
    if (!open_ || constructs_.empty()) return;
    flow_to(end);
    Construct done = std::move(constructs_.back());
    constructs_.pop_back();
    flow_ = implicit_else > 0 ? plus(flow_, {implicit_else}) : plus(done.saved, flow_);
}

// --- while and for ---

void LineFlow::loop_start(TokenId keyword) {
    if (!open_) return;
    flow_to(keyword - 1);
    constructs_.push_back({Frame::Loop, {}, {}});
}

// The head runs once for each evaluation of the condition: each one
// enters the body or leaves the loop.
void LineFlow::loop_head(TokenId end, int body_branch) {
    if (!open_ || constructs_.empty()) return;
    int head = reference();
    flow_ = ref(head);
    flow_to(end);
    constructs_.back().head = head;
    constructs_.back().saved = {body_branch};
    flow_ = {body_branch};
}

void LineFlow::loop_end(TokenId end, int exit_branch) {
    if (!open_ || constructs_.empty()) return;
    flow_to(end);
    Construct done = std::move(constructs_.back());
    constructs_.pop_back();
    if (done.head >= 0) references_[done.head] = plus(done.saved, {exit_branch});
    flow_ = plus(done.breaks, {exit_branch});
}

// --- do ---

void LineFlow::do_start(TokenId keyword) {
    if (!open_) return;
    flow_to(keyword);
    Construct loop{Frame::Do, flow_, {}};
    loop.body = reference();
    flow_ = ref(loop.body);
    constructs_.push_back(std::move(loop));
}

void LineFlow::do_tail(TokenId while_keyword) {
    if (!open_ || constructs_.empty()) return;
    flow_to(while_keyword - 1);
    constructs_.back().head = reference();
    flow_ = ref(constructs_.back().head);
}

// The body runs on entry and on each repetition; the tail once for each
// evaluation of the condition.
void LineFlow::do_end(TokenId end, int repeat_branch, int exit_branch) {
    if (!open_ || constructs_.empty()) return;
    flow_to(end);
    Construct done = std::move(constructs_.back());
    constructs_.pop_back();
    references_[done.body] = plus(done.saved, {repeat_branch});
    if (done.head >= 0) references_[done.head] = plus({repeat_branch}, {exit_branch});
    flow_ = plus(done.breaks, {exit_branch});
}

// --- switch ---

// The body is reached through its case labels only.
void LineFlow::switch_head(TokenId end) {
    if (!open_) return;
    flow_to(end);
    constructs_.push_back({Frame::Switch, {}, {}});
    flow_ = {};
}

void LineFlow::case_label(TokenId keyword) {
    if (open_ && case_group_start_ == 0) case_group_start_ = keyword;
}

// The group's probe counts the jumps to it; the statements before it
// may fall through. Its labels count as the statements after them.
void LineFlow::case_group(int branch) {
    if (!open_) return;
    flow_to(case_group_start_ - 1);
    case_group_start_ = 0;
    flow_ = plus(flow_, {branch});
}

void LineFlow::switch_end(TokenId end, int implicit_default) {
    if (!open_ || constructs_.empty()) return;
    flow_to(end);
    Construct done = std::move(constructs_.back());
    constructs_.pop_back();
    flow_ = plus(flow_, done.breaks);
    if (implicit_default > 0) flow_ = plus(flow_, {implicit_default});
}

// --- jumps and labels ---

void LineFlow::break_statement(TokenId end) {
    if (!open_) return;
    flow_to(end);
    if (Construct* left = breakable()) left->breaks = plus(left->breaks, flow_);
    flow_ = {};
}

void LineFlow::leave(TokenId end) {
    if (!open_) return;
    flow_to(end);
    flow_ = {};
}

int LineFlow::label_reference(const std::string& label) {
    auto [found, added] = labels_.try_emplace(label, 0);
    if (added) found->second = reference();
    return found->second;
}

void LineFlow::goto_statement(TokenId end, const std::string& label) {
    if (!open_) return;
    flow_to(end);
    int target = label_reference(label);
    references_[target] = plus(references_[target], flow_);
    flow_ = {};
}

LineFlow::Sum LineFlow::unknown() {
    if (unknown_ < 0) {
        unknown_ = reference();
        references_[unknown_] = ref(unknown_);
    }
    return ref(unknown_);
}

void LineFlow::label_address(const std::string& label) {
    if (!open_) return;
    int target = label_reference(label);
    references_[target] = plus(references_[target], unknown());
}

void LineFlow::nested_function_begin(TokenId brace) {
    if (!open_) return;
    flow_to(brace);
    around_nested_.push_back(flow_);
    flow_ = unknown();
}

void LineFlow::nested_function_end(TokenId close) {
    if (!open_ || around_nested_.empty()) return;
    flow_to(close);
    flow_ = around_nested_.back();
    around_nested_.pop_back();
}

// A label is no code of its own: which count its line has depends on how
// the compiler lays out the jumps to it.
void LineFlow::label(TokenId name, TokenId colon, const std::string& label) {
    if (!open_) return;
    not_code(name, colon);
    flow_to(colon);
    flow_ = plus(flow_, ref(label_reference(label)));
}

// --- the end ---

// A reference that leads back to itself is a loop that no probe counts:
// its lines get no count.
std::optional<CountSum> LineFlow::settle_reference(int k, std::vector<int>& visiting) {
    if (settled_[k]) return *settled_[k];
    if (std::find(visiting.begin(), visiting.end(), k) != visiting.end()) return std::nullopt;
    visiting.push_back(k);
    std::optional<CountSum> sum = settle(references_[k], visiting);
    visiting.pop_back();
    settled_[k] = sum;
    return sum;
}

std::optional<CountSum> LineFlow::settle(const Sum& sum, std::vector<int>& visiting) {
    CountSum out;
    for (int term : sum) {
        if (term >= 0) {
            out.push_back(term);
            continue;
        }
        std::optional<CountSum> referred = settle_reference(-1 - term, visiting);
        if (!referred) return std::nullopt;
        out.insert(out.end(), referred->begin(), referred->end());
    }
    std::sort(out.begin(), out.end());
    return out;
}

FunctionLines LineFlow::end(int close_line) {
    FunctionLines result{name_, line_, {}};
    if (!open_) return result;
    flow_to(tokens_.empty() ? 0 : tokens_.back().id);
    lines_[close_line].insert({kExits});
    settled_.assign(references_.size(), std::nullopt);
    for (const auto& [line, sums] : lines_) {
        std::set<CountSum> settled;
        for (const Sum& sum : sums) {
            std::vector<int> visiting;
            if (std::optional<CountSum> counted = settle(sum, visiting)) settled.insert(std::move(*counted));
        }
        if (!settled.empty()) result.lines.push_back({line, {settled.begin(), settled.end()}});
    }
    open_ = false;
    return result;
}

}  // namespace qor
