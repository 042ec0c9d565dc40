// Writes random C programs for mcdc_against_llvm.test.sh: each function
// holds one decision of 1 to 6 conditions built from &&, ||, ! and
// parentheses, in an if, a loop condition, a ?: condition, an assignment
// or a returned value, and main evaluates each decision on rows of its
// truth table. The same seed gives the same programs on every host: only
// the raw output of std::mt19937 is used, whose sequence the C++ standard
// fixes (unlike the distributions).
//
//   mcdc_programs SEED PROGRAMS DECISIONS
//
// writes p1.c, p1.map, p2.c ... into the working directory. A map has a
// line per decision, its fields separated by tabs:
//
//   LINE  CONDITIONS  INVERTED  SPANS  TEXT
//
// SPANS lists each condition in source order as FIRST:LAST:BANGS, the
// columns of its text with the `!` and parentheses that apply to it alone,
// and the columns of those `!` (a comma-separated list, maybe empty): a
// tool that takes `!x` as the condition where qor_cc takes `x` measures the
// inverse value. INVERTED is 1 when the decision's value is the negation
// of what is under its outer `!`: of the top && or || (`!(a && b)`), or for
// a single condition, of the condition without its `!`.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

std::mt19937 rng;

int pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
bool chance(int percent) { return pick(100) < percent; }

struct Node {
    enum Kind { Condition, And, Or } kind = Condition;
    int nots = 0;         // `!` applied to the node
    bool parens = false;  // parentheses the syntax does not need
    int core = 0;         // for a condition: the index into the texts below
    int input = 0;        // for a condition: the element of v it reads
    std::unique_ptr<Node> left, right;
};

// The texts of a condition, as formats of the number of the element of v
// it reads: the element, a call that counts, the low bit of the counter n
// (these three are primaries), a comparison, and n modulo 3. Each
// evaluation of n++ changes n, so those values do not come from the row.
const char* const cores[] = {"v[%d]", "count(v[%d])", "(n++ & 1)", "v[%d] > 0", "n++ %% 3 == 0"};
bool primary(int core) { return core < 3; }
int pick_core() {
    int r = pick(100);
    return r < 35 ? 0 : r < 55 ? 1 : r < 70 ? 2 : r < 88 ? 3 : 4;
}

std::unique_ptr<Node> tree(int conditions, bool top, int& input) {
    auto node = std::make_unique<Node>();
    node->parens = chance(15);
    if (conditions == 1) {
        node->core = pick_core();
        node->input = input++;
        int r = pick(100);
        node->nots = r < 55 ? 0 : r < 90 ? 1 : 2;
        return node;
    }
    node->kind = chance(50) ? Node::And : Node::Or;
    int left = 1 + pick(conditions - 1);
    node->left = tree(left, false, input);
    node->right = tree(conditions - left, false, input);
    // A negated && or || inside another one: clang leaves the decision
    // out of its MC/DC coverage, which the test reports as a skip.
    node->nots = top ? (chance(15) ? 1 + chance(25) : 0) : chance(3);
    return node;
}

struct Span {
    int first = 0, last = 0;
    std::vector<int> bangs;
};

// The text of one line, with the columns of the conditions printed into it.
class Line {
public:
    explicit Line(const std::string& start) : text_(start) {}
    void put(const std::string& s) { text_ += s; }
    int column() const { return static_cast<int>(text_.size()) + 1; }
    const std::string& text() const { return text_; }

    void print(const Node& node, Node::Kind parent) {
        if (node.kind == Node::Condition) return print_condition(node);
        bool parens = node.parens || node.nots > 0 || (parent == Node::And && node.kind == Node::Or);
        put(std::string(static_cast<size_t>(node.nots), '!'));
        if (parens) put("(");
        print(*node.left, node.kind);
        put(node.kind == Node::And ? " && " : " || ");
        print(*node.right, node.kind);
        if (parens) put(")");
    }

    std::vector<Span> spans;

private:
    void print_condition(const Node& node) {
        Span span;
        span.first = column();
        // The extra parentheses go around the `!` or inside them; a
        // comparison under `!` needs some of its own.
        bool outer = node.parens && chance(50);
        bool inner = (node.parens && !outer) || (node.nots > 0 && !primary(node.core));
        if (outer) put("(");
        for (int k = 0; k < node.nots; ++k) {
            span.bangs.push_back(column());
            put("!");
        }
        if (inner) put("(");
        char core[32];
        std::snprintf(core, sizeof core, cores[node.core], node.input);
        put(core);
        if (inner) put(")");
        if (outer) put(")");
        span.last = column() - 1;
        spans.push_back(span);
    }

    std::string text_;
};

enum Context { If, While, For, Do, Ternary, Assign, Return, Contexts };

struct Decision {
    int line = 0, conditions = 0, inverted = 0;
    std::string text;
    std::vector<Span> spans;
    std::vector<int> rows;
};

// Rows of the truth table: all of it, one or two rows, or a random part.
std::vector<int> pick_rows(int conditions) {
    int size = 1 << conditions, mode = pick(100);
    std::vector<int> rows;
    if (mode < 15) {
        for (int r = 0; r < size; ++r) rows.push_back(r);
        for (int k = size - 1; k > 0; --k) std::swap(rows[static_cast<size_t>(k)], rows[static_cast<size_t>(pick(k + 1))]);
    } else if (mode < 35) {
        for (int k = 1 + pick(2); k > 0; --k) rows.push_back(pick(size));
    } else {
        int percent = 20 + pick(60);
        for (int r = 0; r < size; ++r)
            if (chance(percent)) rows.push_back(r);
        if (rows.empty()) rows.push_back(pick(size));
    }
    return rows;
}

// Appends the function d<number> holding one decision to the program.
Decision write_function(std::vector<std::string>& lines, int number) {
    Decision d;
    int r = pick(100);
    d.conditions = r < 10 ? 1 : r < 30 ? 2 : r < 50 ? 3 : r < 70 ? 4 : r < 85 ? 5 : 6;
    int input = 0;
    std::unique_ptr<Node> top = tree(d.conditions, true, input);
    // One condition is a decision for qor_cc only with a `!`, and has a
    // value clang measures only where it branches.
    Context context = static_cast<Context>(pick(d.conditions == 1 ? Assign : Contexts));
    if (d.conditions == 1 && top->nots == 0) top->nots = 1;
    d.inverted = top->nots % 2;

    static const char* const starts[] = {"    if (", "    while (", "    for (k = 0; ", "    while (",
                                         "    r = ", "    r = ", "    return "};
    static const char* const ends[] = {")", ")", "; k++)", ");", " ? 3 : 4;", ";", ";"};
    Line line(starts[context]);
    size_t first = line.text().size();
    line.print(*top, Node::Condition);
    d.text = line.text().substr(first);
    d.spans = line.spans;
    line.put(ends[context]);

    lines.push_back("static int d" + std::to_string(number) + "(const int *v)");
    lines.push_back("{");
    if (context != Return) lines.push_back("    int r = 0, k = 0;");
    if (context == Do) lines.insert(lines.end(), {"    do", "        if (++k == 2) break;"});
    d.line = static_cast<int>(lines.size()) + 1;
    lines.push_back(line.text());
    if (context == If) lines.push_back("        r = 1;");
    if (context == While) lines.push_back("        if (++k == 2) break;");
    if (context == For) lines.push_back("        if (k == 1) break;");
    if (context != Return) lines.push_back("    return r * 4 + k;");
    lines.push_back("}");
    lines.push_back("");
    d.rows = pick_rows(d.conditions);
    return d;
}

void write_program(const std::string& name, int decisions) {
    std::vector<std::string> lines = {
        "#include <stdio.h>",
        "",
        "static int n, calls;",
        "",
        "static int count(int value)",
        "{",
        "    calls++;",
        "    return value;",
        "}",
        "",
    };
    std::vector<Decision> all;
    for (int k = 1; k <= decisions; ++k) all.push_back(write_function(lines, k));

    for (size_t k = 0; k < all.size(); ++k) {
        std::string rows;
        for (int row : all[k].rows) rows += (rows.empty() ? "" : ", ") + std::to_string(row);
        lines.push_back("static const unsigned char rows" + std::to_string(k + 1) + "[] = {" + rows + "};");
    }
    lines.insert(lines.end(), {
        "",
        "static unsigned drive(int (*decision)(const int *), const unsigned char *rows, unsigned size)",
        "{",
        "    unsigned sum = 0;",
        "    for (unsigned i = 0; i < size; i++) {",
        "        int v[6];",
        "        for (int k = 0; k < 6; k++) v[k] = rows[i] >> k & 1;",
        "        sum = sum * 7 + (unsigned)decision(v);",
        "    }",
        "    return sum;",
        "}",
        "",
        "int main(void)",
        "{",
        "    unsigned sum = 0;",
    });
    for (size_t k = 1; k <= all.size(); ++k) {
        std::string n = std::to_string(k);
        lines.push_back("    sum = sum * 31 + drive(d" + n + ", rows" + n + ", sizeof rows" + n + ");");
    }
    lines.insert(lines.end(), {"    printf(\"%u %d %d\\n\", sum, n, calls);", "    return 0;", "}"});

    std::ofstream source(name + ".c");
    for (const std::string& line : lines) source << line << '\n';
    std::ofstream map(name + ".map");
    for (const Decision& d : all) {
        map << d.line << '\t' << d.conditions << '\t' << d.inverted << '\t';
        for (size_t k = 0; k < d.spans.size(); ++k) {
            const Span& s = d.spans[k];
            map << (k ? " " : "") << s.first << ':' << s.last << ':';
            for (size_t b = 0; b < s.bangs.size(); ++b) map << (b ? "," : "") << s.bangs[b];
        }
        map << '\t' << d.text << '\n';
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: mcdc_programs SEED PROGRAMS DECISIONS\n", stderr);
        return 2;
    }
    rng.seed(static_cast<std::mt19937::result_type>(std::strtoul(argv[1], nullptr, 10)));
    int programs = std::atoi(argv[2]), decisions = std::atoi(argv[3]);
    for (int p = 1; p <= programs; ++p) write_program("p" + std::to_string(p), decisions);
    return 0;
}
