// The largest macro there is, shared by the benchmarks: 16-bit target, twenty parameters,
// a return through a parameter, every parameter and the return allowing alternative kinds.
#pragma once

#include "MacroCodeGenerator.h"

#include <string>

namespace vmg::bench {

inline codegen::MacroDefinition LargestMacro() {
    codegen::MacroDefinition def;
    def.Header.MacroName = "BigMacro";
    def.Header.Target = 2;
    def.Header.ReturnMethod = 2;
    def.Header.Description = "A macro with every parameter\r\nthat the wizard allows";
    for (int i = 0; i < codegen::kMaxParams; ++i) {
        auto& a = def.Params[static_cast<std::size_t>(i)];
        a.ArgName = "Arg" + std::to_string(i + 1);
        a.VarName = "Var" + std::to_string(i + 1);
        a.DataType = 2 + i % 4;
        a.AllowAlt = true;
        a.Optional = i >= 10;
    }
    def.Return.SubName = "BigSub";
    def.Return.UseGoSub = true;
    def.Return.RetArg = {"", 5, "Result", false, true};
    return def;
}

} // namespace vmg::bench
