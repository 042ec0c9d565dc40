// How often each line of an instrumented function runs, as a sum of the
// counts of its probes: the flow of control through the function's
// statements, followed as the parser reads them.
//
// The flow at a point is a sum: the entry's count at the start, a
// branch's count inside that branch, the sum of the regions that reach
// the end of an if, a loop or a switch after it, and nothing after a
// return, break, continue or goto. A token of code takes the flow of the
// point where the parser consumed it; its line takes the sums of its
// tokens. Counts not known while reading (a loop head runs once more than
// its body, a label is reached by gotos later in the text) are references
// settled at the function's end.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "foundation/line_map.hpp"
#include "frontend/token_id.hpp"

namespace qor {

class LineFlow {
public:
    // A function whose body begins; its declarator's line counts the entries.
    void begin(const std::string& name, int line);
    bool open() const { return open_; }
    // A token of the function read by the lexer: `code` when it lies in
    // the function's own file.
    void token(TokenId token, int line, bool code);

    void if_head(TokenId end, int then_branch);
    void else_start(TokenId else_token, int else_branch);
    // `implicit_else` is the branch of an if without else, or 0.
    void if_end(TokenId end, int implicit_else);

    // while and for: the keyword, the head's end with the body's branch,
    // the loop's end with the branch of its exit.
    void loop_start(TokenId keyword);
    void loop_head(TokenId end, int body_branch);
    void loop_end(TokenId end, int exit_branch);

    void do_start(TokenId keyword);
    void do_tail(TokenId while_keyword);
    void do_end(TokenId end, int repeat_branch, int exit_branch);

    void switch_head(TokenId end);
    void case_label(TokenId keyword);
    // The case group whose labels were read since the last one starts.
    void case_group(int branch);
    void switch_end(TokenId end, int implicit_default);

    void break_statement(TokenId end);
    void leave(TokenId end);  // return and continue
    void goto_statement(TokenId end, const std::string& label);
    void label(TokenId name, TokenId colon, const std::string& label);
    // A label whose address is taken is also reached by computed jumps, in
    // counts that no probe tells: the lines it reaches get no count.
    void label_address(const std::string& label);

    // A nested function runs when it is called, not where it stands: the
    // flow goes past it, and inside, the lines that no branch of its own
    // reaches get no count (no probe counts its calls).
    void nested_function_begin(TokenId brace);
    void nested_function_end(TokenId close);

    // The body's closing brace: its line counts the exits.
    FunctionLines end(int close_line);

private:
    // A term of a sum: a branch number, kExits, or -1 - k for the k-th
    // reference.
    using Sum = std::vector<int>;
    enum class Frame { If, Loop, Do, Switch };
    struct Construct {
        Frame kind;
        Sum saved;   // the flow before (a do), or at the end of the then part
        Sum breaks;  // the flow of the breaks that leave it
        int head = -1;  // a loop's or do tail's reference
        int body = -1;  // a do body's reference
    };
    struct Token {
        TokenId id;
        int line;
        bool code;
    };

    void flow_to(TokenId last);
    void not_code(TokenId first, TokenId last);
    int reference();
    Sum ref(int k) const { return {-1 - k}; }
    static Sum plus(Sum a, const Sum& b);
    std::optional<CountSum> settle(const Sum& sum, std::vector<int>& visiting);
    std::optional<CountSum> settle_reference(int k, std::vector<int>& visiting);
    Construct* breakable();
    int label_reference(const std::string& label);
    Sum unknown();

    bool open_ = false;
    std::string name_;
    int line_ = 0;
    Sum flow_;
    std::vector<Token> tokens_;
    size_t flowed_ = 0;  // tokens given their flow
    int last_line_ = 0;  // the line and flow given last, which most tokens repeat
    Sum last_flow_;
    std::map<int, std::set<Sum>> lines_;
    std::vector<Construct> constructs_;
    std::vector<Sum> references_;
    std::vector<std::optional<std::optional<CountSum>>> settled_;
    std::map<std::string, int> labels_;  // label name: its reference
    int unknown_ = -1;  // a reference that refers to itself: no count
    std::vector<Sum> around_nested_;  // the flow where each open nested function stands
    TokenId case_group_start_ = 0;  // the first label of the group not yet started
};

}  // namespace qor
