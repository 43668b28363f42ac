// Turns the macro definition into the macro's text: count checks, kind checks, moves, call, return.
#include "MacroCodeGenerator.h"

#include <algorithm>

namespace vmg::codegen {
namespace {

// Writes lines at a nesting level of tabs; the level never goes below 0.
class Writer {
public:
    explicit Writer(Lines& out) : m_out(out) {}

    void atLevel(std::string_view text) { emit(text); }
    void deeper(std::string_view text) {
        ++m_level;
        emit(text);
    }
    void shallower(std::string_view text) {
        if (m_level > 0) {
            --m_level;
        }
        emit(text);
    }
    void openLevel() { ++m_level; }
    int level() const { return m_level; }

private:
    void emit(std::string_view text) {
        std::string line(static_cast<std::size_t>(m_level), '\t');
        line += text;
        m_out.push_back(std::move(line));
    }

    Lines& m_out;
    int m_level = 0;
};

// Description 2 when alternative kinds are allowed and the entry has one, else description 1;
// an entry with no description at all reads as unrecognised.
std::string chooseDescription(const DataTypeDesc& desc, bool allowAlt) {
    const std::vector<std::string> texts = SplitTexts(desc.Texts);
    if (allowAlt && texts.size() >= 2) {
        return texts[1];
    }
    if (!texts.empty()) {
        return texts[0];
    }
    return "Unrecognised Data Type";
}

std::string entryAt(const std::vector<std::string>& entries, std::size_t k) {
    return k < entries.size() ? entries[k] : std::string();
}

// A one-character name would clash with the compiler's own symbols, hence the "_".
std::string destinationName(const std::string& var) {
    return var.size() == 1 ? "_" + var : var;
}

void splitDescriptionLines(const std::string& text, Lines& out) {
    std::string line;
    bool pending = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out.push_back("'" + line);
            line.clear();
            pending = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            continue;
        }
        line += c;
        pending = true;
    }
    if (pending) {
        out.push_back("'" + line);
    }
}

} // namespace

Lines MacroLines(const MacroDefinition& def, int32_t nIn) {
    const MacGen& h = def.Header;
    const RetData& ret = def.Return;
    const int32_t n = std::clamp<int32_t>(nIn, 0, kMaxParams);
    const auto param = [&](int32_t i) -> const ArgData& {
        return def.Params[static_cast<std::size_t>(i - 1)];
    };

    const std::string errorPrefix = "#ERROR \"" + h.MacroName + " - ";
    int32_t lastMandatory = 0;
    for (int32_t i = 1; i <= n; ++i) {
        if (!param(i).Optional) {
            lastMandatory = i;
        }
    }
    const int32_t p = h.ReturnMethod == 2 ? 1 : 0;
    const int32_t m = lastMandatory + ((h.ReturnMethod == 2 && !ret.RetArg.Optional) ? 1 : 0);
    const std::string k = h.ReturnMethod == 1 ? "RETURN" : "LST_PRM";
    const std::string s = h.ReturnMethod == 1 ? "_VAR" : "_NAME";

    Lines out;
    splitDescriptionLines(h.Description, out);

    std::string header = h.MacroName + " MACRO ";
    for (int32_t i = 1; i <= n; ++i) {
        header += " P" + std::to_string(i) + ",";
    }
    if (h.ReturnMethod == 2) {
        header += " RETURNVALUE";
    } else if (n > 0) {
        header.pop_back();
    }
    out.push_back(header);

    Writer w(out);
    if (n > 0) {
        w.atLevel("#IF (PRM_COUNT > " + std::to_string(n - p) + ")");
        w.deeper(errorPrefix + "Too many parameters\"");
        w.shallower("#ELSE");
        if (m > 0) {
            w.deeper("#IF (PRM_COUNT < " + std::to_string(m + p) + ")");
            w.deeper(errorPrefix + "Too few parameters\"");
        } else {
            w.deeper("#IF (PRM_COUNT == 0)");
            w.deeper("\"Add additional code for no params here .......\"");
        }
        w.shallower("#ELSE");
        w.openLevel();

        for (int32_t i = 1; i <= n; ++i) {
            const ArgData& arg = param(i);
            const DataTypeDesc desc = GetTypeDesc(arg.DataType, h.Target);
            const std::vector<std::string> kinds = SplitEntries(desc.Kinds);
            const std::size_t used =
                arg.AllowAlt ? kinds.size() : std::min<std::size_t>(4, kinds.size());
            const std::string num = std::to_string(i);
            std::string test = "#IF";
            for (std::size_t e = 0; e < used; ++e) {
                test += "(PRM_" + num + " != " + kinds[e] + ")";
                if (e + 1 < used) {
                    test += " && ";
                }
            }
            w.atLevel(test);
            w.deeper(errorPrefix + arg.ArgName + "(Param" + num + ") Should be " +
                     chooseDescription(desc, arg.AllowAlt) + "\"");
            w.shallower("#ENDIF");
        }
    }

    if (h.Skeleton) {
        w.atLevel("'Place your code here.....");
    } else if (n > 0) {
        for (int32_t i = 1; i <= n; ++i) {
            const ArgData& arg = param(i);
            std::string dest = destinationName(arg.VarName);
            // 16-bit cores address a pointer register's low byte as FSRnL.
            if (h.Target == 2 && dest.starts_with("FSR")) {
                dest += "L";
            }
            const DataTypeDesc desc = GetTypeDesc(arg.DataType, h.Target);
            const std::vector<std::string> kinds = SplitEntries(desc.Kinds);
            const std::vector<std::string> moves = SplitEntries(desc.Moves);
            const std::size_t used =
                arg.AllowAlt ? kinds.size() : std::min<std::size_t>(4, kinds.size());
            const std::string num = std::to_string(i);
            for (std::size_t e = 0; e < used; ++e) {
                w.atLevel("#IF (PRM_" + num + " == " + kinds[e] + ")");
                w.deeper(entryAt(moves, e) + " P" + num + ", " + dest);
                w.shallower("#ENDIF");
            }
        }
        w.atLevel((ret.UseGoSub ? "GoSub " : "GoTo ") + ret.SubName);
    }

    if (n > 0) {
        w.shallower("#ENDIF");
    }

    if (h.ReturnMethod > 0) {
        const ArgData& r = ret.RetArg;
        if (!r.Optional) {
            w.atLevel("#IF (" + h.MacroName + "_" + k + " != 1)");
            w.deeper(errorPrefix + "Mandatory return parameter misssing\"");
            w.shallower("#ELSE");
            w.openLevel();
        } else {
            // The caller supplied the return value: the kind test and moves below depend on it.
            w.atLevel("#IF (" + h.MacroName + "_" + k + " == 1)");
            w.openLevel();
        }
        const DataTypeDesc desc = GetTypeDesc(r.DataType, h.Target);
        const std::vector<std::string> kinds = SplitEntries(desc.Kinds);
        const std::vector<std::string> moves = SplitEntries(desc.Moves);
        // The number kinds (entries 2 to 4) can never receive a result.
        std::vector<std::size_t> usedEntries;
        for (std::size_t e = 0; e < kinds.size(); ++e) {
            if (e == 0 || (r.AllowAlt && e >= 4)) {
                usedEntries.push_back(e);
            }
        }
        std::string test = "#IF";
        for (std::size_t u = 0; u < usedEntries.size(); ++u) {
            if (u > 0) {
                test += " && ";
            }
            test += "(" + k + "_TYPE !=" + kinds[usedEntries[u]] + ")";
        }
        w.atLevel(test);
        std::string description = chooseDescription(desc, r.AllowAlt);
        if (description.find(" or number") != std::string::npos && description.size() >= 10) {
            description.erase(description.size() - 10);
        }
        w.deeper(errorPrefix + "Return variable should be " + description + "\"");
        w.shallower("#ELSE");
        w.openLevel();
        const std::string dest = destinationName(r.VarName);
        for (const std::size_t e : usedEntries) {
            w.atLevel("#IF (" + k + "_TYPE == " + kinds[e] + ")");
            w.deeper(entryAt(moves, e) + " " + dest + ", " + k + s);
            w.shallower("#ENDIF");
        }
        w.shallower("#ENDIF");
    }

    while (w.level() > 0) {
        w.shallower("#ENDIF");
    }
    w.shallower("ENDM");
    return out;
}

} // namespace vmg::codegen
