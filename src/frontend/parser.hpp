// The parser of one source file: the grammar's reductions act through
// ParseActions and raise the grammar events as the tokens go by.
#pragma once

namespace qor {

class ParseActions;
class GrammarEvents;

// 0 when the input was accepted, 1 after an unrecoverable syntax error, 2
// when the parser's stacks were exhausted. A function left open is closed.
int parse(ParseActions& actions, GrammarEvents& events);

}  // namespace qor
