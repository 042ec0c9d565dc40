#include "frontend/parser.hpp"

#include "frontend/parse_actions.hpp"
#include "grammar.hpp"

int yylex(YYSTYPE* value, qor::ParseActions& actions) {
    int token = actions.next_token(*value);
    // The lexer ends with -1; the grammar's end of input is 0.
    return token < 0 ? 0 : token;
}

void yyerror(qor::ParseActions& actions, qor::GrammarEvents&, const char* message) { actions.syntax_error(message); }

namespace qor {

static_assert(int{TOK_IDENTIFICATEUR} == int{IDENTIFICATEUR} && int{TOK_ACCES_CHAMP} == int{ACCES_CHAMP},
              "the grammar's token codes are the lexer's");

int parse(ParseActions& actions, GrammarEvents& events) {
    int result = yyparse(actions, events);
    events.close_abandoned_function();
    return result;
}

}  // namespace qor
