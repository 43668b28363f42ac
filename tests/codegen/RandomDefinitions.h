// Random macro definitions as the wizard (or a macro source file) can make them, for the
// property tests of the generator, the call check and the importer.
#pragma once

#include "MacroCodeGenerator.h"

#include <random>
#include <string>
#include <vector>

namespace vmg::codegen::examples {

// The property tests run their full count in the plain build; the sanitized build, some two
// hundred times slower, checks memory on a tenth of them.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr int kPropertyShare = 10;
#else
inline constexpr int kPropertyShare = 1;
#endif

struct RandomShape {
    int MaxParams = 5;
    // Also what the wizard allows but rarely makes: a parameter marked optional before the
    // last mandatory one, a return method typed into the list (-1), descriptions of several
    // lines with 8-bit characters, FSR and one-letter destinations, every Allow Alt ticked.
    bool Unusual = false;
    // A type the target's catalogue lacks (Float or String left over after the target
    // changed): its kind test is an #IF without a condition.
    bool StrayTypes = false;
};

inline MacroDefinition RandomDefinition(std::mt19937& rng, const RandomShape& shape = {}) {
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto oneOf = [&](const std::vector<std::string>& v) {
        return v[static_cast<std::size_t>(pick(static_cast<int>(v.size())))];
    };
    MacroDefinition d;
    d.Header.MacroName = "Mac" + std::to_string(pick(1000));
    d.Header.Target = pick(3);
    d.Header.ReturnMethod = shape.Unusual && pick(20) == 0 ? -1 : pick(3);
    d.Header.Skeleton = pick(4) == 0;
    const int n = pick(shape.MaxParams + 1);
    d.Header.ArgCount = n;
    std::vector<int> types = {2, 3, 4, 6, 7, 22, 23};
    if (d.Header.Target == 2 || (shape.StrayTypes && pick(10) == 0)) {
        types.insert(types.end(), {5, 9});
    }
    // "Allow Type Conversion" ticks every Allow Alt box.
    const bool allAlt = shape.Unusual && pick(3) == 0;
    const int firstOptional = pick(n + 1);
    const std::vector<std::string> vars = {"V", "X", "FSR0", "FSR1", "FSR", "MyFSR", "fsr2", "Cnt"};
    for (int i = 0; i < n; ++i) {
        const bool optional = i >= firstOptional || (shape.Unusual && pick(8) == 0);
        d.Params[static_cast<std::size_t>(i)] = {
            "A" + std::to_string(i + 1),
            types[static_cast<std::size_t>(pick(static_cast<int>(types.size())))],
            shape.Unusual ? oneOf(vars) : "V" + std::to_string(i + 1), optional,
            allAlt || pick(2) == 0};
    }
    const std::vector<int> retTypes =
        d.Header.Target == 2 ? std::vector<int>{2, 3, 4, 5} : std::vector<int>{2, 3, 4};
    const bool goSub = d.Header.ReturnMethod > 0 || pick(2) == 0;
    d.Return = {shape.Unusual ? oneOf({"Sub", "S", "Go2"}) : "Sub",
                goSub,
                shape.Unusual && !goSub,
                {"", retTypes[static_cast<std::size_t>(pick(static_cast<int>(retTypes.size())))],
                 shape.Unusual ? oneOf({"Ret", "R", "FSR0"}) : "Ret", pick(2) == 0,
                 allAlt || pick(2) == 0}};
    if (shape.Unusual) {
        const std::vector<std::string> lines = {"Adds two numbers", "", "caf\xE9 \x80 50, ok",
                                                "'quoted", " two  blanks "};
        for (int l = pick(4); l > 0; --l) {
            d.Header.Description += oneOf(lines);
            if (l > 1 || pick(4) == 0) {
                d.Header.Description += "\r\n";
            }
        }
    }
    return d;
}

} // namespace vmg::codegen::examples
