// Writes random C programs for instrumented_expressions.test.sh: each
// function d<k>(a, b, c) holds one decision, an expression that mixes &&,
// || and ! with comparisons, arithmetic, casts, statement expressions
// (with ifs and loops of their own), conditional operators, commas,
// assignments, calls and macros that hold decisions, in one of many statement contexts, and main prints each
// function's value for every a, b and c from -2 to 2. The side effects are
// well defined: each assignment and increment has a variable of its own,
// read only after a sequence point, and the calls of tick() add to totals
// whose values do not depend on the order of the calls. The same seed
// gives the same programs on every host (only std::mt19937's raw output is
// used).
//
//   expression_programs SEED PROGRAMS DECISIONS
//
// writes p1.c, p2.c ... into the working directory.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

std::mt19937 rng;

int pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
bool chance(int percent) { return pick(100) < percent; }

// C's precedence levels, from the comma (1) to the primaries (16).
enum Level { Comma = 1, Assign, Conditional, Or, And, BitOr, Xor, BitAnd, Equality, Relational, Additive = 12,
             Unary = 15, Primary };

struct Expr {
    std::string text;
    int level = Primary;
};

// The text of `e` where an operand of level `need` at least is wanted,
// sometimes in parentheses it does not need.
std::string operand(const Expr& e, int need) {
    return e.level < need || chance(8) ? "(" + e.text + ")" : e.text;
}

Expr binary(const Expr& left, const char* op, const Expr& right, int level) {
    return {operand(left, level) + " " + op + " " + operand(right, level + 1), level};
}

// Writes one function: its decision, the variables the decision's
// assignments and increments use, and the statement around it.
class Function {
public:
    explicit Function(int number) : number_(number) {}

    std::vector<std::string> lines() {
        Expr decision = expression(3 + pick(2));
        std::vector<std::string> body = statement(decision);
        std::vector<std::string> out{"static int d" + std::to_string(number_) + "(int a, int b, int c)", "{",
                                     "    int r = 0, k = 0" + declared_ + ";"};
        out.insert(out.end(), body.begin(), body.end());
        out.push_back("    return r * 64 + k * 8" + summed_ + ";");
        out.push_back("}");
        out.push_back("");
        return out;
    }

private:
    // A variable of the function for one assignment or increment: it is
    // part of the function's value.
    std::string variable(const char* prefix) {
        std::string name = prefix + std::to_string(++variables_);
        declared_ += ", " + name + " = 0";
        summed_ += " + " + name;
        return name;
    }

    Expr atom() {
        switch (pick(9)) {
        case 0: case 1: return {"a"};
        case 2: return {"b"};
        case 3: return {"c"};
        case 4: return {std::to_string(pick(4))};
        case 5: return {"tick(" + std::string(1, static_cast<char>('a' + pick(3))) + ")"};
        case 6: return {variable("u") + "++", Primary};
        case 7: return {"!a", Unary};
        default: return {"!b", Unary};
        }
    }

    // The operands are drawn one statement after another: the order in
    // which C++ evaluates a call's arguments is unspecified.
    Expr expression(int depth) {
        if (depth <= 0 || chance(15)) return atom();
        int r = pick(100);
        if (r < 52 || (r >= 62 && r < 78)) {
            Expr x = expression(depth - 1);
            Expr y = expression(depth - 1);
            if (r < 14) return binary(x, r < 7 ? "&&" : "||", y, r < 7 ? And : Or);
            if (r < 24) return {"!" + operand(x, Unary), Unary};
            if (r < 36) {
                static const char* const ops[] = {"==", "!=", "<", ">="};
                int op = pick(4);
                return binary(x, ops[op], y, op < 2 ? Equality : Relational);
            }
            if (r < 44) {
                static const char* const ops[] = {"+", "-", "&", "^", "|"};
                static const int levels[] = {Additive, Additive, BitAnd, Xor, BitOr};
                int op = pick(5);
                return binary(x, ops[op], y, levels[op]);
            }
            if (r < 52) {
                static const char* const types[] = {"(int)", "(_Bool)", "(unsigned char)", "(long)", "(signed char)"};
                return {types[pick(5)] + operand(x, Unary), Unary};
            }
            if (r < 69) {
                Expr z = expression(depth - 1);
                return {operand(x, Or) + " ? " + y.text + " : " + operand(z, Conditional), Conditional};
            }
            if (r < 70) return {operand(x, Or) + " ?: " + operand(y, Conditional), Conditional};
            if (r < 71) return {"(int){" + operand(x, Assign) + "}", Primary};
            if (r < 72) return {"(int)sizeof(" + x.text + ")", Unary};
            if (r < 75) return {"(" + operand(x, Assign) + ", " + operand(y, Assign) + ")", Primary};
            if (r < 76) {
                static const char* const calls[] = {"tick(", "likely(", "__builtin_constant_p("};
                return {calls[pick(3)] + operand(x, Assign) + ")", Primary};
            }
            if (r < 77) return {"SAME(" + operand(x, Assign) + ", " + operand(y, Assign) + ")", Primary};
            return {"CHECKED(" + operand(x, Assign) + ")", Primary};
        }
        if (r < 62) return statement_expression(depth);
        return assignment(depth);
    }

    // An assignment's value, or the variable read after a comma or && that
    // follows the assignment.
    Expr assignment(int depth) {
        std::string name = variable("t");
        Expr value = expression(depth - 1);
        std::string op = chance(70) ? " = " : chance(50) ? " += " : " ^= ";
        std::string assigned = name + op + operand(value, Assign);
        switch (pick(3)) {
        case 0: return {"(" + assigned + ")", Primary};
        case 1: return {"(" + assigned + ", " + name + " > " + std::to_string(pick(3)) + ")", Primary};
        default: {
            Expr then = expression(depth - 1);
            return {"((" + assigned + ") && " + operand(then, And) + ")", Primary};
        }
        }
    }

    Expr statement_expression(int depth) {
        std::string s = "s" + std::to_string(++locals_);
        int shape = pick(6);
        std::string x = expression(depth - 1).text;
        std::string y = shape < 2 || shape == 4 ? expression(depth - 1).text : "";
        switch (shape) {
        case 4: return {"({ int " + s + " = 1; switch (" + x + ") { case 0: " + s + " = " + y + "; break; default: " + s +
                        "++; } " + s + "; })"};
        case 5: return {"({ int " + s + " = 0; for (int i" + s + " = 0; i" + s + " < 2 && (" + x + "); i" + s + "++) " + s +
                        " += 3; " + s + "; })"};
        case 0: return {"({ if (" + x + ") ; " + y + "; })"};
        case 1: return {"({ int " + s + " = " + x + "; if (" + y + ") " + s + " += 2; else " + s + "--; " + s + "; })"};
        case 2: return {"({ int " + s + " = 0; while (" + s + " < 3 && (" + x + ")) " + s + "++; " + s + "; })"};
        default: return {"({ " + x + "; })"};
        }
    }

    // The statement that holds the decision, as lines of the body.
    std::vector<std::string> statement(const Expr& decision) {
        const std::string& d = decision.text;
        switch (pick(12)) {
        case 11: return {"    for (k = 0; k < 2; k++, r += " + operand(decision, Assign) + ")", "        ;"};
        case 0: return {"    if (" + d + ")", "        r = 1;", "    else", "        r = 2;"};
        case 1: return {"    if (" + d + ")", "        r = 3;"};
        case 2: return {"    while (" + d + ")", "        if (++k == 3) break;"};
        case 3: return {"    for (k = 0; " + d + "; k++)", "        if (k == 2) break;"};
        case 4: return {"    do", "        if (++k == 3) break;", "    while (" + d + ");"};
        case 5: return {"    r = " + operand(decision, Or) + " ? 5 : 6;"};
        case 6: return {"    r = " + operand(decision, Assign) + ";"};
        case 7: return {"    " + d + ";"};
        case 8: return {"    switch (" + d + ") {", "    case 0: r = 3; break;", "    case 1: r = 4; break;",
                        "    default: r = 5;", "    }"};
        case 9: return {"    {", "        int v = " + operand(decision, Assign) + ";", "        r = v;", "    }"};
        default: return {"    ({ if (" + d + ") r = 9; });"};
        }
    }

    int number_;
    int variables_ = 0;
    int locals_ = 0;
    std::string declared_;
    std::string summed_;
};

void write_program(const std::string& name, int decisions) {
    std::ofstream source(name + ".c");
    source << "int printf(const char *, ...);\n\nstatic int calls, total, fails;\n\n"
              "#define SAME(x, y) (!(x) == !(y))\n"
              "#define likely(e) __builtin_expect(!!(e), 1)\n"
              "#define CHECKED(e) (__extension__ ({ if (e) ; else fails++; }), (e) ? 1 : 0)\n\n"
              "static int tick(int value)\n{\n    calls++;\n    total += value;\n    return value;\n}\n\n";
    for (int k = 1; k <= decisions; ++k)
        for (const std::string& line : Function(k).lines()) source << line << '\n';
    source << "typedef int (*decision)(int, int, int);\n"
              "static const decision decisions[] = {";
    for (int k = 1; k <= decisions; ++k) source << (k > 1 ? ", " : "") << 'd' << k;
    source << "};\n\n"
              "int main(void)\n{\n"
              "    for (unsigned k = 0; k < sizeof decisions / sizeof decisions[0]; k++) {\n"
              "        printf(\"d%u:\", k + 1);\n"
              "        for (int a = -2; a <= 2; a++)\n"
              "            for (int b = -2; b <= 2; b++)\n"
              "                for (int c = -2; c <= 2; c++) printf(\" %d\", decisions[k](a, b, c));\n"
              "        printf(\"\\n\");\n"
              "    }\n"
              "    printf(\"%d calls, total %d, %d fails\\n\", calls, total, fails);\n"
              "    return 0;\n}\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: expression_programs SEED PROGRAMS DECISIONS\n", stderr);
        return 2;
    }
    rng.seed(static_cast<std::mt19937::result_type>(std::strtoul(argv[1], nullptr, 10)));
    int programs = std::atoi(argv[2]), decisions = std::atoi(argv[3]);
    for (int p = 1; p <= programs; ++p) write_program("p" + std::to_string(p), decisions);
    return 0;
}
