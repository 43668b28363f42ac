// From a call line to symbol values, by stated assumptions the user can always override.
#include "CallCheck.h"
#include "Text.h"

#include <algorithm>
#include <cctype>

namespace vmg::callcheck {
namespace {

using detail::isNameChar;
using detail::isNameStart;
using detail::trim;

bool isName(std::string_view text) {
    return !text.empty() && isNameStart(text.front()) &&
           std::all_of(text.begin(), text.end(), isNameChar);
}

// An integer literal: decimal, $hex, 0x hex or %binary; nothing when the text is none or
// beyond 32 bits.
std::optional<std::uint64_t> literal(std::string_view text) {
    int base = 10;
    if (text.starts_with("$")) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.starts_with("%")) {
        base = 2;
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char ch : text) {
        const auto u = static_cast<unsigned char>(ch);
        const int digit = std::isdigit(u)    ? ch - '0'
                          : std::isxdigit(u) ? std::toupper(u) - 'A' + 10
                                             : 99;
        if (digit >= base) {
            return std::nullopt;
        }
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > 0xFFFFFFFFull) {
            return std::nullopt;
        }
    }
    return value;
}

// Splits the arguments at commas outside quotes and brackets.
std::vector<std::string> splitArguments(std::string_view text) {
    std::vector<std::string> out;
    if (trim(text).empty()) {
        return out;
    }
    bool quoted = false;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const char ch = i < text.size() ? text[i] : ',';
        if (ch == '"') {
            quoted = !quoted;
        } else if (!quoted && (ch == '(' || ch == '[')) {
            ++depth;
        } else if (!quoted && (ch == ')' || ch == ']') && depth > 0) {
            --depth;
        } else if (!quoted && depth == 0 && ch == ',') {
            out.emplace_back(trim(text.substr(start, i - start)));
            start = i + 1;
        } else if (i == text.size()) {
            out.emplace_back(trim(text.substr(start)));
        }
    }
    return out;
}

bool sameName(std::string_view a, std::string_view b) {
    return Upper(a) == Upper(b);
}

// Builds a sample call's arguments, keeping its invented names apart from the page's.
struct SampleBuilder {
    const PageNames& page;
    SampleCallLine out;
    std::vector<std::string> taken;

    bool isTaken(const std::string& name) const {
        const auto same = [&](const std::string& n) { return sameName(n, name); };
        return std::any_of(taken.begin(), taken.end(), same) ||
               std::any_of(page.labels.begin(), page.labels.end(), same) ||
               std::any_of(page.variables.begin(), page.variables.end(),
                           [&](const Declaration& d) { return sameName(d.name, name); });
    }

    // A name of the page's own, or one of ours taken to be of `kind`.
    std::string assume(const std::string& base, const std::string& kind, const std::string& why) {
        std::string name = base;
        for (int i = 2; isTaken(name); ++i) {
            name = base + std::to_string(i);
        }
        taken.push_back(name);
        out.assumed.push_back({name, kind, why});
        return name;
    }

    // A number where the parameter takes one, a quoted character for ASCII Char, else a page
    // label or variable of an accepted kind, else a sample name of the first accepted kind.
    std::string argument(const std::vector<std::string>& kinds, int index) {
        const bool label = !kinds.empty() && kinds.front() == "LABEL";
        for (const auto& k : kinds) {
            if (label) {
                break;
            }
            if (k == "NUM8" || k == "NUM16" || k == "NUM32") {
                return std::to_string((k == "NUM8" ? 5 : k == "NUM16" ? 1000 : 70000) + index);
            }
            if (k == "CHAR") {
                return "\"A\"";
            }
        }
        for (const auto& k : kinds) {
            if (k == "LABEL" && !page.labels.empty()) {
                return page.labels.front();
            }
            for (const auto& d : page.variables) {
                if (d.kind == k) {
                    return d.name;
                }
            }
        }
        if (kinds.empty()) {
            return "Arg" + std::to_string(index + 1); // a type without kinds: left to the user
        }
        const std::string& kind = kinds.front();
        const std::string base = kind == "LABEL"              ? "Start"
                                 : kind == "STRING_ARRAY_PTR" ? "Text"
                                 : kind == "BYTE_ARRAY_PTR"   ? "Buffer"
                                 : kind == "WORD_ARRAY_PTR"   ? "Words"
                                                              : "Value";
        return assume(base, kind, "a sample name, taken to be " + kind);
    }
};

} // namespace

std::string KindOfDimType(std::string_view type, bool isArray) {
    const std::string t = Upper(type);
    if (t == "STRING") {
        return "STRING_ARRAY_PTR";
    }
    if (isArray) {
        return t == "BYTE" ? "BYTE_ARRAY_PTR" : t == "WORD" ? "WORD_ARRAY_PTR" : "";
    }
    return t == "BYTE" || t == "WORD" || t == "DWORD" || t == "FLOAT" ? t : "";
}

CallArg KindOfArgument(std::string_view textIn, const PageNames& page) {
    const std::string_view text = trim(textIn);
    CallArg arg{std::string(text), "", ""};
    if (text.empty()) {
        arg.why = "empty argument";
    } else if (text.front() == '"') {
        if (text.size() == 3 && text.back() == '"') {
            arg.kind = "CHAR";
            arg.why = "a one-character quoted string";
        } else {
            arg.why = "a quoted string that is not one character";
        }
    } else if (text.front() == '-') {
        arg.why = "a negative number";
    } else if (const auto n = literal(text)) {
        arg.kind = *n <= 255 ? "NUM8" : *n <= 65535 ? "NUM16" : "NUM32";
        arg.why = *n <= 255     ? "an integer literal from 0 to 255"
                  : *n <= 65535 ? "an integer literal from 256 to 65535"
                                : "an integer literal above 65535";
    } else if (std::isdigit(static_cast<unsigned char>(text.front()))) {
        arg.why = "a number that is not a whole number of 32 bits";
    } else if (isName(text)) {
        const std::string upper = Upper(text);
        const auto var = std::find_if(page.variables.begin(), page.variables.end(),
                                      [&](const Declaration& d) { return Upper(d.name) == upper; });
        const auto label = std::find_if(page.labels.begin(), page.labels.end(),
                                        [&](const std::string& l) { return Upper(l) == upper; });
        if (var != page.variables.end()) {
            arg.kind = var->kind;
            arg.why = var->kind.empty()  ? "a page variable whose Dim type has no kind"
                      : var->why.empty() ? "declared on the page"
                                         : var->why;
        } else if (label != page.labels.end()) {
            arg.kind = "LABEL";
            arg.why = "a label on the page";
        } else {
            arg.why = "a name not declared on the page";
        }
    } else {
        arg.why = "an expression";
    }
    return arg;
}

const std::vector<std::string>& CallAssumptions() {
    static const std::vector<std::string> list = {
        "An integer literal (decimal, $hex, 0x hex or %binary) is NUM8 from 0 to 255, NUM16 "
        "from 256 to 65535 and NUM32 above; a negative literal has no kind.",
        "A variable declared on the attached page takes its Dim type: As Byte BYTE, As Word "
        "WORD, As DWord DWORD, As Float FLOAT, As String STRING_ARRAY_PTR; a Byte or Word array "
        "(Name[n]) BYTE_ARRAY_PTR or WORD_ARRAY_PTR; other types have no kind.",
        "A label found on the attached page is LABEL.",
        "A one-character quoted string is CHAR.",
        "Anything else has no kind and must be set by hand.",
        "PRM_COUNT counts every argument after the macro's name, a RETURNVALUE macro's return "
        "argument included; the variable before \"=\" is not counted.",
        "In-Line form \"Var = Name ...\": Name_RETURN is 1, RETURN_TYPE the variable's kind and "
        "RETURN_VAR the variable; without \"=\" Name_RETURN is 0.",
        "A RETURNVALUE macro takes the last argument as its return value (Name_LST_PRM 1, "
        "LST_PRM_TYPE its kind, LST_PRM_NAME its text, also PRM_n); without arguments "
        "Name_LST_PRM is 0. Another argument, or none, can be chosen.",
        "An argument the call leaves out gives its PRM_n no value: what the compiler gives a "
        "missing argument is not modelled.",
        "Names, symbols and kinds are compared without regard to letter case.",
    };
    return list;
}

std::string_view CallStatement(std::string_view line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char ch = line[i];
        if (ch == '"') {
            quoted = !quoted;
        } else if (!quoted && (ch == '\'' || ch == ';' || ch == ':')) {
            return line.substr(0, i);
        }
    }
    return line;
}

CallAnalysis AnalyseCall(std::string_view callLine, const MacroText& macro, const PageNames& page,
                         int returnArg) {
    CallAnalysis call;
    std::string_view rest = trim(CallStatement(callLine));
    // "Var = Name ...": a name, then a lone "=".
    const auto eq = rest.find('=');
    if (eq != std::string_view::npos && isName(trim(rest.substr(0, eq))) &&
        !rest.substr(eq + 1).starts_with("=")) {
        call.inLine = true;
        call.returnVar = std::string(trim(rest.substr(0, eq)));
        rest = trim(rest.substr(eq + 1));
    }
    std::size_t nameEnd = 0;
    while (nameEnd < rest.size() && isNameChar(rest[nameEnd])) {
        ++nameEnd;
    }
    const std::string called(rest.substr(0, nameEnd));
    const std::string name = macro.name.empty() ? called : macro.name;
    if (called.empty()) {
        call.notes.push_back("the line does not start with the macro's name");
    } else if (!macro.name.empty() && Upper(called) != Upper(macro.name)) {
        call.notes.push_back("the line calls " + called + ", the macro is " + macro.name);
    }
    for (const auto& text : splitArguments(rest.substr(nameEnd))) {
        call.args.push_back(KindOfArgument(text, page));
    }

    Bindings& b = call.bindings;
    const int count = static_cast<int>(call.args.size());
    b.symbols["PRM_COUNT"] = Value::Number(count);
    for (int i = 0; i < count; ++i) {
        const CallArg& a = call.args[static_cast<std::size_t>(i)];
        if (!a.kind.empty()) {
            b.symbols["PRM_" + std::to_string(i + 1)] = Value::Word(a.kind);
        }
    }
    const std::string upperName = Upper(name);
    b.symbols[upperName + "_RETURN"] = Value::Number(call.inLine ? 1 : 0);
    if (call.inLine) {
        call.returnKind = KindOfArgument(call.returnVar, page).kind;
        if (!call.returnKind.empty()) {
            b.symbols["RETURN_TYPE"] = Value::Word(call.returnKind);
        }
        SetSymbol(b, "RETURN_VAR", Value::Word(call.returnVar));
    }
    if (macro.hasReturnValue) {
        call.returnArg = returnArg < 0 ? count : std::min(returnArg, count);
    }
    b.symbols[upperName + "_LST_PRM"] = Value::Number(call.returnArg > 0 ? 1 : 0);
    int formal = 0;
    for (int i = 1; i <= count; ++i) {
        const CallArg& a = call.args[static_cast<std::size_t>(i - 1)];
        if (i == call.returnArg) {
            if (!a.kind.empty()) {
                b.symbols["LST_PRM_TYPE"] = Value::Word(a.kind);
            }
            SetSymbol(b, "LST_PRM_NAME", Value::Word(a.text));
            b.formals["RETURNVALUE"] = a.text;
        } else {
            b.formals["P" + std::to_string(++formal)] = a.text;
        }
    }
    return call;
}

SampleCallLine SampleCall(const codegen::MacroDefinition& def, int32_t nIn, const PageNames& page) {
    const int32_t n = std::clamp<int32_t>(nIn, 0, codegen::kMaxParams);
    const int32_t method = def.Header.ReturnMethod;
    const int32_t target = def.Header.Target;
    SampleBuilder b{page, {}, {}};
    // The return variable first, so that no sample argument takes its name.
    std::string ret;
    if (method == 1 || method == 2) {
        const codegen::ArgData& r = def.Return.RetArg;
        ret = codegen::IsValidName(r.VarName) ? r.VarName : "Result";
        b.taken.push_back(ret);
        const auto kinds = ReturnKinds(r, target);
        const bool declared =
            std::any_of(page.variables.begin(), page.variables.end(),
                        [&](const Declaration& d) { return sameName(d.name, ret); });
        if (!declared && !kinds.empty()) {
            b.out.assumed.push_back(
                {ret, kinds.front(), "the macro's return variable, taken to be " + kinds.front()});
        }
    }
    std::string args;
    for (int32_t i = 0; i < n; ++i) {
        const auto kinds = AcceptedKinds(def.Params[static_cast<std::size_t>(i)], target);
        args += (i == 0 ? " " : ", ") + b.argument(kinds, i);
    }
    if (method == 2) {
        args += (n == 0 ? " " : ", ") + ret;
    }
    const std::string call = def.Header.MacroName + args;
    b.out.line = method == 1 ? ret + " = " + call : call;
    return b.out;
}

} // namespace vmg::callcheck
