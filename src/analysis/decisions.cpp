#include "analysis/decisions.hpp"

#include <array>
#include <string_view>

namespace qor {

namespace {

constexpr std::array<std::string_view, 11> kDecisionNames = {
    "If", "Else", "While", "End-While", "Repeat", "End-Repeat", "For-Loop", "End-For-Loop", "Case", "Else-Case", "Begin",
};

constexpr size_t kWrapWidth = 100;
constexpr std::string_view kDefaultLabel = "default";

std::string_view decision_name(DecisionKind kind) { return kDecisionNames[static_cast<size_t>(kind)]; }

// A number right-aligned in five columns, as "%5d" prints it.
std::string number_field(int value) {
    std::string digits = std::to_string(value);
    if (digits.size() < 5) digits.insert(0, 5 - digits.size(), ' ');
    return digits;
}

// "<number> <name> <line>", the head of every description.
std::string description_head(int number, std::string_view name, int line) {
    std::string out = number_field(number);
    out += ' ';
    out += name;
    out += ' ';
    out += number_field(line);
    return out;
}

// The negated decisions: the path taken when the condition fails.
bool is_negated(DecisionKind kind) {
    return kind == DecisionKind::Else || kind == DecisionKind::EndWhile || kind == DecisionKind::EndRepeat ||
           kind == DecisionKind::EndForLoop;
}

}  // namespace

void Descriptions::put(int number, std::string text) {
    if (number < 1) return;  // numbers start at 1; nothing can sit before the first line
    while (number > next) {
        lines.emplace_back();
        ++next;
    }
    if (number == next) {
        lines.push_back(std::move(text));
        ++next;
    } else {
        lines[static_cast<size_t>(number - 1)] = std::move(text);
    }
}

std::string wrap_description(const std::string& text) {
    if (text.size() <= kWrapWidth) return text;
    std::string out;
    out.reserve(text.size() + 2 * (text.size() / kWrapWidth));
    for (size_t i = 0; i < text.size(); ++i) {
        if (i > 0 && i % kWrapWidth == 0) out += "\\\n";
        out += text[i];
    }
    return out;
}

struct DecisionLog::SwitchContext {
    std::string expression;
    std::string labels;  // the labels of all groups so far, ", "-separated
    size_t offset = 0;   // where the current group's labels start
    int group_line = 0;
    int group_number = 0;
    bool fresh = true;  // no label since the last flush
    bool done = false;  // an Else-Case line was written
    int default_number = 0;
    int default_line = 0;
    bool default_seen = false;
};

DecisionLog::DecisionLog() = default;
DecisionLog::~DecisionLog() = default;
DecisionLog::DecisionLog(DecisionLog&&) noexcept = default;
DecisionLog& DecisionLog::operator=(DecisionLog&&) noexcept = default;

int DecisionLog::describe(Descriptions& descriptions, DecisionKind kind, const std::string& text, int line) {
    int number = counter_;
    std::string description = description_head(number, decision_name(kind), line);
    if (kind == DecisionKind::Begin) {
        // The entry of the component has no condition.
    } else if (is_negated(kind)) {
        description += " not(" + text + ")";
    } else {
        description += ' ' + text;
    }
    descriptions.put(number, wrap_description(description));
    ++counter_;
    return number;
}

void DecisionLog::switch_open(std::string expression) {
    SwitchContext context;
    context.expression = std::move(expression);
    switches_.push_back(std::move(context));
}

int DecisionLog::switch_case([[maybe_unused]] Descriptions& descriptions, const std::string& label, int line) {
    if (switches_.empty()) return 0;
    SwitchContext& context = switches_.back();
    // Consecutive labels form one group under the number of the first.
    if (context.fresh) {
        context.group_line = line;
        context.group_number = counter_++;
    }
    context.fresh = false;
    if (!context.labels.empty()) context.labels += ", ";
    context.labels += label;
    return context.group_number;
}

int DecisionLog::switch_default(Descriptions& descriptions, int line) {
    if (switches_.empty()) return 0;
    switches_.back().default_seen = true;
    int number = switch_case(descriptions, std::string(kDefaultLabel), line);
    SwitchContext& context = switches_.back();
    context.default_number = number;
    context.default_line = line;
    return number;
}

int DecisionLog::switch_flush(Descriptions& descriptions) {
    if (switches_.empty() || switches_.back().fresh) return 0;
    SwitchContext& context = switches_.back();
    // The offset lies one past the previous group's text, so a later group's
    // part keeps the blank of the ", " separator.
    std::string part = context.offset < context.labels.size() ? context.labels.substr(context.offset) : std::string();
    bool else_case = context.default_seen || kDefaultLabel.find(part) != std::string_view::npos;
    DecisionKind kind = else_case ? DecisionKind::ElseCase : DecisionKind::Case;
    std::string description = description_head(context.group_number, decision_name(kind), context.group_line);
    description += ' ' + context.expression + " == " + part;
    if (else_case) {
        context.default_seen = false;
        context.done = true;
    }
    descriptions.put(context.group_number, wrap_description(description));
    context.offset = context.labels.size() + 1;
    context.fresh = true;
    return context.group_number;
}

int DecisionLog::switch_close(Descriptions& descriptions, int line) {
    if (switches_.empty()) return 0;
    int implicit_default = 0;
    SwitchContext& context = switches_.back();
    if (!context.done) {
        if (context.default_seen) {
            // The default label was met but its group never written: write it
            // under the number the label had, without using a new one.
            int saved_counter = counter_;
            counter_ = context.default_number;
            switch_default(descriptions, context.default_line);
            counter_ = saved_counter;
        } else {
            implicit_default = switch_default(descriptions, line);
        }
        switch_flush(descriptions);
    }
    switches_.pop_back();
    return implicit_default;
}

void DecisionLog::forget_switches() { switches_.clear(); }

}  // namespace qor
