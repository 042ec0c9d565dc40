// Token codes shared by the lexer and the grammar. Single characters are
// their own codes; the named tokens follow the grammar's declarations.
#pragma once

namespace qor {

enum Token : int {
    END_OF_INPUT = -1,
    // Bison's code for a token the grammar does not know.
    UNDEFINED_TOKEN = 257,
    IDENTIFICATEUR = 258,
    MIDENTIFICATEUR,
    BASED,
    TRY,
    FINALLY,
    EXCEPT,
    LEAVE,
    NOM_DE_TYPE,
    SPECIFICATEUR_DE_STORAGE,
    SPECIFICATEUR_DE_TYPE,
    QUALIFICATEUR_DE_TYPE,
    CONSTANT,
    STRING,
    POINT_POINT_POINT,
    SIZEOF,
    ENUM,
    STRUCT,
    UNION,
    IF,
    ELSE,
    WHILE,
    DO,
    FOR,
    SWITCH,
    CASE,
    DEFAULT,
    BREAK,
    CONTINUE,
    RETURN,
    GOTO,
    ASM,
    TYPEOF,
    ALIGNOF,
    ATTRIBUTE,
    ASM_MCC68K,
    kwCONST,
    kwRESTRICT,
    VOLATILE,
    INTERRUPT,
    ASSIGNMENT,
    OROR,
    ANDAND,
    NEQ,
    EQ,
    GT,
    LT,
    GOET,
    LOET,
    RSHIFT,
    LSHIFT,
    MINUSMINUS,
    PLUSPLUS,
    UNARY,
    GESTION_PRIORITE,
    ACCES_CHAMP,
    // Produced in the GNU dialects only.
    BUILTIN_TYPE_ARG,  // a built-in function that takes type names, or _Generic
    RANGE_DOTS,        // the "..." of a case range or a range designator
    COMPLEX_PART,      // __real__ or __imag__
    // Produced in C23 mode only.
    ENUM_BASE,  // the ':' before an enumeration's underlying type
};

static_assert(ACCES_CHAMP == 312, "token codes follow the grammar's declarations");
static_assert(RANGE_DOTS == 314, "token codes follow the grammar's declarations");
static_assert(COMPLEX_PART == 315, "token codes follow the grammar's declarations");
static_assert(ENUM_BASE == 316, "token codes follow the grammar's declarations");

}  // namespace qor
