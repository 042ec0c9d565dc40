// The parser of one source file: the grammar's reductions act through
// ParseActions as the tokens go by.
#pragma once

namespace qor {

class ParseActions;

// 0 when the input was accepted, 1 after an unrecoverable syntax error, 2
// when the parser's stacks were exhausted.
int parse(ParseActions& actions);

}  // namespace qor
