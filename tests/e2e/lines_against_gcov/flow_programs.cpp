// Writes random C programs for lines_against_gcov.test.sh: functions of
// nested ifs (with and without else, with and without braces), for, while
// and do loops, switches (cases that fall through, with and without a
// default), break, continue, return and goto, each statement on lines of
// its own, whose conditions read a row of inputs; main runs every
// function on every row. The same seed gives the same programs on every
// host: only the raw output of std::mt19937 is used, whose sequence the
// C++ standard fixes (unlike the distributions).
//
//   flow_programs SEED PROGRAMS FUNCTIONS
//
// writes p1.c, p2.c ... into the working directory.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

namespace {

std::mt19937 rng;

int pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
bool chance(int percent) { return pick(100) < percent; }

constexpr int kInputs = 8;
constexpr int kRows = 6;

// Where a statement stands: what it may jump to.
struct Place {
    int depth = 1;
    bool in_loop = false;
    bool in_switch = false;
};

class Writer {
public:
    Writer() = default;
    std::string text() const { return out_; }

    // The loop counters are declared at the top: a declaration may not
    // follow a case label.
    void function(int number) {
        names_ = 0;
        counters_.clear();
        std::string body;
        std::swap(body, out_);
        block(Place{}, 2 + pick(4));
        std::swap(body, out_);
        out_ += "static int f" + std::to_string(number) + "(int k)\n{\n    int v = k;\n";
        if (!counters_.empty()) out_ += "    int " + counters_ + ";\n";
        out_ += body + "out:\n    acc += v;\n    return v;\n}\n\n";
    }

private:
    std::string condition() {
        int modulus = 2 + pick(3);
        return "in[" + std::to_string(pick(kInputs)) + "] % " + std::to_string(modulus) +
               " == " + std::to_string(pick(modulus));
    }

    std::string bound() { return "in[" + std::to_string(pick(kInputs)) + "] % " + std::to_string(2 + pick(3)); }

    void line(const Place& place, const std::string& text) { out_ += std::string(4 * place.depth, ' ') + text + "\n"; }

    std::string name(const char* base) { return base + std::to_string(++names_); }

    std::string counter(const char* base) {
        std::string made = name(base);
        counters_ += (counters_.empty() ? "" : ", ") + made;
        return made;
    }

    // Statements up to one that leaves the block for good.
    void block(const Place& place, int count) {
        for (int i = 0; i < count; ++i)
            if (!statement(place)) return;
    }

    // Writes one statement; false when it leaves unconditionally.
    bool statement(const Place& place) {
        Place inner = place;
        ++inner.depth;
        int kind = place.depth > 4 ? pick(3) : pick(12);
        switch (kind) {
        case 0:
        case 1:
            line(place, "v = v * 3 + in[" + std::to_string(pick(kInputs)) + "];");
            return true;
        case 2:
            return jump(place);
        case 3:
        case 4:
            if_statement(place, inner);
            return true;
        case 5:
        case 6: {
            std::string i = name("i");
            line(place, "for (int " + i + " = 0; " + i + " < " + bound() + "; " + i + "++) {");
            inner.in_loop = true;
            block(inner, 1 + pick(3));
            line(place, "}");
            return true;
        }
        case 7: {
            std::string w = counter("w");
            line(place, w + " = 0;");
            line(place, "while (" + w + " < " + bound() + ") {");
            line(inner, w + "++;");
            inner.in_loop = true;
            block(inner, pick(3));
            line(place, "}");
            return true;
        }
        case 8: {
            std::string d = counter("d");
            line(place, d + " = 0;");
            line(place, "do {");
            line(inner, d + "++;");
            inner.in_loop = true;
            block(inner, pick(3));
            line(place, "} while (" + d + " < " + bound() + ");");
            return true;
        }
        case 9:
        case 10:
            switch_statement(place, inner);
            return true;
        default:
            line(place, "acc += v;");
            return true;
        }
    }

    // A jump, most often under an if; false when it is unconditional.
    bool jump(const Place& place) {
        std::string text;
        int kind = pick(4);
        if (kind == 0 && place.in_loop) text = "continue;";
        else if (kind == 1 && (place.in_loop || place.in_switch)) text = "break;";
        else if (kind == 2) text = "goto out;";
        else text = "return v;";
        if (chance(20)) {
            line(place, text);
            return false;
        }
        line(place, "if (" + condition() + ")");
        Place inner = place;
        ++inner.depth;
        line(inner, text);
        return true;
    }

    void if_statement(const Place& place, Place inner) {
        if (chance(30)) {
            line(place, "if (" + condition() + ")");
            line(inner, "v = v + " + std::to_string(1 + pick(9)) + ";");
            if (chance(40)) {
                line(place, "else");
                line(inner, "v = v - " + std::to_string(1 + pick(9)) + ";");
            }
            return;
        }
        line(place, "if (" + condition() + ") {");
        block(inner, 1 + pick(3));
        if (chance(50)) {
            line(place, "} else {");
            block(inner, 1 + pick(3));
        }
        line(place, "}");
    }

    void switch_statement(const Place& place, Place inner) {
        line(place, "switch (in[" + std::to_string(pick(kInputs)) + "] % 4) {");
        Place body = inner;
        body.in_switch = true;
        ++body.depth;
        for (int c = 0; c < 4; ++c) {
            if (chance(30)) continue;
            line(inner, "case " + std::to_string(c) + ":");
            block(body, 1 + pick(2));
            if (chance(60)) line(body, "break;");
        }
        if (chance(50)) {
            line(inner, "default:");
            block(body, 1 + pick(2));
        }
        line(place, "}");
    }

    std::string out_;
    int names_ = 0;
    std::string counters_;
};

void program(const std::string& path, int functions) {
    std::string out = "#include <stdio.h>\n\nstatic int in[" + std::to_string(kInputs) + "];\nstatic long acc;\n\n";
    Writer writer;
    for (int f = 1; f <= functions; ++f) writer.function(f);
    out += writer.text();
    out += "int main(void)\n{\n    static const int rows[" + std::to_string(kRows) + "][" + std::to_string(kInputs) +
           "] = {\n";
    for (int r = 0; r < kRows; ++r) {
        out += "        {";
        for (int i = 0; i < kInputs; ++i) out += (i ? ", " : "") + std::to_string(pick(12));
        out += "},\n";
    }
    out += "    };\n    for (int r = 0; r < " + std::to_string(kRows) + "; r++) {\n";
    out += "        for (int i = 0; i < " + std::to_string(kInputs) + "; i++)\n            in[i] = rows[r][i];\n";
    for (int f = 1; f <= functions; ++f) {
        // Some functions run on some rows only, some never.
        int rows = pick(kRows + 2);
        out += "        if (r < " + std::to_string(rows) + ")\n            acc += f" + std::to_string(f) + "(r);\n";
    }
    out += "    }\n    printf(\"%ld\\n\", acc);\n    return 0;\n}\n";
    std::ofstream(path) << out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: flow_programs SEED PROGRAMS FUNCTIONS\n");
        return 2;
    }
    rng.seed(static_cast<unsigned>(std::strtoul(argv[1], nullptr, 10)));
    int programs = std::atoi(argv[2]);
    int functions = std::atoi(argv[3]);
    for (int p = 1; p <= programs; ++p) program("p" + std::to_string(p) + ".c", functions);
    return 0;
}
