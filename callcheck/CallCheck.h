// Reads a macro's directive language into a small tree, lints it, and simulates its
// compile-time checks for a sample call: our model of the compiler, not the compiler.
#pragma once

#include "MacroCodeGenerator.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// All text here is 8-bit, code page 1252, held in std::string.
namespace vmg::callcheck {

// ---- Lint findings ----

enum class Severity { Error, Warning };

struct Finding {
    int line = 0; // from 1; 0 for the text as a whole
    Severity severity = Severity::Error;
    std::string text;
    bool operator==(const Finding&) const = default;
};

// ---- Values and expressions ----

// A symbol's value: a number, or a word (a kind keyword, or a variable's text).
struct Value {
    std::optional<std::int64_t> number;
    std::string word;
    static Value Number(std::int64_t n) { return {n, {}}; }
    static Value Word(std::string w) { return {std::nullopt, std::move(w)}; }
    std::string ToString() const;
    bool operator==(const Value&) const = default;
};

// Symbol names are compared without regard to letter case, as the compiler does; keys are
// kept in capitals.
using Symbols = std::map<std::string, Value>;
std::string Upper(std::string_view text);

enum class CmpOp { Eq, Ne, Lt, Gt, Le, Ge };

struct Operand {
    enum class Kind { Symbol, Number, Word } kind = Kind::Number;
    std::string text; // the symbol's name in capitals, or the word in capitals
    std::int64_t number = 0;
    int symbol = -1; // a symbol's index in MacroText::symbolNames, once read into a macro
};

// An expression: a comparison, or the && / || of its parts.
struct Expr {
    enum class Kind { Compare, And, Or } kind = Kind::Compare;
    Operand lhs, rhs;
    CmpOp op = CmpOp::Eq;
    std::vector<Expr> parts;
};

// Parses the text after "#IF"; nothing with the reason when it is not an expression.
std::optional<Expr> ParseExpr(std::string_view text, std::string* whyNot = nullptr);
// The symbols an expression reads, in capitals, each once, in order of appearance.
std::vector<std::string> SymbolsOf(const Expr& expr);
// True when a word is a kind keyword of the catalogue (or NA), in any letter case.
bool IsKindKeyword(std::string_view word);
// Every kind keyword the catalogue knows, in a fixed order (the wrong-kind calls take the
// first one a parameter does not accept).
const std::vector<std::string>& AllKinds();

// ---- The tree ----

struct Node {
    enum class Kind { Statement, Error, If } kind = Kind::Statement;
    int line = 0;
    std::string text;              // a statement without its indentation, or the error's text
    std::optional<Expr> condition; // #IF: nothing when the condition could not be read
    std::vector<Node> then, otherwise;
};

struct MacroText {
    std::string name;                 // from the header; empty without one
    int headerLine = 0;               // 0: no MACRO header
    std::vector<std::string> formals; // as written, "P1", "P2", ..., "RETURNVALUE"
    bool hasReturnValue = false;      // the last formal is RETURNVALUE
    int paramFormals = 0;             // the P formals
    std::vector<Node> body;
    std::vector<Finding> findings;        // lint, in line order
    std::vector<std::string> symbolNames; // every symbol the conditions read, in capitals
    int lineCount = 0;
};

// Reads a macro text (lines end at CR LF, CR or LF) and lints it.
MacroText ReadMacro(std::string_view text);
bool HasErrors(const std::vector<Finding>& findings);

// ---- Evaluation ----

// What a call binds: the symbols and the text of each formal.
struct Bindings {
    Symbols symbols;
    std::map<std::string, std::string> formals; // formal in capitals -> argument text
};

struct ExpandedLine {
    int line = 0;
    std::string text;     // formals and the return symbols replaced by their text
    std::string original; // as it stands in the macro
};

struct Outcome {
    enum class Kind { Expansion, ErrorFired, Undecided } kind = Kind::Expansion;
    int line = 0;                    // the #ERROR's line, or the #IF that could not be decided
    std::string text;                // the error's text, or why it could not be decided
    std::vector<std::string> owners; // ErrorFired: the symbols its innermost #IF reads
    std::vector<ExpandedLine> lines; // Expansion: the statement lines that remain
};

// Without withText the expansion's lines carry their line numbers and original text only.
Outcome Evaluate(const MacroText& macro, const Bindings& bindings, bool withText = true);
// Sets a symbol; the return variable's symbols (RETURN_VAR, LST_PRM_NAME) also stand for
// their text in the expansion.
void SetSymbol(Bindings& bindings, const std::string& name, const Value& value);

// The argument counts from 0 to formals + 2 for which no #ERROR governed by PRM_COUNT alone
// fires.
std::vector<int> PassingCounts(const MacroText& macro);
// "2", "0-3", "1, 3" or "no argument count passes the count checks".
std::string DescribeCounts(const std::vector<int>& counts);

// ---- From a call line to symbol values ----

// A variable declared on the page, with the kind its Dim type gives (empty: none of ours).
struct Declaration {
    std::string name;
    std::string kind;
    std::string why = {}; // where the kind comes from; empty: the page's Dim line
};

struct PageNames {
    std::vector<Declaration> variables;
    std::vector<std::string> labels;
};

struct CallArg {
    std::string text;
    std::string kind; // empty: unknown, to be set by hand
    std::string why;  // the assumption that gave the kind
};

struct CallAnalysis {
    bool inLine = false;   // "Var = Name ..." form
    std::string returnVar; // In-Line: the variable before "="
    std::string returnKind;
    std::vector<CallArg> args;
    int returnArg = 0;              // Parameter form: the argument taken as the return (from 1)
    Bindings bindings;              // what the call gives, before any override
    std::vector<std::string> notes; // problems with the line (a different macro name, ...)
};

// The first statement of a line: the text before the first comment mark (' or ;) or statement
// separator (:) outside quotes.
std::string_view CallStatement(std::string_view line);

// Splits a call line (its first statement) and derives the symbols. returnArg picks the argument
// taken as the return value of a RETURNVALUE macro: -1 the last one, 0 none, else its number.
CallAnalysis AnalyseCall(std::string_view callLine, const MacroText& macro, const PageNames& page,
                         int returnArg = -1);
// The kind of one argument's text by the documented assumptions, with the reason.
CallArg KindOfArgument(std::string_view text, const PageNames& page);
// The kind a Dim type gives ("As Byte" -> BYTE, arrays -> *_ARRAY_PTR, ...); empty for others.
std::string KindOfDimType(std::string_view type, bool isArray);
// The assumptions of the call-line model, one sentence each, for showing beside a result.
const std::vector<std::string>& CallAssumptions();
// The kinds a parameter accepts on a target: its first four catalogue entries, all of them
// with Allow Alt; each once.
std::vector<std::string> AcceptedKinds(const codegen::ArgData& arg, int32_t target);
// The kinds the return value accepts: the type itself, with Allow Alt also entries 5 onwards.
std::vector<std::string> ReturnKinds(const codegen::ArgData& ret, int32_t target);

// A sample call whose outcome the check can decide: the In-Line form (or the last argument of
// a Parameter return) uses the macro's own return variable, each parameter gets an argument of
// a kind it accepts (a number, a quoted character, a page label or a page variable of that
// kind), and names the page does not declare are listed with the kind they are taken to have.
struct SampleCallLine {
    std::string line;
    std::vector<Declaration> assumed;
};
SampleCallLine SampleCall(const codegen::MacroDefinition& def, int32_t n,
                          const PageNames& page = {});

// "SYMBOL=VALUE": the symbol in capitals and its value (an integer, else a word).
std::optional<std::pair<std::string, Value>> ParseAssignment(std::string_view text);

// ---- The calls of a macro on a page ----

struct FoundCall {
    int line = 0;     // from 1
    std::string text; // the statement, without its blanks at either end
    std::string name; // the name it calls, as written
};

// Every statement of the page's text (lines end at CR LF, CR or LF) whose command is the named
// macro, in any letter case, with or without "Variable =" before it; comments and quoted text
// are passed over. Several calls on one line are listed each. An empty name finds the statements
// that call any name.
std::vector<FoundCall> FindCalls(std::string_view pageText, std::string_view macroName);

struct CallResult {
    FoundCall call;
    Outcome outcome; // without the expansion's text
};

// Each call found on the page, simulated with the page's names; none for a macro without a name.
std::vector<CallResult> CheckCalls(const MacroText& macro, std::string_view pageText,
                                   const PageNames& page);
// "line 12: Total = AddNums 5, 6: passes" (fires #ERROR "...", cannot be decided (why)).
std::string FormatCallResult(const CallResult& result);

// ---- The --all-kinds table ----

struct KindRow {
    int param = 0;        // from 1; 0 for the return value
    std::string name;     // the parameter's name, or "return"
    std::string kind;     // the kind the call gives it
    bool accepted = true; // an accepted kind, or the one wrong-kind call
    bool pass = false;
    std::string detail; // why it failed, or what fired
};

struct KindTable {
    int count = -1; // the argument count used; -1 when none passes
    std::vector<KindRow> rows;
    bool AllPass() const;
};

// One call per accepted kind of each parameter (and of the return value), plus one call with a
// kind it does not accept; the other arguments at their first kind.
KindTable CheckAllKinds(const MacroText& macro, const codegen::MacroDefinition& def, int32_t n);

// ---- Reports shared by vmacgen and the wizard ----

std::string FormatFindings(const std::vector<Finding>& findings);
std::string FormatOutcome(const Outcome& outcome);
std::string FormatCall(const CallAnalysis& call, const Bindings& used);
std::string FormatKindTable(const KindTable& table);

} // namespace vmg::callcheck
