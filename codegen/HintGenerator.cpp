// Builds the USER.MCD keyword block with its hint pop-up, and the hint's rich-text preview.
#include "MacroCodeGenerator.h"

#include <algorithm>

namespace vmg::codegen {
namespace {

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = text.find(from, pos);
        if (hit == std::string::npos) {
            out.append(text, pos, std::string::npos);
            break;
        }
        out.append(text, pos, hit - pos);
        out += to;
        pos = hit + from.size();
    }
    text = std::move(out);
}

std::string coreList(int32_t target) {
    switch (target) {
    case 0:
        return "[dc12, dc14, dc16]";
    case 1:
        return "[dc12, dc14]";
    case 2:
        return "[dc16]";
    default:
        return "";
    }
}

} // namespace

Lines KeyBlock(const MacroDefinition& def, int32_t nIn) {
    const MacGen& h = def.Header;
    const ArgData& ret = def.Return.RetArg;
    const int32_t n = std::clamp<int32_t>(nIn, 0, kMaxParams);

    // The marker keeps the last parameter's state: the return part repeats it.
    std::string marker;
    std::string collected;
    for (int32_t i = 0; i < n; ++i) {
        const ArgData& arg = def.Params[static_cast<std::size_t>(i)];
        marker = arg.Optional ? " Optional " : "";
        collected +=
            marker + "<b>" + arg.ArgName + "</b> As " + TypeKeyword(arg.DataType, h.Target) + " ";
    }
    const std::string paramPart = "<b>" + h.MacroName + "</b> <i>" + collected + "</i>";

    std::string returnPart;
    if (h.ReturnMethod == 1) {
        returnPart = "<b>Var</b> = " + paramPart;
    } else {
        returnPart =
            paramPart + marker + " <b>ReturnVar</b> As " + TypeKeyword(ret.DataType, h.Target);
    }

    std::string hint;
    if (h.ReturnMethod <= 0) {
        hint = paramPart;
    } else if (!ret.Optional) {
        hint = returnPart;
    } else {
        hint = returnPart + "<br>" + paramPart;
    }

    return Lines{
        "KEY (\"" + h.MacroName + "\")",
        "\tDeviceCore = " + coreList(h.Target),
        "\tHighlighter = KeywordUser",
        "\tHint = \"" + hint + "</i>",
        "ENDKEY",
    };
}

std::string HintLineToRtf(std::string_view hintLine) {
    std::string text(hintLine.size() > 9 ? hintLine.substr(9) : std::string_view());
    // Names read from a file are not checked: keep them from injecting rich-text mark-up.
    replaceAll(text, "\\", "\\\\");
    replaceAll(text, "{", "\\{");
    replaceAll(text, "}", "\\}");
    replaceAll(text, "<b>", "\\b ");
    replaceAll(text, "</b>", "\\b0 ");
    replaceAll(text, "<i>", "\\i ");
    replaceAll(text, "</i>", "\\i0 ");
    replaceAll(text, "<br>", "\\par ");
    return "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang2057{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
           "\\fs16 " +
           text;
}

} // namespace vmg::codegen
