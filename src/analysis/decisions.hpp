// Decision descriptions: one numbered text line per instrumentation point
// of a component (if, else, loops, cases, the function entry).
#pragma once

#include <string>
#include <vector>

namespace qor {

enum class DecisionKind { If, Else, While, EndWhile, Repeat, EndRepeat, ForLoop, EndForLoop, Case, ElseCase, Begin };

// The descriptions of one component, in decision-number order.
struct Descriptions {
    std::vector<std::string> lines;
    int next = 1;  // next number expected
    // Fills gaps with empty lines, appends, or replaces an earlier line.
    void put(int number, std::string text);
};

// A backslash and a line end before every character at a non-zero
// multiple of 100, for descriptions longer than 100 characters.
std::string wrap_description(const std::string& text);

// The run-wide decision counter and the contexts of the open switches.
class DecisionLog {
public:
    // Defined where SwitchContext is complete.
    DecisionLog();
    ~DecisionLog();
    DecisionLog(DecisionLog&&) noexcept;
    DecisionLog& operator=(DecisionLog&&) noexcept;

    int describe(Descriptions& descriptions, DecisionKind kind, const std::string& text, int line);
    int counter() const { return counter_; }
    void reset_counter() { counter_ = 1; }

    void switch_open(std::string expression);
    int switch_case(Descriptions& descriptions, const std::string& label, int line);
    int switch_default(Descriptions& descriptions, int line);
    int switch_flush(Descriptions& descriptions);
    int switch_close(Descriptions& descriptions, int line);
    // Forgets the switches of a function whose end was never parsed.
    void forget_switches();

private:
    struct SwitchContext;
    int counter_ = 1;
    std::vector<SwitchContext> switches_;
};

}  // namespace qor
