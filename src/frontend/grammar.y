/* The C grammar of the front end.
 *
 * A pure LALR(1) parser (Bison's C skeleton, compiled as C++). It builds no
 * syntax tree: the reductions call into qor::ParseActions, which keeps the
 * declaration scopes that the lexer consults, and raise qor::GrammarEvents,
 * which the measuring and (in dynamic mode) the instrumenting side handle.
 *
 * The rule numbers, the symbol names and the order of the token
 * declarations are part of the parser's observable behaviour (the symbol
 * names appear in diagnostics, the token codes are shared with the lexer
 * through frontend/tokens.hpp), so:
 *   - every alternative carries its rule number in a comment (the numbering
 *     of the generated tables, where "$accept: program $end" is rule 1;
 *     Bison's -v report counts from 0, one less);
 *   - every empty mid-rule action "{ }" stands for an action point $@N and
 *     must stay in place (even while it is empty) so that Bison keeps the
 *     rule $@N and the numbering of everything after it; its own rule
 *     number is written inside the braces;
 *   - new rules, if ever needed, go at the very end.
 */

%require "3.8"

%code requires {
#include "frontend/parse_actions.hpp"
/* The semantic value is a plain struct: the stacks may be relocated with
   memcpy when they grow. */
#define YYSTYPE_IS_TRIVIAL 1
}

%code {
int yylex(YYSTYPE* value, qor::ParseActions& actions);
void yyerror(qor::ParseActions& actions, qor::GrammarEvents& events, const char* message);

/* The parse stacks start with 200 entries and double when full; at 10000
   entries the parse stops with "memory exhausted". */
#define YYINITDEPTH 200
#define YYMAXDEPTH 10000
/* Their grown memory belongs to the actions, so that it is freed however
   the parse ends (the exit handler of a fatal error may leave it by an
   exception). */
#define YYMALLOC actions.parser_stacks().allocate
#define YYFREE actions.parser_stacks().release
}

%define api.pure full
%define api.token.prefix {TOK_}
%define api.value.type {qor::SemanticValue}
%parse-param {qor::ParseActions& actions} {qor::GrammarEvents& events}
%lex-param {qor::ParseActions& actions}
// The instrumentation places its texts by the tokens the parser has
// consumed, so it watches whether a lookahead is pending. The actions watch
// it too: a scope that closes may change what a pending identifier is.
%initial-action { events.watch_lookahead(&yychar); actions.watch_lookahead(&yychar, &$$); }

/* Named tokens, in the order of their codes 258 to 312 (frontend/tokens.hpp).
   UNARY and GESTION_PRIORITE are never returned by the lexer; they only carry
   precedence. Single-character tokens are written as character literals. */
%token IDENTIFICATEUR MIDENTIFICATEUR BASED TRY FINALLY EXCEPT LEAVE
%token NOM_DE_TYPE SPECIFICATEUR_DE_STORAGE SPECIFICATEUR_DE_TYPE
%token QUALIFICATEUR_DE_TYPE CONSTANT STRING POINT_POINT_POINT SIZEOF
%token ENUM STRUCT UNION IF ELSE WHILE DO FOR SWITCH CASE DEFAULT BREAK
%token CONTINUE RETURN GOTO ASM TYPEOF ALIGNOF ATTRIBUTE ASM_MCC68K
%token kwCONST kwRESTRICT VOLATILE INTERRUPT ASSIGNMENT OROR ANDAND
%token NEQ EQ GT LT GOET LOET RSHIFT LSHIFT MINUSMINUS PLUSPLUS
%token UNARY GESTION_PRIORITE ACCES_CHAMP
/* Tokens that only the GNU dialects produce (codes 313 and 314): a built-in
   function that takes type names, and the "..." of a case range or a range
   designator. */
%token BUILTIN_TYPE_ARG RANGE_DOTS
/* Added later for the GNU dialects (code 315): __real__ and __imag__. */
%token COMPLEX_PART
/* C23 mode only (code 316): the ':' before an enumeration's underlying type. */
%token ENUM_BASE

/* Operator precedence, lowest first. */
%nonassoc RANGE_DOTS
%right '=' ASSIGNMENT
%right '?' ':'
%left OROR
%left ANDAND
%left '|'
%left '^'
%left '&'
%left NEQ EQ
%left GT LT GOET LOET
%left RSHIFT LSHIFT
%left '+' '-'
%left '*' '/' '%'
%left MINUSMINUS PLUSPLUS UNARY
%left GESTION_PRIORITE '.' '(' '[' ACCES_CHAMP

/* Conflicts.
 *
 * Bison reports 977 shift/reduce and 1050 reduce/reduce conflicts for this
 * grammar. All of them are left to the usual LALR defaults: shift rather
 * than reduce, and the earlier rule of two reductions. The counts are not
 * pinned with %expect: for a deterministic parser Bison ignores %expect-rr
 * and reads %expect N as "N shift/reduce and no reduce/reduce conflict", so
 * any %expect would reject this grammar. A change of either count means the
 * tables changed: check it against the groups below.
 *
 * C constructs (the default gives the C reading):
 *   1 s/r   dangling ELSE: shifted, so it belongs to the innermost if
 *           (314 over 315).
 *   2 s/r   INTERRUPT followed by '[': the bracket is the qualifier's own
 *           argument (136 over 135).
 *   1 s/r   a type name after qualifiers in a member declaration is the
 *           member's type (127), not its declarator (248).
 *   5 s/r   first clause of a for: an identifier, '*' or '(' starts an
 *           expression, not a declaration without type specifiers (106);
 *           "for (;" takes the ';' as the empty data definition 18 (through
 *           364) rather than an empty expression (365, 363).
 *  36 s/r   a label followed by a statement labels that statement; the empty
 *           alternative 292 is reduced only before a token that cannot start
 *           a statement ('}', a declaration).
 *  76 s/r   the same after a case label (335) and after a default label
 *           (338), which may also end a block (C23): 38 each, the 36 of
 *           the label and the two GNU tokens that start an expression.
 *  13 s/r   '(' then a qualifier (or BASED, or error) inside an abstract or
 *           parameter declarator: read as a parenthesised qualified
 *           declarator (273, 214, 222) rather than as a parameter list (281),
 *           so a parameter list whose first parameter starts with a
 *           qualifier cannot follow a bare '(' there.
 *   2 s/r, 1 r/r   a declarator followed by '(' or '{': the declarator goes
 *           on (192, 213) and '{' starts a function body (21), not an
 *           initializer written without '=' (156 through 152).
 *   2 s/r   in a block, the same '{' after a declarator starts the body of
 *           a nested function (499), not such an initializer.
 *
 * Error recovery (these rules only decide which recovery rule swallows the
 * text):
 *  12 s/r, 87 r/r   which error rule takes the error token: shifting it
 *           picks the rule that has 'error' at this point (32, 31, 30, 223,
 *           200, 210, 103, 105, 287) over the reduction (a mid-rule action,
 *           an empty or a shorter list) after which another error rule would
 *           take it; a bad parenthesised expression reduces as 86 rather
 *           than 305, and "error ;" at the start of a block as 294 rather
 *           than 307.
 *  232 r/r  '*' error ... and '(' error ')' with the same text in two kinds
 *           of declarator: the earlier rule wins (198 and 209 over 221, 199
 *           over 222).
 *  582 s/r  length of a skipped run (30 to 32, 197, 198, 208, 209, 220,
 *           221, 403): shifting makes the run as long as possible. It goes
 *           on through ';' and through balanced groups, and ends only at a
 *           token that cannot be skipped: an unmatched ')', ']' or '}', or
 *           the end of input.
 *  152 s/r, 653 r/r   after '*' error in a declarator (197, 198, 208, 209,
 *           220, 221), and inside a '(' or '[' that follows the recovered
 *           declarator, a token may continue the declarator (name,
 *           qualifiers, '[' bound with its expression) or be skipped text
 *           (406 to 476). The declarator reading wins, because the
 *           skipped-token rules come last and shifting is preferred, except
 *           where it must first reduce an empty mid-rule action: a parameter
 *           list after the recovered declarator (191, 202, 212) and a '{'
 *           block right after '(' (302) are skipped as balanced groups.
 *
 * The counts of the groups above are those of the grammar without the GNU
 * rules 479 to 488. Those rules add no conflict of their own; their two
 * tokens join the groups above wherever any token may be skipped text or
 * may start an expression or a statement (BUILTIN_TYPE_ARG starts an
 * expression, RANGE_DOTS follows one): 19 s/r and 27 r/r more, all
 * resolved as for the other tokens of the same group. Rule 489 lets ANDAND
 * start an expression too (a label's address), which adds it to those same
 * groups: 7 s/r and 8 r/r more. COMPLEX_PART (__real__, __imag__, rules
 * 491 and 492) starts an expression and may be skipped text, as
 * BUILTIN_TYPE_ARG does: 14 s/r and 33 r/r more, in the same groups.
 *
 * C23 and compound literals with a postfix operator (rules 504 to 513),
 * 53 s/r and 9 r/r more, all with the C reading:
 *  28 s/r   after the underlying type of an enumeration (504 to 506), a
 *           type word, '{' or an attribute goes on with that type (shift)
 *           and a '{' after it opens the enumerators.
 *   8 s/r, 7 r/r   ENUM_BASE is skipped text (508), in the recovery groups.
 *   2 s/r, 2 r/r   TYPEOF after a type specifier (507) in the same groups.
 *  15 s/r   a postfix operator ('[' '.' -> ++ --) after a primary
 *           expression, a unary operator's operand or a cast's operand
 *           goes to the primary expression (89 to 95) or to the compound
 *           literal (509 to 513) that ends there, not to the whole unary
 *           or cast expression.
 * The error recovery over balanced groups (rules 514 to 528) adds none.
 *
 * Precedence also settles, silently, a few conflicts outside expressions:
 * '*' declarators (195, 206, 216, 274, 275) shift '(' and '[', so the
 * pointer applies to the function or array declarator; and in the recovery
 * context above, '*' followed by '*', '&', '+' or '-' is skipped text (465)
 * while '*' followed by ++ or -- starts an expression.
 */

%start program

%%

program
    : /* 2 */ %empty
                { $$ = actions.empty(); }
    | /* 3 */ definitions
    ;

definitions
    : /* 5 */ { /* 4 */ actions.next_definition(); $$ = actions.empty(); } definition
    | /* 7 */ definitions { /* 6 */ actions.next_definition(); $$ = actions.empty(); } definition
    ;

definition
    : /* 8 */ definition_de_fonction
    | /* 9 */ definition_de_donnee
    | /* 10 */ ASM '(' string ')' ';'
    | /* 11 */ string ';'
    ;

definition_de_donnee
    : /* 12 */ fin_specificateurs declarations_initialisation_nt ';'
                { actions.end_declaration(); }
    | /* 13 */ declaration_avec_modificateur fin_specificateurs declarations_initialisation_nt ';'
                { actions.end_declaration(); }
    | /* 14 */ specificateurs_de_declaration_type fin_specificateurs declarations_initialisation ';'
                { actions.end_declaration(); }
    | /* 15 */ declaration_avec_modificateur ';'
    | /* 16 */ specificateurs_de_declaration_type ';'
    | /* 17 */ error start_recovery t_end_of_statement
                { actions.end_recovery(); }
    | /* 18 */ ';'
    ;

t_end_of_statement
    : /* 19 */ ';'
    | /* 20 */ '}'
    ;

definition_de_fonction
    : /* 23 */ specificateurs_de_declaration_type fin_specificateurs declarateur
               { /* 21 */ actions.begin_function($3); $$ = actions.empty(); }
               declarations_ou_rien
               { /* 22 */ $$ = actions.empty(); }
               instr_bloc_ou_erreur
                { actions.end_function($7); actions.end_declaration(); }
    | /* 26 */ declaration_avec_modificateur fin_specificateurs declarateur_nt
               { /* 24 */ actions.begin_function($3); $$ = actions.empty(); }
               declarations_ou_rien
               { /* 25 */ $$ = actions.empty(); }
               instr_bloc_ou_erreur
                { actions.end_function($7); actions.end_declaration(); }
    | /* 29 */ fin_specificateurs declarateur_nt
               { /* 27 */ actions.begin_function($2); $$ = actions.empty(); }
               declarations_ou_rien
               { /* 28 */ $$ = actions.empty(); }
               instr_bloc_ou_erreur
                { actions.end_function($6); actions.end_declaration(); }
    | /* 30 */ declaration_avec_modificateur fin_specificateurs declarateur_nt error start_recovery t_balanced_s
                { actions.end_recovery(); actions.end_declaration(); }
    | /* 31 */ specificateurs_de_declaration_type fin_specificateurs declarateur error start_recovery t_balanced_s
                { actions.end_recovery(); actions.end_declaration(); }
    | /* 32 */ fin_specificateurs declarateur_nt error start_recovery t_balanced_s
                { actions.end_recovery(); actions.end_declaration(); }
    ;

identificateur
    : /* 33 */ lex_identificateur
    | /* 34 */ NOM_DE_TYPE
    ;

operateurs_unaires
    : /* 35 */ '&'
                { $$.text = actions.text("& unary"); }
    | /* 36 */ '-'
                { $$.text = actions.text("- unary"); }
    | /* 37 */ '+'
                { $$.text = actions.text("+ unary"); }
    | /* 38 */ PLUSPLUS
                { $$.text = actions.text("++"); }
    | /* 39 */ MINUSMINUS
                { $$.text = actions.text("--"); }
    | /* 40 */ '~'
                { $$.text = actions.text("~"); }
    | /* 41 */ '!'
                { $$.text = actions.text("!"); }
    ;

expr
    : /* 42 */ expr_simple
    | /* 43 */ expr ',' expr_simple
                { events.op(",", $2); }
    ;

list_expr
    : /* 44 */ %empty
                { $$ = actions.empty(); }
    | /* 45 */ list_expr_pas_vide
    ;

list_expr_pas_vide
    : /* 46 */ expr_simple
    | /* 47 */ list_expr_pas_vide ',' expr_simple
                { events.op(",", $2); }
    ;

expr_unaire
    : /* 48 */ expr_primaire
                { events.use_primary($1); $$.pending_operand = false; }
    | /* 49 */ '*' expr_castee
                { events.op("* unary", $1); }
    | /* 50 */ operateurs_unaires expr_castee
                { events.op(*$1.text, $1); $$.condition = events.logical_not($1, $2); }
    | /* 51 */ SIZEOF expr_unaire
                { events.op("sizeof", $1); events.unevaluated($1); }
    | /* 52 */ SIZEOF '(' nom_de_type ')'
                { events.op("sizeof", $1); events.unevaluated($1); }
    | /* 53 */ ALIGNOF expr_unaire
                { events.op("__alignof__", $1); events.unevaluated($1); }
    | /* 54 */ ALIGNOF '(' nom_de_type ')'
                { events.op("__alignof__", $1); events.unevaluated($1); }
    ;

expr_castee
    : /* 55 */ expr_unaire
    | /* 56 */ '(' nom_de_type ')' expr_castee
                { events.op("()", $1); }
    | /* 58 */ '(' nom_de_type ')' '{'
               { /* 57 */ $$ = actions.empty(); }
               initializer.. maybecomma '}'
                { events.op("()", $1); }
    ;

expr_simple
    : /* 59 */ expr_castee
    | /* 60 */ expr_simple '+' expr_simple
                { events.op("+", $2); }
    | /* 61 */ expr_simple '-' expr_simple
                { events.op("-", $2); }
    | /* 62 */ expr_simple '*' expr_simple
                { events.op("*", $2); }
    | /* 63 */ expr_simple '/' expr_simple
                { events.op("/", $2); }
    | /* 64 */ expr_simple '%' expr_simple
                { events.op("%", $2); }
    | /* 65 */ expr_simple LSHIFT expr_simple
                { events.op("<<", $2); }
    | /* 66 */ expr_simple RSHIFT expr_simple
                { events.op(">>", $2); }
    | /* 67 */ expr_simple LOET expr_simple
                { events.op("<=", $2); }
    | /* 68 */ expr_simple GOET expr_simple
                { events.op(">=", $2); }
    | /* 69 */ expr_simple LT expr_simple
                { events.op("<", $2); }
    | /* 70 */ expr_simple GT expr_simple
                { events.op(">", $2); }
    | /* 71 */ expr_simple EQ expr_simple
                { events.op("==", $2); }
    | /* 72 */ expr_simple NEQ expr_simple
                { events.op("!=", $2); }
    | /* 73 */ expr_simple '&' expr_simple
                { events.op("&", $2); }
    | /* 74 */ expr_simple '|' expr_simple
                { events.op("|", $2); }
    | /* 75 */ expr_simple '^' expr_simple
                { events.op("^", $2); }
    | /* 76 */ expr_simple ANDAND expr_simple
                { events.op("&&", $2); events.logical(qor::Conditional::And, $2);
                  $$.condition = events.logical_operator(qor::Conditional::And, $1, $2, $3); }
    | /* 77 */ expr_simple OROR expr_simple
                { events.op("||", $2); events.logical(qor::Conditional::Or, $2);
                  $$.condition = events.logical_operator(qor::Conditional::Or, $1, $2, $3); }
    | /* 78 */ expr_simple '?' expression_ou_rien ':' expr_simple
                { events.op("?", $2); events.logical(qor::Conditional::Ternary, $2); }
    | /* 79 */ expr_simple '=' expr_simple
                { events.op("=", $2); }
    | /* 80 */ expr_simple ASSIGNMENT expr_simple
                { events.op($2.text ? *$2.text : "=", $2); }
    ;

expr_primaire
    : /* 81 */ IDENTIFICATEUR
                { $$.pending_operand = true; }
    | /* 82 */ MIDENTIFICATEUR
                { $$.pending_operand = true; }
    | /* 83 */ CONSTANT
                { events.operand($1); }
    | /* 84 */ string
                { events.operand($1); $$.str = nullptr; }
    | /* 85 */ '(' expr_paren placeholder
                { events.op("()", $1); $$.condition = events.parenthesized($1, $2); }
    | /* 86 */ '(' error start_recovery ')'
                { actions.end_recovery(); }
    | /* 87 */ '(' instr_bloc ')'
    | /* 88 */ expr_primaire '(' list_expr ')'
                { events.call($1, $2); $$.pending_operand = false; }
    | /* 89 */ expr_primaire '[' expr ']'
                { events.use_primary($1); events.op("[]", $2); $$.pending_operand = false; }
    | /* 90 */ expr_primaire '.' identificateur
                { events.use_primary($1); events.op(".", $2); events.operand($3); $$.pending_operand = false; }
    | /* 91 */ expr_primaire CONSTANT
                { events.use_primary($1); events.operand($2); $$.pending_operand = false; }
    | /* 92 */ expr_primaire '.' CONSTANT
                { events.use_primary($1); events.op(".", $2); events.operand($3); $$.pending_operand = false; }
    | /* 93 */ expr_primaire ACCES_CHAMP identificateur
                { events.use_primary($1); events.op("->", $2); events.operand($3); $$.pending_operand = false; }
    | /* 94 */ expr_primaire PLUSPLUS
                { events.use_primary($1); events.op("++", $2); $$.pending_operand = false; }
    | /* 95 */ expr_primaire MINUSMINUS
                { events.use_primary($1); events.op("--", $2); $$.pending_operand = false; }
    | /* 96 */ ASM_MCC68K '(' nom_de_type ',' list_expr ')'
    | /* 97 */ ASM_MCC68K '(' list_expr ')'
    ;

string
    : /* 98 */ STRING
    | /* 99 */ string STRING
                { $$.str = actions.joined($1, $2); }
    ;

declarations_ou_rien
    : /* 100 */ %empty
                { $$ = actions.empty(); }
    | /* 101 */ declarations
    ;

declarations
    : /* 102 */ declaration
    | /* 103 */ instr_erreur
    | /* 104 */ declarations declaration
    | /* 105 */ declaration instr_erreur
    ;

fin_specificateurs
    : /* 106 */ %empty
                { actions.begin_specifiers($0.kwflags); $$ = actions.empty(); }
    ;

declaration
    : /* 107 */ specificateurs_de_declaration_type fin_specificateurs declarations_initialisation ';'
                { actions.end_declaration(); }
    | /* 108 */ declaration_avec_modificateur fin_specificateurs declarations_initialisation_nt ';'
                { actions.end_declaration(); }
    | /* 109 */ specificateurs_de_declaration_type ';'
    | /* 110 */ declaration_avec_modificateur ';'
    | /* 111 */ POINT_POINT_POINT
                { actions.unexpected_ellipsis(false); }
    ;

specificateurs_de_declaration_type
    : /* 112 */ specificateur_de_type specificateurs_de_declaration_reserve
                { $$.kwflags = $1.kwflags | $2.kwflags; }
    | /* 113 */ declaration_avec_modificateur specificateur_de_type specificateurs_de_declaration_reserve
                { $$.kwflags = $1.kwflags | $2.kwflags | $3.kwflags; }
    ;

specificateurs_de_declaration_reserve
    : /* 114 */ %empty
                { $$ = actions.empty(); }
    | /* 115 */ specificateurs_de_declaration_reserve reserve_spec_de_type
                { $$.kwflags = $1.kwflags | $2.kwflags; }
    | /* 116 */ specificateurs_de_declaration_reserve reserve_qual_de_type
                { $$.kwflags = $1.kwflags | $2.kwflags; }
    | /* 117 */ specificateurs_de_declaration_reserve SPECIFICATEUR_DE_STORAGE
                { $$.kwflags = $1.kwflags | $2.kwflags; }
    ;

declaration_avec_modificateur
    : /* 118 */ kw_qualificateur_de_type
    | /* 119 */ SPECIFICATEUR_DE_STORAGE
    | /* 120 */ BASED '(' expr ')'
    | /* 121 */ BASED '(' nom_de_type ')'
    | /* 122 */ declaration_avec_modificateur kw_qualificateur_de_type
                { $$.kwflags = $1.kwflags | $2.kwflags; }
    | /* 123 */ declaration_avec_modificateur SPECIFICATEUR_DE_STORAGE
                { $$.kwflags = $1.kwflags | $2.kwflags; }
    | /* 124 */ declaration_avec_modificateur BASED '(' expr ')'
    | /* 125 */ declaration_avec_modificateur BASED '(' nom_de_type ')'
    ;

specificateurs_de_type_type
    : /* 126 */ specificateur_de_type spec_qual_de_type_reserve
                { $$.kwflags = $1.kwflags | $2.kwflags; }
    | /* 127 */ qualificateur_de_type_non_vide specificateur_de_type spec_qual_de_type_reserve
    ;

spec_qual_de_type_reserve
    : /* 128 */ %empty
                { $$ = actions.empty(); }
    | /* 129 */ spec_qual_de_type_reserve reserve_spec_de_type
    | /* 130 */ spec_qual_de_type_reserve reserve_qual_de_type
    ;

kw_qualificateur_de_type
    : /* 131 */ QUALIFICATEUR_DE_TYPE
    | /* 132 */ kwRESTRICT
    | /* 133 */ kwCONST
    | /* 134 */ VOLATILE
    | /* 135 */ INTERRUPT
    | /* 136 */ INTERRUPT '[' expr ']'
    ;

kw_specificateur_de_type
    : /* 137 */ SPECIFICATEUR_DE_TYPE
    ;

specificateur_de_type
    : /* 138 */ kw_specificateur_de_type
    | /* 139 */ specificateur_de_structure attribut_ou_rien
    | /* 140 */ NOM_DE_TYPE
    | /* 141 */ TYPEOF '(' expr ')'
    | /* 142 */ TYPEOF '(' nom_de_type ')'
    ;

reserve_spec_de_type
    : /* 143 */ kw_specificateur_de_type
    | /* 144 */ specificateur_de_structure attribut_ou_rien
    ;

reserve_qual_de_type
    : /* 145 */ kw_qualificateur_de_type
    | /* 146 */ BASED '(' expr ')'
    | /* 147 */ BASED '(' nom_de_type ')'
    ;

declarations_initialisation
    : /* 148 */ initialisation_declaration
    | /* 149 */ declarations_initialisation ',' initialisation_declaration
    ;

declarations_initialisation_nt
    : /* 150 */ initialisation_declaration_nt
    | /* 151 */ declarations_initialisation_nt ',' initialisation_declaration
    ;

asm_ou_rien
    : /* 152 */ %empty
                { $$ = actions.empty(); }
    | /* 153 */ ASM '(' string ')'
    ;

initialisation_declaration
    : /* 155 */ declarateur asm_ou_rien attribut_ou_rien '='
                { /* 154 */ $$ = actions.empty(); }
                initializer
    | /* 156 */ declarateur asm_ou_rien attribut_ou_rien .initializer
    ;

.initializer
    : /* 157 */ %empty
                { $$ = actions.empty(); }
    | /* 158 */ initializer
    ;

initialisation_declaration_nt
    : /* 160 */ declarateur_nt asm_ou_rien attribut_ou_rien '='
                { /* 159 */ $$ = actions.empty(); }
                initializer
    | /* 161 */ declarateur_nt asm_ou_rien attribut_ou_rien
    ;

attribut_ou_rien
    : /* 162 */ %empty
                { $$ = actions.empty(); }
    | /* 163 */ ATTRIBUTE '(' '(' list_attributs ')' ')'
    | /* 164 */ '#' ATTRIBUTE '[' list_attributs ']'
    ;

list_attributs
    : /* 165 */ attribut
    | /* 166 */ list_attributs ',' attribut
    ;

attribut
    : /* 167 */ lex_identificateur
    | /* 168 */ kwCONST
    | /* 169 */ lex_identificateur '(' liste_param_attributs ')'
    ;

liste_param_attributs
    : /* 170 */ CONSTANT
    | /* 171 */ lex_identificateur
    | /* 172 */ liste_param_attributs ',' CONSTANT
    | /* 173 */ liste_param_attributs ',' lex_identificateur
    ;

initializer
    : /* 174 */ expr_simple
    | /* 175 */ '{' '}'
    | /* 176 */ '{' initializer.. '}'
    | /* 177 */ '{' initializer.. ',' '}'
    | /* 178 */ error start_recovery t_end_of_statement
                { actions.end_recovery(); }
    ;

initializer..
    : /* 179 */ designation_initializer
    | /* 180 */ initializer.. ',' designation_initializer
    ;

designation_initializer
    : /* 181 */ initializer
    | /* 182 */ designator.. '=' initializer
    ;

designator..
    : /* 183 */ designator
    | /* 184 */ designator.. designator
    ;

designator
    : /* 185 */ '[' expr ']'
    | /* 186 */ '.' identificateur
    ;

declarateur
    : /* 187 */ declarateur_apres_type
    | /* 188 */ declarateur_nt
    ;

declarateur_apres_type
    : /* 189 */ '(' declarateur_apres_type ')'
                { $$ = $2; }
    | /* 190 */ '(' qualificateur_de_type_non_vide declarateur_apres_type ')'
                { $$ = $3; }
    | /* 192 */ declarateur_apres_type '('
                { /* 191 */ $$ = actions.empty(); $$.params = actions.open_parameters(); }
                list_parametre_ou_identificateurs
                { actions.close_parameters(); if ($$.params < 0) $$.params = $3.params; }
    | /* 193 */ declarateur_apres_type '[' expr ']'
    | /* 194 */ declarateur_apres_type '[' ']'
    | /* 195 */ '*' qualificateurs_de_type declarateur_apres_type
                { $$ = $3; }
    | /* 196 */ NOM_DE_TYPE
                { actions.declare($1, true); }
    | /* 197 */ '*' error start_recovery declarateur_apres_type t_balanced_s
                { actions.end_recovery(); $$ = $4; }
    | /* 198 */ '*' error start_recovery t_balanced_s
                { actions.end_recovery(); $$ = actions.empty(); }
    | /* 199 */ '(' error start_recovery ')'
                { actions.end_recovery(); $$ = actions.empty(); }
    | /* 200 */ declarateur_apres_type '(' error start_recovery ')'
                { actions.end_recovery(); }
    | /* 201 */ declarateur_apres_type '[' error start_recovery ']'
                { actions.end_recovery(); }
    ;

declarateur_parametre
    : /* 203 */ declarateur_parametre '('
                { /* 202 */ $$ = actions.empty(); $$.params = actions.open_parameters(); }
                list_parametre_ou_identificateurs
                { actions.close_parameters(); if ($$.params < 0) $$.params = $3.params; }
    | /* 204 */ declarateur_parametre '[' expr ']'
    | /* 205 */ declarateur_parametre '[' ']'
    | /* 206 */ '*' qualificateurs_de_type declarateur_parametre
                { $$ = $3; }
    | /* 207 */ NOM_DE_TYPE
                { actions.declare($1, true); }
    | /* 208 */ '*' error start_recovery declarateur_parametre t_balanced_s
                { actions.end_recovery(); $$ = $4; }
    | /* 209 */ '*' error start_recovery t_balanced_s
                { actions.end_recovery(); $$ = actions.empty(); }
    | /* 210 */ declarateur_parametre '(' error start_recovery ')'
                { actions.end_recovery(); }
    | /* 211 */ declarateur_parametre '[' error start_recovery ']'
                { actions.end_recovery(); }
    ;

declarateur_nt
    : /* 213 */ declarateur_nt '('
                { /* 212 */ $$ = actions.empty(); $$.params = actions.open_parameters(); }
                list_parametre_ou_identificateurs
                { actions.close_parameters(); if ($$.params < 0) $$.params = $3.params; }
    | /* 214 */ '(' qualificateur_de_type_non_vide declarateur_nt ')'
                { $$ = $3; }
    | /* 215 */ '(' declarateur_nt ')'
                { $$ = $2; }
    | /* 216 */ '*' qualificateurs_de_type declarateur_nt
                { $$ = $3; }
    | /* 217 */ declarateur_nt '[' expr ']'
    | /* 218 */ declarateur_nt '[' ']'
    | /* 219 */ lex_identificateur
                { actions.declare($1, false); }
    | /* 220 */ '*' error start_recovery declarateur_nt t_balanced_s
                { actions.end_recovery(); $$ = $4; }
    | /* 221 */ '*' error start_recovery t_balanced_s
                { actions.end_recovery(); $$ = actions.empty(); }
    | /* 222 */ '(' error start_recovery ')'
                { actions.end_recovery(); $$ = actions.empty(); }
    | /* 223 */ declarateur_nt '(' error start_recovery ')'
                { actions.end_recovery(); }
    | /* 224 */ declarateur_nt '[' error start_recovery ']'
                { actions.end_recovery(); }
    ;

specificateur_de_structure
    : /* 226 */ STRUCT identificateur '{'
                { /* 225 */ actions.begin_members(); $$ = actions.empty(); }
                list_declaration_champ '}'
                { actions.end_members(); }
    | /* 228 */ STRUCT '{'
                { /* 227 */ actions.begin_members(); $$ = actions.empty(); }
                list_declaration_champ '}'
                { actions.end_members(); }
    | /* 229 */ STRUCT identificateur
    | /* 231 */ UNION identificateur '{'
                { /* 230 */ actions.begin_members(); $$ = actions.empty(); }
                list_declaration_champ '}'
                { actions.end_members(); }
    | /* 233 */ UNION '{'
                { /* 232 */ actions.begin_members(); $$ = actions.empty(); }
                list_declaration_champ '}'
                { actions.end_members(); }
    | /* 234 */ UNION identificateur
    | /* 235 */ ENUM identificateur '{' list_enum maybecomma_warn '}'
    | /* 236 */ ENUM '{' list_enum maybecomma_warn '}'
    | /* 237 */ ENUM identificateur
    ;

maybecomma
    : /* 238 */ %empty
                { $$ = actions.empty(); }
    | /* 239 */ ','
    ;

maybecomma_warn
    : /* 240 */ %empty
                { $$ = actions.empty(); }
    | /* 241 */ ','
    ;

list_declaration_champ
    : /* 242 */ list_declaration_champ2
    | /* 243 */ list_declaration_champ2 declaration_champ
    ;

list_declaration_champ2
    : /* 244 */ %empty
                { $$ = actions.empty(); }
    | /* 245 */ list_declaration_champ2 declaration_champ ';'
    | /* 246 */ list_declaration_champ2 ';'
    ;

declaration_champ
    : /* 247 */ specificateurs_de_type_type fin_specificateurs champs
                { actions.end_declaration(); }
    | /* 248 */ qualificateur_de_type_non_vide fin_specificateurs champs
                { actions.end_declaration(); }
    | /* 249 */ error start_recovery t_end_of_statement
                { actions.end_recovery(); }
    ;

champs
    : /* 250 */ %empty
                { $$ = actions.empty(); }
    | /* 251 */ declarateur_de_champ
    | /* 252 */ champs ',' declarateur_de_champ
    ;

declarateur_de_champ
    : /* 253 */ declarateur attribut_ou_rien
    | /* 254 */ declarateur ':' expr_simple attribut_ou_rien
    | /* 255 */ ':' expr_simple
    ;

list_enum
    : /* 256 */ enumerateur
    | /* 257 */ list_enum ',' enumerateur
    ;

enumerateur
    : /* 258 */ identificateur
                { actions.declare_enumerator($1); }
    | /* 259 */ identificateur '=' expr_simple
                { actions.declare_enumerator($1); }
    ;

nom_de_type
    : /* 260 */ specificateurs_de_type_type declarateur_absolu
    | /* 261 */ qualificateur_de_type_non_vide declarateur_absolu
    ;

declarateur_absolu
    : /* 262 */ %empty
                { $$ = actions.empty(); $$.nothing = true; }
    | /* 263 */ declarateur_absolu1
    ;

qualificateur_de_type_non_vide
    : /* 264 */ kw_qualificateur_de_type
    | /* 265 */ qualificateur_de_type_non_vide kw_qualificateur_de_type
    | /* 266 */ BASED '(' expr ')'
    | /* 267 */ BASED '(' nom_de_type ')'
    ;

qualificateurs_de_type
    : /* 268 */ %empty
                { $$ = actions.empty(); }
    | /* 269 */ qualificateurs_de_type kw_qualificateur_de_type
    | /* 270 */ BASED '(' expr ')'
    | /* 271 */ BASED '(' nom_de_type ')'
    ;

declarateur_absolu1
    : /* 272 */ '(' declarateur_absolu1 ')'
    | /* 273 */ '(' qualificateur_de_type_non_vide declarateur_absolu1 ')'
    | /* 274 */ '*' qualificateurs_de_type declarateur_absolu1
    | /* 275 */ '*' qualificateurs_de_type
    | /* 277 */ declarateur_absolu1 '('
                { /* 276 */ $$ = actions.empty(); $$.params = actions.open_parameters(); }
                list_parametre
                { actions.close_parameters(); }
    | /* 278 */ declarateur_absolu1 '[' expr ']'
    | /* 279 */ declarateur_absolu1 '[' ']'
    | /* 281 */ '('
                { /* 280 */ $$ = actions.empty(); $$.params = actions.open_parameters(); }
                list_parametre
                { actions.close_parameters(); $$ = actions.empty(); }
    | /* 282 */ '[' expr ']'
    | /* 283 */ '[' ']'
    ;

instructions
    : /* 284 */ instruction
    | /* 286 */ instructions
                { /* 285 */ $$ = events.record_running(); }
                instruction_ou_declaration
                { $$ = events.sequence($1, $2, $3); }
    | /* 287 */ instructions instr_erreur
                { $$.path = -1; }
    ;

instruction_ou_declaration
    : /* 288 */ instruction
    | /* 289 */ declaration
                { $$ = actions.empty(); }
    ;

instructions_ou_rien
    : /* 290 */ %empty
                { $$ = actions.empty(); }
    | /* 291 */ instructions
    ;

instruction_ou_rien
    : /* 292 */ %empty
                { $$ = actions.empty(); $$.nothing = true; }
    | /* 293 */ instruction
    ;

instr_erreur
    : /* 294 */ error start_recovery ';'
                { actions.end_recovery(); $$ = actions.empty(); $$.path = -1; }
    ;

pushlevel
    : /* 295 */ %empty
                { actions.push_scope(); $$ = actions.empty(); }
    ;

instr_bloc_ou_erreur
    : /* 296 */ instr_bloc
    | /* 297 */ error start_recovery instr_bloc
                { actions.end_recovery(); $$ = $3; }
    ;

instr_bloc
    : /* 298 */ open_bracket '}'
                { $$ = events.empty_block($1, $2); actions.pop_scope(); }
    | /* 299 */ open_bracket declarations instructions_ou_rien '}'
                { $$ = events.block($1, $3, $4); actions.pop_scope(); }
    | /* 300 */ open_bracket error start_recovery '}'
                { actions.end_recovery(); actions.pop_scope(); $$ = actions.empty(); $$.path = -1; $$.line = $1.line; $$.end_line = $4.line; }
    | /* 301 */ open_bracket instructions '}'
                { $$ = events.block($1, $2, $3); actions.pop_scope(); }
    ;

open_bracket
    : /* 303 */ '{'
                { /* 302 */ events.open_block($1); $$ = actions.empty(); }
                pushlevel
                { $$ = $1; }
    ;

expr_paren
    : /* 304 */ expr ')'
    | /* 305 */ error start_recovery ')'
                { actions.end_recovery(); }
    ;

expr_semicolon
    : /* 306 */ expr ';'
                { $$.end_line = $2.line; $$.counted = $2.counted; }
    | /* 307 */ error start_recovery ';'
                { actions.end_recovery(); $$ = $3; $$.line = $3.line; $$.end_line = $3.line; }
    ;

if_sans_else
    : /* 310 */ IF '('
                { /* 308 */ events.if_start(); $$ = events.capture_mark(); }
                expr_paren placeholder
                { /* 309 */ $$ = events.if_condition($1, $3, $4); }
                instruction
                { $$ = events.if_part($6, $7); }
    ;

instruction
    : /* 311 */ instr_bloc
    | /* 312 */ expr_semicolon placeholder
                { events.expression_statement($1); $$ = events.simple_statement($1, $1.end_line, $1); }
    | /* 314 */ if_sans_else ELSE
                { /* 313 */ events.else_start($1, $2); $$ = actions.empty(); }
                instruction
                { $$ = events.if_with_else($1, $4); }
    | /* 315 */ if_sans_else
                { $$ = events.if_without_else($1); }
    | /* 319 */ WHILE
                { /* 316 */ events.loop_start($1); $$ = actions.empty(); }
                '('
                { /* 317 */ $$ = events.capture_mark(); }
                expr_paren placeholder
                { /* 318 */ $$ = events.while_condition($1, $4, $5); }
                instruction
                { $$ = events.while_end($7, $8, $1); }
    | /* 324 */ DO
                { /* 320 */ $$ = events.do_start($1); }
                instruction
                { /* 321 */ $$ = actions.empty(); }
                WHILE '('
                { /* 322 */ events.do_while($5, $6); $$ = events.capture_mark(); }
                expr_paren placeholder
                { /* 323 */ $$ = events.do_condition($7, $5, $8); }
                ';'
                { qor::SemanticValue head = $2; head.text = $10.text; $$ = events.do_end(head, $3, $1, $11.line); }
    | /* 329 */ FOR
                { /* 325 */ events.loop_start($1); actions.push_scope(); $$ = actions.empty(); }
                '(' for_clause placeholder
                { /* 326 */ events.for_init($1, $4); $$ = events.capture_mark(); }
                expression_ou_rien ';'
                { /* 327 */ $$ = events.for_condition($6, $1, $7, $8); }
                expression_ou_rien ')'
                { /* 328 */ $$ = events.for_head($1, $9, $10, $11); }
                instruction
                { $$ = events.for_end($12, $13, $1); actions.pop_scope(); }
    | /* 332 */ SWITCH '('
                { /* 330 */ events.switch_start($1); $$ = events.capture_mark(); }
                expr_paren placeholder
                { /* 331 */ $$ = events.switch_head($1, $3, $4); }
                instruction
                { $$ = events.switch_end($6, $7); }
    | /* 335 */ CASE
                { /* 333 */ $$ = events.capture_mark(); }
                expr ':'
                { /* 334 */ $$ = events.case_label($2, $1); }
                instruction_ou_rien
                { $$ = events.labelled_case($5, $6); }
    | /* 338 */ DEFAULT
                { /* 336 */ $$ = actions.empty(); }
                ':'
                { /* 337 */ $$ = events.default_label($1); }
                instruction_ou_rien
                { $$ = events.labelled_case($4, $5); }
    | /* 339 */ BREAK ';'
                { $$ = events.break_statement($1, $2); }
    | /* 340 */ CONTINUE ';'
                { $$ = events.continue_statement($1, $2); }
    | /* 341 */ RETURN ';'
                { $$ = events.return_statement($1, $2); }
    | /* 342 */ RETURN expr ';'
                { events.return_expression($1, $2, $3); $$ = events.return_statement($1, $3); }
    | /* 344 */ TRY
                { /* 343 */ events.statement_start(); $$ = actions.empty(); }
                instruction
                { $$ = $3; }
    | /* 346 */ FINALLY
                { /* 345 */ events.statement_start(); $$ = actions.empty(); }
                instruction
                { $$ = $3; }
    | /* 347 */ LEAVE ';'
                { $$ = events.leave_statement($1, $2); }
    | /* 350 */ EXCEPT '('
                { /* 348 */ events.statement_start(); $$ = actions.empty(); }
                expr_paren placeholder
                { /* 349 */ events.except_filter($1, $4); $$ = actions.empty(); }
                instruction
                { $$ = $7; }
    | /* 351 */ ASM qualificateur_de_type_ou_rien '(' string ')' ';'
                { $$ = events.asm_statement($1, $6); }
    | /* 352 */ ASM qualificateur_de_type_ou_rien '(' string ':' operandes_asm ')' ';'
                { $$ = events.asm_statement($1, $8); }
    | /* 353 */ ASM qualificateur_de_type_ou_rien '(' string ':' operandes_asm ':' operandes_asm ')' ';'
                { $$ = events.asm_statement($1, $10); }
    | /* 354 */ ASM qualificateur_de_type_ou_rien '(' string ':' operandes_asm ':' operandes_asm ':' clobbers_asm ')' ';'
                { $$ = events.asm_statement($1, $12); }
    | /* 355 */ GOTO identificateur ';'
                { $$ = events.goto_statement($1, $2, $3); }
    | /* 357 */ identificateur ':'
                { /* 356 */ events.label($1); $$ = actions.empty(); }
                instruction_ou_rien
                { $$ = events.labelled_statement($1, $4); }
    | /* 358 */ ';'
                { $$ = events.simple_statement($1, $1.line, $1); }
    ;

qualificateur_de_type_ou_rien
    : /* 359 */ %empty
                { $$ = actions.empty(); }
    | /* 360 */ kw_qualificateur_de_type
    | /* 361 */ BASED '(' expr ')'
    | /* 362 */ BASED '(' nom_de_type ')'
    ;

for_clause
    : /* 363 */ expression_ou_rien ';'
    | /* 364 */ definition_de_donnee
                { $$ = actions.empty(); }
    ;

expression_ou_rien
    : /* 365 */ %empty
                { $$ = actions.empty(); }
    | /* 366 */ expr
    ;

operandes_asm
    : /* 367 */ %empty
                { $$ = actions.empty(); }
    | /* 368 */ operandes_asm_pas_vide
    ;

operandes_asm_pas_vide
    : /* 369 */ operande_asm
    | /* 370 */ operandes_asm_pas_vide ',' operande_asm
    ;

operande_asm
    : /* 371 */ STRING '(' expr ')'
    ;

clobbers_asm
    : /* 372 */ string
    | /* 373 */ clobbers_asm ',' string
    ;

list_parametre
    : /* 374 */ list_parametre_1
    ;

list_parametre_ou_identificateurs
    : /* 375 */ list_parametre_ou_identificateurs_1
    ;

list_parametre_ou_identificateurs_1
    : /* 376 */ list_parametre_2 ')'
    | /* 377 */ identificateurs ')'
    | /* 378 */ error start_recovery ')'
                { actions.end_recovery(); }
    ;

list_parametre_1
    : /* 379 */ list_parametre_2 ')'
    | /* 380 */ error start_recovery ')'
                { actions.end_recovery(); }
    ;

list_parametre_2
    : /* 381 */ %empty
                { $$ = actions.empty(); }
    | /* 382 */ parametres
    | /* 383 */ parametres ',' POINT_POINT_POINT
    | /* 384 */ POINT_POINT_POINT
                { actions.unexpected_ellipsis(true); }
    ;

parametres
    : /* 385 */ parametre
    | /* 386 */ parametres ',' parametre
    ;

parametre
    : /* 387 */ specificateurs_de_declaration_type declarateur_parametre
                { actions.count_parameter($1, false); }
    | /* 388 */ specificateurs_de_declaration_type declarateur_nt
                { actions.count_parameter($1, false); }
    | /* 389 */ specificateurs_de_declaration_type declarateur_absolu
                { actions.count_parameter($1, $2.nothing); }
    | /* 390 */ declaration_avec_modificateur declarateur_nt
                { actions.count_parameter($1, false); }
    | /* 391 */ declaration_avec_modificateur declarateur_absolu
                { actions.count_parameter($1, $2.nothing); }
    ;

identificateurs
    : /* 392 */ lex_identificateur
                { actions.identifier_parameter($1); }
    | /* 393 */ identificateurs ',' lex_identificateur
                { actions.identifier_parameter($3); }
    ;

lex_identificateur
    : /* 394 */ IDENTIFICATEUR
    | /* 395 */ MIDENTIFICATEUR
    ;

/* Error recovery: the tokens skipped after a bad function head, as a run of
   groups in which (), [] and {} are balanced. */
t_balanced_s
    : /* 396 */ t_balanced
    | /* 397 */ t_balanced_s t_balanced
    ;

t_non_bracket_s
    : /* 398 */ t_non_bracket
    | /* 399 */ t_non_bracket_s t_non_bracket
    ;

t_balanced
    : /* 400 */ '(' t_balanced ')'
    | /* 401 */ '{' t_balanced '}'
    | /* 402 */ '[' t_balanced ']'
    | /* 403 */ t_non_bracket_s
    ;

t_non_bracket
    : /* 404 */ t_non_bracket_non_semicolon
    | /* 405 */ ';'
    ;

/* Any token but the brackets and ';': every named token in code order, then
   the remaining single characters. */
t_non_bracket_non_semicolon
    : /* 406 */ IDENTIFICATEUR
    | /* 407 */ MIDENTIFICATEUR
    | /* 408 */ BASED
    | /* 409 */ TRY
    | /* 410 */ FINALLY
    | /* 411 */ EXCEPT
    | /* 412 */ LEAVE
    | /* 413 */ NOM_DE_TYPE
    | /* 414 */ SPECIFICATEUR_DE_STORAGE
    | /* 415 */ SPECIFICATEUR_DE_TYPE
    | /* 416 */ QUALIFICATEUR_DE_TYPE
    | /* 417 */ CONSTANT
    | /* 418 */ STRING
    | /* 419 */ POINT_POINT_POINT
    | /* 420 */ SIZEOF
    | /* 421 */ ENUM
    | /* 422 */ STRUCT
    | /* 423 */ UNION
    | /* 424 */ IF
    | /* 425 */ ELSE
    | /* 426 */ WHILE
    | /* 427 */ DO
    | /* 428 */ FOR
    | /* 429 */ SWITCH
    | /* 430 */ CASE
    | /* 431 */ DEFAULT
    | /* 432 */ BREAK
    | /* 433 */ CONTINUE
    | /* 434 */ RETURN
    | /* 435 */ GOTO
    | /* 436 */ ASM
    | /* 437 */ TYPEOF
    | /* 438 */ ALIGNOF
    | /* 439 */ ATTRIBUTE
    | /* 440 */ ASM_MCC68K
    | /* 441 */ kwCONST
    | /* 442 */ kwRESTRICT
    | /* 443 */ VOLATILE
    | /* 444 */ INTERRUPT
    | /* 445 */ ASSIGNMENT
    | /* 446 */ OROR
    | /* 447 */ ANDAND
    | /* 448 */ NEQ
    | /* 449 */ EQ
    | /* 450 */ GT
    | /* 451 */ LT
    | /* 452 */ GOET
    | /* 453 */ LOET
    | /* 454 */ RSHIFT
    | /* 455 */ LSHIFT
    | /* 456 */ MINUSMINUS
    | /* 457 */ PLUSPLUS
    | /* 458 */ UNARY
    | /* 459 */ GESTION_PRIORITE
    | /* 460 */ ACCES_CHAMP
    | /* 461 */ '!'
    | /* 462 */ '#'
    | /* 463 */ '%'
    | /* 464 */ '&'
    | /* 465 */ '*'
    | /* 466 */ '+'
    | /* 467 */ ','
    | /* 468 */ '-'
    | /* 469 */ '.'
    | /* 470 */ '/'
    | /* 471 */ ':'
    | /* 472 */ '='
    | /* 473 */ '?'
    | /* 474 */ '^'
    | /* 475 */ '|'
    | /* 476 */ '~'
    ;

/* Reduced right after every 'error' token: starts counting the lines that
   the recovery swallows. */
start_recovery
    : /* 477 */ %empty
                { actions.start_recovery(); $$ = actions.empty(); }
    ;

/* Reduced right after a parenthesised expression or condition, an
   expression statement and the first clause of a for: a hook for the actions
   at that point. */
placeholder
    : /* 478 */ %empty
                { $$ = actions.empty(); }
    ;

/* GNU dialects. The lexer of the other dialects never produces the tokens
   that these rules start with or contain, so the parse of those dialects
   stays as it was. */

/* __builtin_va_arg (ap, int), __builtin_offsetof (struct s, m[2].f) and the
   like: each argument is an expression or a type name. _Generic (x, int: a,
   default: b) is read the same way, its associations being arguments too.
   The built-in counts as an operator, as sizeof does; it is no call. */
expr_primaire
    : /* 479 */ BUILTIN_TYPE_ARG '(' arguments_builtin ')'
                { $$ = events.builtin_with_types($1); }
    ;

arguments_builtin
    : /* 480 */ argument_builtin
    | /* 481 */ arguments_builtin ',' argument_builtin
    ;

argument_builtin
    : /* 482 */ expr_simple
    | /* 483 */ nom_de_type
    | /* 484 */ nom_de_type ':' expr_simple
    | /* 485 */ DEFAULT ':' expr_simple
    ;

/* "case 'a' ... 'z':" and "[0 ... 9] = x": the range is an operator of the
   lowest precedence between two constant expressions. */
expr_simple
    : /* 486 */ expr_simple RANGE_DOTS expr_simple
                { events.op("...", $2); }
    ;

t_non_bracket_non_semicolon
    : /* 487 */ BUILTIN_TYPE_ARG
    | /* 488 */ RANGE_DOTS
    ;

/* Labels as values: "&&label" is the label's address, and "goto *expr;"
   jumps to the address that the expression computes. The jump is a
   statement of its own kind: its destination is one of the labels whose
   address the function takes. */
expr_unaire
    : /* 489 */ ANDAND identificateur
                { events.label_address($1, $2); }
    ;

instruction
    : /* 490 */ GOTO '*' expr ';'
                { $$ = events.computed_goto($1, $2, $4); }
    ;

/* "__real__ z" and "__imag__ z": unary operators under their own names. */
operateurs_unaires
    : /* 491 */ COMPLEX_PART
                { $$.text = $1.str; }
    ;

t_non_bracket_non_semicolon
    : /* 492 */ COMPLEX_PART
    ;

/* asm goto ("..." : outputs : inputs : clobbers : label, ...): the asm
   may jump to any of the labels, or go on. */
instruction
    : /* 493 */ ASM qualificateur_de_type_ou_rien GOTO '(' string ':' operandes_asm ':' operandes_asm ':'
                clobbers_asm_ou_rien ':' labels_asm ')' ';'
                { $$ = events.asm_goto_statement($1, $15); }
    ;

clobbers_asm_ou_rien
    : /* 494 */ %empty
                { $$ = actions.empty(); }
    | /* 495 */ clobbers_asm
    ;

labels_asm
    : /* 496 */ identificateur
                { events.asm_jump_target($1); }
    | /* 497 */ labels_asm ',' identificateur
                { events.asm_jump_target($3); }
    ;

/* GNU C's nested functions: a function definition among the declarations
   of a block. Its '{' is shifted rather than read as an initializer
   written without '=' (156), which C does not have. Its body is read as a
   block, in the scope of its parameters. */
declaration
    : /* 499 */ specificateurs_de_declaration_type fin_specificateurs declarateur '{'
                { /* 498 */ actions.begin_nested_function($3, $4); $$ = actions.empty(); }
                corps_de_fonction_imbriquee
                { actions.end_nested_function($6); actions.end_declaration(); }
    ;

corps_de_fonction_imbriquee
    : /* 500 */ '}'
    | /* 501 */ declarations instructions_ou_rien '}'
                { $$ = $3; }
    | /* 502 */ instructions '}'
                { $$ = $2; }
    | /* 503 */ error start_recovery '}'
                { actions.end_recovery(); $$ = $3; }
    ;

/* C23. Its keywords reach the parser in C23 mode only (true, false and
   nullptr as constants, constexpr as a storage class, typeof_unqual and
   _BitInt as TYPEOF); the rules below are those it needs beyond them. */

/* An enumeration with a fixed underlying type, "enum e : unsigned char
   { A, B }", and the declaration of one, "enum e : int;". The type names
   no object: nothing of it is counted. */
specificateur_de_structure
    : /* 504 */ ENUM identificateur ENUM_BASE specificateurs_de_type_type '{' list_enum maybecomma_warn '}'
    | /* 505 */ ENUM ENUM_BASE specificateurs_de_type_type '{' list_enum maybecomma_warn '}'
    | /* 506 */ ENUM identificateur ENUM_BASE specificateurs_de_type_type
    ;

/* "unsigned _BitInt(7)": a type with an argument after other specifiers. */
reserve_spec_de_type
    : /* 507 */ TYPEOF '(' expr ')'
    ;

t_non_bracket_non_semicolon
    : /* 508 */ ENUM_BASE
    ;

/* A compound literal followed by a postfix operator: "(struct s){1, 2}.a",
   "(int[]){1, 2}[1]", "(struct s *){&v}->a", "(struct s){1}.a++". The
   literal is a cast expression (58), and so is the result, where a cast
   expression may stand: not as the operand of sizeof, which is read as
   before. Any other cast expression gave its postfix operator to its
   primary expression already (shifting is preferred), so only a literal
   reaches these rules. They count as 89, 90 and 93 to 95 do. */
expr_castee
    : /* 509 */ expr_castee '[' expr ']'
                { events.use_primary($1); events.op("[]", $2); $$.pending_operand = false; }
    | /* 510 */ expr_castee '.' identificateur
                { events.use_primary($1); events.op(".", $2); events.operand($3); $$.pending_operand = false; }
    | /* 511 */ expr_castee ACCES_CHAMP identificateur
                { events.use_primary($1); events.op("->", $2); events.operand($3); $$.pending_operand = false; }
    | /* 512 */ expr_castee PLUSPLUS
                { events.use_primary($1); events.op("++", $2); $$.pending_operand = false; }
    | /* 513 */ expr_castee MINUSMINUS
                { events.use_primary($1); events.op("--", $2); $$.pending_operand = false; }
    ;

/* Error recovery in a function body. An unreadable statement or block is
   skipped up to its ';' or its block's '}' (294, 300), token by token, but
   a '{' there opens a group that ends at its own '}' ("x = sizeof (int[])
   {1, 2};"): neither that '}' nor a ';' inside ends the statement or the
   block, so the one error does not close the block early and cascade.
   From the group on, the skipped text is read over balanced groups of (),
   [] and {} and the ')' or ']' whose opening the error left behind. Text
   without a '{' is skipped as it always was. */
instr_erreur
    : /* 514 */ error start_recovery t_sauts_apres_accolades ';'
                { actions.end_recovery(); $$ = actions.empty(); $$.path = -1; }
    ;

instr_bloc
    : /* 515 */ open_bracket error start_recovery t_sauts_apres_accolades '}'
                { actions.end_recovery(); actions.pop_scope(); $$ = actions.empty(); $$.path = -1; $$.line = $1.line; $$.end_line = $5.line; }
    ;

t_sauts_apres_accolades
    : /* 516 */ t_accolades
    | /* 517 */ t_sauts_apres_accolades t_saut
    ;

t_saut
    : /* 518 */ t_non_bracket_non_semicolon
    | /* 519 */ t_groupe
    | /* 520 */ ')'
    | /* 521 */ ']'
    ;

t_groupe
    : /* 522 */ '(' t_contenu_groupe ')'
    | /* 523 */ '[' t_contenu_groupe ']'
    | /* 524 */ t_accolades
    ;

t_accolades
    : /* 525 */ '{' t_contenu_groupe '}'
    ;

t_contenu_groupe
    : /* 526 */ %empty
                { $$ = actions.empty(); }
    | /* 527 */ t_contenu_groupe t_non_bracket
    | /* 528 */ t_contenu_groupe t_groupe
    ;

%%

/* The token codes are shared with the lexer (frontend/tokens.hpp) and the
   rule numbers and symbols are fixed: stop the build if they move. */
static_assert(TOK_IDENTIFICATEUR == 258 && TOK_ACCES_CHAMP == 312,
              "named tokens must keep the codes 258 to 312");
static_assert(TOK_BUILTIN_TYPE_ARG == 313 && TOK_RANGE_DOTS == 314 && TOK_COMPLEX_PART == 315,
              "the GNU tokens follow with the codes 313 to 315");
static_assert(TOK_ENUM_BASE == 316, "then the C23 token");
static_assert(YYNTOKENS == 85, "81 terminals, the 3 of the GNU dialects and the one of C23");
static_assert(YYNNTS == 159, "148 nonterminals, the 6 of the GNU dialects and the 5 of the skipped text");
static_assert(YYNRULES == 528, "478 rules, the 25 of the GNU dialects, the 10 of C23 and the 15 of recovery");
