// Turns the macro definition into the macro's text: count checks, kind checks, moves, call, return.
#include "MacroCodeGenerator.h"

#include <algorithm>

namespace vmg::codegen {
namespace {

// Writes lines at a nesting level of tabs; the level never goes below 0. Each line is built
// in one allocation from its pieces: the largest macro has some five hundred lines.
class Writer {
public:
    explicit Writer(Lines& out) : m_out(out) {}

    template <typename... Parts> void atLevel(const Parts&... parts) {
        emit({std::string_view(parts)...});
    }
    template <typename... Parts> void deeper(const Parts&... parts) {
        ++m_level;
        emit({std::string_view(parts)...});
    }
    template <typename... Parts> void shallower(const Parts&... parts) {
        if (m_level > 0) {
            --m_level;
        }
        emit({std::string_view(parts)...});
    }
    void openLevel() { ++m_level; }
    int level() const { return m_level; }

private:
    void emit(std::initializer_list<std::string_view> parts) {
        std::size_t size = static_cast<std::size_t>(m_level);
        for (const std::string_view part : parts) {
            size += part.size();
        }
        std::string line;
        line.reserve(size);
        line.append(static_cast<std::size_t>(m_level), '\t');
        for (const std::string_view part : parts) {
            line += part;
        }
        m_out.push_back(std::move(line));
    }

    Lines& m_out;
    int m_level = 0;
};

// Description 2 when alternative kinds are allowed and the entry has one, else description 1;
// an entry with no description at all reads as unrecognised.
std::string_view chooseDescription(const SplitTypeDesc& desc, bool allowAlt) {
    const std::vector<std::string>& texts = desc.texts;
    if (allowAlt && texts.size() >= 2) {
        return texts[1];
    }
    if (!texts.empty()) {
        return texts[0];
    }
    return "Unrecognised Data Type";
}

std::string_view entryAt(const std::vector<std::string>& entries, std::size_t k) {
    return k < entries.size() ? std::string_view(entries[k]) : std::string_view();
}

// A one-character name would clash with the compiler's own symbols, hence the "_".
std::string destinationName(const std::string& var) {
    return var.size() == 1 ? "_" + var : var;
}

// Without alternative kinds only the type and its three number kinds are accepted.
std::size_t usedKinds(const SplitTypeDesc& desc, bool allowAlt) {
    return allowAlt ? desc.kinds.size() : std::min<std::size_t>(4, desc.kinds.size());
}

// Enough room for every line, so that the list never reallocates while it grows.
std::size_t estimatedLines(const MacroDefinition& def, int32_t n) {
    std::size_t lines = 16 + def.Header.Description.size() / 8;
    for (int32_t i = 0; i < n; ++i) {
        lines += 3 + 3 * SplitTypeDescFor(def.Params[static_cast<std::size_t>(i)].DataType,
                                          def.Header.Target)
                             .kinds.size();
    }
    return lines + 3 * 8;
}

// The working values of one generation, formed once before the first line is written.
struct Generation {
    Generation(const MacroDefinition& definition, int32_t count)
        : def(definition), n(std::clamp<int32_t>(count, 0, kMaxParams)), writer(out) {
        const MacGen& h = def.Header;
        errorPrefix = "#ERROR \"" + h.MacroName + " - ";
        int32_t lastMandatory = 0;
        for (int32_t i = 1; i <= n; ++i) {
            if (!param(i).Optional) {
                lastMandatory = i;
            }
        }
        p = h.ReturnMethod == 2 ? 1 : 0;
        m = lastMandatory + ((h.ReturnMethod == 2 && !def.Return.RetArg.Optional) ? 1 : 0);
        k = h.ReturnMethod == 1 ? "RETURN" : "LST_PRM";
        s = h.ReturnMethod == 1 ? "_VAR" : "_NAME";
        out.reserve(estimatedLines(def, n));
    }

    const ArgData& param(int32_t i) const { return def.Params[static_cast<std::size_t>(i - 1)]; }
    const SplitTypeDesc& descOf(const ArgData& arg) const {
        return SplitTypeDescFor(arg.DataType, def.Header.Target);
    }

    const MacroDefinition& def;
    const int32_t n;
    std::string errorPrefix;
    int32_t p = 0;      // 1 when the return value travels as the last parameter
    int32_t m = 0;      // the fewest arguments a call may pass, a mandatory return included
    std::string_view k; // the return symbol word
    std::string_view s; // the return symbol suffix
    Lines out;
    Writer writer;
};

// The description as comment lines; a final line break adds no empty comment.
void writeDescription(Generation& g) {
    for (const std::string_view line : SplitLines(g.def.Header.Description, false)) {
        std::string comment;
        comment.reserve(line.size() + 1);
        comment += '\'';
        comment += line;
        g.out.push_back(std::move(comment));
    }
}

// "Name MACRO  P1, P2" or with ", RETURNVALUE"; the line is never indented.
void writeHeader(Generation& g) {
    const MacGen& h = g.def.Header;
    std::string header = h.MacroName;
    header += " MACRO ";
    for (int32_t i = 1; i <= g.n; ++i) {
        header += " P";
        header += std::to_string(i);
        header += ',';
    }
    if (h.ReturnMethod == 2) {
        header += " RETURNVALUE";
    } else if (g.n > 0) {
        header.pop_back();
    }
    g.out.push_back(std::move(header));
}

// Too many and too few arguments; everything after sits in the two #ELSE branches. PRM_COUNT
// counts the return argument of a RETURNVALUE macro too, so the full call has n + P arguments
// and the shortest M (M already counts a mandatory return argument). The bounds n - P and
// M + P let no count through whenever M + P > n - P, rejecting every call of such a macro.
void writeCountChecks(Generation& g) {
    Writer& w = g.writer;
    w.atLevel("#IF (PRM_COUNT > ", std::to_string(g.n + g.p), ")");
    w.deeper(g.errorPrefix, "Too many parameters\"");
    w.shallower("#ELSE");
    if (g.m > 0) {
        w.deeper("#IF (PRM_COUNT < ", std::to_string(g.m), ")");
        w.deeper(g.errorPrefix, "Too few parameters\"");
    } else {
        w.deeper("#IF (PRM_COUNT == 0)");
        w.deeper("\"Add additional code for no params here .......\"");
    }
    w.shallower("#ELSE");
    w.openLevel();
}

// Each argument against the kinds it may have, with the message naming the expected type.
void writeKindChecks(Generation& g) {
    for (int32_t i = 1; i <= g.n; ++i) {
        const ArgData& arg = g.param(i);
        const SplitTypeDesc& desc = g.descOf(arg);
        const std::size_t used = usedKinds(desc, arg.AllowAlt);
        const std::string num = std::to_string(i);
        std::string test = "#IF";
        for (std::size_t e = 0; e < used; ++e) {
            test += "(PRM_";
            test += num;
            test += " != ";
            test += desc.kinds[e];
            test += e + 1 < used ? ") && " : ")";
        }
        g.writer.atLevel(test);
        g.writer.deeper(g.errorPrefix, arg.ArgName, "(Param", num, ") Should be ",
                        chooseDescription(desc, arg.AllowAlt), "\"");
        g.writer.shallower("#ENDIF");
    }
}

// The placeholder of a skeleton, or each argument moved into its destination and the call.
void writeBody(Generation& g) {
    Writer& w = g.writer;
    if (g.def.Header.Skeleton) {
        w.atLevel("'Place your code here.....");
        return;
    }
    if (g.n == 0) {
        return; // a macro without parameters gets no call line
    }
    for (int32_t i = 1; i <= g.n; ++i) {
        const ArgData& arg = g.param(i);
        std::string dest = destinationName(arg.VarName);
        // 16-bit cores address a pointer register's low byte as FSRnL.
        if (g.def.Header.Target == 2 && dest.starts_with("FSR")) {
            dest += 'L';
        }
        const SplitTypeDesc& desc = g.descOf(arg);
        const std::size_t used = usedKinds(desc, arg.AllowAlt);
        const std::string num = std::to_string(i);
        for (std::size_t e = 0; e < used; ++e) {
            w.atLevel("#IF (PRM_", num, " == ", desc.kinds[e], ")");
            w.deeper(entryAt(desc.moves, e), " P", num, ", ", dest);
            w.shallower("#ENDIF");
        }
    }
    w.atLevel(g.def.Return.UseGoSub ? "GoSub " : "GoTo ", g.def.Return.SubName);
}

// A mandatory return value must be supplied; an optional one guards what follows.
void writeReturnPresence(Generation& g) {
    Writer& w = g.writer;
    const std::string& name = g.def.Header.MacroName;
    if (!g.def.Return.RetArg.Optional) {
        w.atLevel("#IF (", name, "_", g.k, " != 1)");
        w.deeper(g.errorPrefix, "Mandatory return parameter misssing\"");
        w.shallower("#ELSE");
    } else {
        // The caller supplied the return value: the kind test and moves below depend on it.
        w.atLevel("#IF (", name, "_", g.k, " == 1)");
    }
    w.openLevel();
}

// The return variable's kind test, then the result moved into it for each kind it may have.
void writeReturnKinds(Generation& g) {
    Writer& w = g.writer;
    const ArgData& r = g.def.Return.RetArg;
    const SplitTypeDesc& desc = g.descOf(r);
    // The number kinds (entries 2 to 4) can never receive a result.
    std::vector<std::size_t> usedEntries;
    for (std::size_t e = 0; e < desc.kinds.size(); ++e) {
        if (e == 0 || (r.AllowAlt && e >= 4)) {
            usedEntries.push_back(e);
        }
    }
    std::string test = "#IF";
    for (std::size_t u = 0; u < usedEntries.size(); ++u) {
        if (u > 0) {
            test += " && ";
        }
        test += "(";
        test += g.k;
        test += "_TYPE !=";
        test += desc.kinds[usedEntries[u]];
        test += ")";
    }
    w.atLevel(test);
    std::string_view description = chooseDescription(desc, r.AllowAlt);
    if (description.find(" or number") != std::string_view::npos && description.size() >= 10) {
        description.remove_suffix(10);
    }
    w.deeper(g.errorPrefix, "Return variable should be ", description, "\"");
    w.shallower("#ELSE");
    w.openLevel();
    const std::string dest = destinationName(r.VarName);
    for (const std::size_t e : usedEntries) {
        w.atLevel("#IF (", g.k, "_TYPE == ", desc.kinds[e], ")");
        w.deeper(entryAt(desc.moves, e), " ", dest, ", ", g.k, g.s);
        w.shallower("#ENDIF");
    }
    w.shallower("#ENDIF");
}

// Every #IF still open is closed, then the macro ends.
void writeClosing(Generation& g) {
    while (g.writer.level() > 0) {
        g.writer.shallower("#ENDIF");
    }
    g.writer.shallower("ENDM");
}

} // namespace

Lines MacroLines(const MacroDefinition& def, int32_t n) {
    Generation g(def, n);
    writeDescription(g);
    writeHeader(g);
    if (g.n > 0) {
        writeCountChecks(g);
        writeKindChecks(g);
    }
    writeBody(g);
    if (g.n > 0) {
        g.writer.shallower("#ENDIF"); // closes the count check's inner #ELSE
    }
    if (def.Header.ReturnMethod > 0) {
        writeReturnPresence(g);
        writeReturnKinds(g);
    }
    writeClosing(g);
    return std::move(g.out);
}

} // namespace vmg::codegen
