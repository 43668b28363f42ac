// The two worked example definitions the generator tests share.
#pragma once

#include "MacroCodeGenerator.h"

namespace vmg::codegen::examples {

// 14-bit, In-Line return, two mandatory parameters, no alternative kinds.
inline MacroDefinition AddNums() {
    MacroDefinition d;
    d.Header = {"AddNums", 1, 1, false, "Adds two numbers", 2};
    d.Params[0] = {"First", 2, "ArgA", false, false};
    d.Params[1] = {"Second", 3, "ArgB", false, false};
    d.Return = {"AddSub", true, false, {"", 3, "Total", false, false}};
    return d;
}

// 16-bit, Parameter return (optional), an FSR destination and a one-letter destination.
inline MacroDefinition SetPtr() {
    MacroDefinition d;
    d.Header = {"SetPtr", 2, 2, false, "", 2};
    d.Params[0] = {"Addr", 3, "FSR0", false, true};
    d.Params[1] = {"Cnt", 2, "X", true, false};
    d.Return = {"PtrSub", false, true, {"", 2, "R", true, true}};
    return d;
}

} // namespace vmg::codegen::examples
