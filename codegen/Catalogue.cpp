// The data-type catalogue: one row per type code, a 14-bit and a 16-bit variant.
#include "MacroCodeGenerator.h"

namespace vmg::codegen {
namespace {

struct Row {
    int32_t code;
    DataTypeDesc desc;
};

// Descriptions enter the generated error messages word for word, so they stay as the IDE's
// users have always seen them ("Dword", "LabelDesc,a Word").
const Row k14Bit[] = {
    {2,
     {"BYTE,NUM8,NUM16,NUM32,WORD,DWORD",
      R"("a Byte variable or number","a Byte, Word, DWord, variable or number")",
      "BYTE_BYTE,NUM_BYTE,NUM_BYTE,NUM_BYTE,BYTE_BYTE,BYTE_BYTE", "Byte/Num|Byte"}},
    {3,
     {"WORD,NUM16,NUM8,NUM32,BYTE,DWORD",
      R"("a Word variable or number","a Word, Byte, DWord variable or number")",
      "WORD_WORD,NUM_WORD,NUM_WORD,NUM_WORD,BYTE_WORD,WORD_WORD", "Word/Num|Word"}},
    {4,
     {"DWORD,NUM32,NUM16,NUM8,WORD,BYTE",
      R"("a DWord variable or number","a Dword, Word, Byte or variable or number")",
      "DWORD_DWORD,NUM_DWORD,NUM_DWORD,NUM_DWORD,BYTE_DWORD,WORD_DWORD", "DWord/Num|DWord"}},
    {6,
     {"LABEL,NA,NA,NA,NUM16,NUM8,WORD",
      R"("a pointer to a LabelDesc","Pointer to a LabelDesc,a Word variable or number")",
      "NUM_WORD,,,,NUM_WORD,NUM_WORD,WORD_WORD", "Label|N/A"}},
    {7, {"CHAR", R"("part of a Quoted String")", "NUM_BYTE", "ASCII Char|N/A"}},
    {22, {"BYTE_ARRAY_PTR", R"("a BYTE array pointer")", "NUM_WORD", "Byte Array|N/A"}},
    {23, {"WORD_ARRAY_PTR", R"("a WORD array pointer")", "NUM_WORD", "Word Array|N/A"}},
};
const DataTypeDesc kDefault14 = {"", "", "", "N/A|N/A"};

const Row k16Bit[] = {
    {2,
     {"BYTE,NUM8,NUM16,NUM32,WORD,DWORD,FLOAT",
      R"("a Byte variable or number","a Byte, Word, DWord, Float variable or number")",
      "BYTE_BYTE,NUM_BYTE,NUM_BYTE,NUM_BYTE,BYTE_BYTE,BYTE_BYTE,FLOAT_BYTE", "Byte/Num|Byte"}},
    {3,
     {"WORD,NUM16,NUM8,NUM32,BYTE,DWORD,FLOAT",
      R"("a Word variable or number","a Word, Byte, DWord, Float variable or number")",
      "WORD_WORD,NUM_WORD,NUM_WORD,NUM_WORD,BYTE_WORD,WORD_WORD,FLOAT_WORD", "Word/Num|Word"}},
    {4,
     {"DWORD,NUM32,NUM16,NUM8,WORD,BYTE,FLOAT",
      R"("a DWord variable or number","a Dword, Word, Byte or Float variable or number")",
      "DWORD_DWORD,NUM_DWORD,NUM_DWORD,NUM_DWORD,BYTE_DWORD,WORD_DWORD,FLOAT_DWORD",
      "DWord/Num|DWord"}},
    {5,
     {"FLOAT,NUM32,NUM16,NUM8,BYTE,WORD,DWORD",
      R"("a Float variable","a Float, Byte, Word, DWord variable or number")",
      "FLOAT_FLOAT,NUM_FLOAT,NUM_FLOAT,NUM_FLOAT,BYTE_FLOAT,WORD_FLOAT,DWORD_FLOAT",
      "Float/Num|Float"}},
    {6,
     {"LABEL,NA,NA,NA,NUM16,NUM8,WORD",
      R"("a pointer to a LabelDesc","Pointer to a LabelDesc,a Word variable or Number")",
      "NUM_WORD,,,,NUM_WORD,NUM_WORD,WORD_WORD", "Label|N/A"}},
    {7, {"CHAR", R"("part of a Quoted String")", "NUM_BYTE", "ASCII Char|N/A"}},
    {9, {"STRING_ARRAY_PTR", R"("a String Array Pointer")", "NUM_WORD", "String|N/A"}},
    {22, {"BYTE_ARRAY_PTR", R"("a BYTE array pointer")", "NUM_WORD", "Byte Array|N/A"}},
    {23, {"WORD_ARRAY_PTR", R"("a WORD array pointer")", "NUM_WORD", "Word Array|N/A"}},
};
const DataTypeDesc kDefault16 = {"", R"("Unrecognised Data Type")", "", "N/A|N/A"};

template <std::size_t N>
const DataTypeDesc& lookup(const Row (&rows)[N], int32_t code, const DataTypeDesc& fallback) {
    for (const Row& row : rows) {
        if (row.code == code) {
            return row.desc;
        }
    }
    return fallback;
}

} // namespace

DataTypeDesc GetTypeDesc(int32_t code, int32_t target) {
    if (target >= 2) {
        return lookup(k16Bit, code, kDefault16);
    }
    return lookup(k14Bit, code, kDefault14);
}

std::vector<std::string> SplitEntries(std::string_view list) {
    std::vector<std::string> entries;
    if (list.empty()) {
        return entries;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = list.find(',', start);
        if (comma == std::string_view::npos) {
            entries.emplace_back(list.substr(start));
            return entries;
        }
        entries.emplace_back(list.substr(start, comma - start));
        start = comma + 1;
    }
}

std::vector<std::string> SplitTexts(std::string_view texts) {
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos < texts.size()) {
        const std::size_t open = texts.find('"', pos);
        if (open == std::string_view::npos) {
            break;
        }
        std::string text;
        std::size_t i = open + 1;
        for (; i < texts.size(); ++i) {
            if (texts[i] == '"') {
                if (i + 1 < texts.size() && texts[i + 1] == '"') {
                    text += '"';
                    ++i;
                    continue;
                }
                break;
            }
            text += texts[i];
        }
        out.push_back(std::move(text));
        pos = i + 1;
    }
    return out;
}

std::string ParamLabel(const DataTypeDesc& desc) {
    return desc.Labels.substr(0, desc.Labels.find('|'));
}

std::string ReturnLabel(const DataTypeDesc& desc) {
    const std::size_t bar = desc.Labels.find('|');
    return bar == std::string::npos ? std::string() : desc.Labels.substr(bar + 1);
}

namespace {

SplitTypeDesc split(const DataTypeDesc& desc) {
    return {SplitEntries(desc.Kinds), SplitEntries(desc.Moves), SplitTexts(desc.Texts),
            desc.Kinds.substr(0, desc.Kinds.find(','))};
}

template <std::size_t N>
std::vector<std::pair<int32_t, SplitTypeDesc>> splitRows(const Row (&rows)[N]) {
    std::vector<std::pair<int32_t, SplitTypeDesc>> out;
    for (const Row& row : rows) {
        out.emplace_back(row.code, split(row.desc));
    }
    return out;
}

} // namespace

const SplitTypeDesc& SplitTypeDescFor(int32_t code, int32_t target) {
    // The catalogue is constant, so its split form is built once and shared.
    static const auto rows14 = splitRows(k14Bit);
    static const auto rows16 = splitRows(k16Bit);
    static const SplitTypeDesc default14 = split(kDefault14);
    static const SplitTypeDesc default16 = split(kDefault16);
    const bool wide = target >= 2;
    for (const auto& [rowCode, desc] : wide ? rows16 : rows14) {
        if (rowCode == code) {
            return desc;
        }
    }
    return wide ? default16 : default14;
}

std::string TypeKeyword(int32_t code, int32_t target) {
    return SplitTypeDescFor(code, target).keyword;
}

bool IsTypeAvailable(int32_t code, int32_t target) {
    return !SplitTypeDescFor(code, target).kinds.empty();
}

bool IsDataType(int32_t code) {
    return IsTypeAvailable(code, 1) || IsTypeAvailable(code, 2);
}

} // namespace vmg::codegen
