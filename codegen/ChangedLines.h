// Which lines of a regenerated text an answer changed, for marking them in a live view.
#pragma once

#include "MacroCodeGenerator.h"

#include <cstddef>
#include <vector>

namespace vmg::codegen {

// The indexes (ascending) of the lines of `after` that an edit turning `before` into `after`
// added or altered: every line outside one longest run of lines common to both, in order.
// Lines that were only removed leave no mark. Texts too different to compare in a moment
// (more than about four million line pairs between their common head and tail) mark every
// line between the head and the tail.
std::vector<std::size_t> ChangedLines(const Lines& before, const Lines& after);

} // namespace vmg::codegen
