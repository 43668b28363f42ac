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
    const std::string_view k = h.ReturnMethod == 1 ? "RETURN" : "LST_PRM";
    const std::string_view s = h.ReturnMethod == 1 ? "_VAR" : "_NAME";

    Lines out;
    out.reserve(estimatedLines(def, n));
    for (const std::string_view line : SplitLines(h.Description, false)) {
        out.push_back("'" + std::string(line));
    }

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
        w.atLevel("#IF (PRM_COUNT > ", std::to_string(n - p), ")");
        w.deeper(errorPrefix, "Too many parameters\"");
        w.shallower("#ELSE");
        if (m > 0) {
            w.deeper("#IF (PRM_COUNT < ", std::to_string(m + p), ")");
            w.deeper(errorPrefix, "Too few parameters\"");
        } else {
            w.deeper("#IF (PRM_COUNT == 0)");
            w.deeper("\"Add additional code for no params here .......\"");
        }
        w.shallower("#ELSE");
        w.openLevel();

        for (int32_t i = 1; i <= n; ++i) {
            const ArgData& arg = param(i);
            const SplitTypeDesc& desc = SplitTypeDescFor(arg.DataType, h.Target);
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
            w.atLevel(test);
            w.deeper(errorPrefix, arg.ArgName, "(Param", num, ") Should be ",
                     chooseDescription(desc, arg.AllowAlt), "\"");
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
            const SplitTypeDesc& desc = SplitTypeDescFor(arg.DataType, h.Target);
            const std::size_t used = usedKinds(desc, arg.AllowAlt);
            const std::string num = std::to_string(i);
            for (std::size_t e = 0; e < used; ++e) {
                w.atLevel("#IF (PRM_", num, " == ", desc.kinds[e], ")");
                w.deeper(entryAt(desc.moves, e), " P", num, ", ", dest);
                w.shallower("#ENDIF");
            }
        }
        w.atLevel(ret.UseGoSub ? "GoSub " : "GoTo ", ret.SubName);
    }

    if (n > 0) {
        w.shallower("#ENDIF");
    }

    if (h.ReturnMethod > 0) {
        const ArgData& r = ret.RetArg;
        if (!r.Optional) {
            w.atLevel("#IF (", h.MacroName, "_", k, " != 1)");
            w.deeper(errorPrefix, "Mandatory return parameter misssing\"");
            w.shallower("#ELSE");
            w.openLevel();
        } else {
            // The caller supplied the return value: the kind test and moves below depend on it.
            w.atLevel("#IF (", h.MacroName, "_", k, " == 1)");
            w.openLevel();
        }
        const SplitTypeDesc& desc = SplitTypeDescFor(r.DataType, h.Target);
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
            test += k;
            test += "_TYPE !=";
            test += desc.kinds[usedEntries[u]];
            test += ")";
        }
        w.atLevel(test);
        std::string_view description = chooseDescription(desc, r.AllowAlt);
        if (description.find(" or number") != std::string_view::npos && description.size() >= 10) {
            description.remove_suffix(10);
        }
        w.deeper(errorPrefix, "Return variable should be ", description, "\"");
        w.shallower("#ELSE");
        w.openLevel();
        const std::string dest = destinationName(r.VarName);
        for (const std::size_t e : usedEntries) {
            w.atLevel("#IF (", k, "_TYPE == ", desc.kinds[e], ")");
            w.deeper(entryAt(desc.moves, e), " ", dest, ", ", k, s);
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
