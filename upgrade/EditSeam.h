// The one seam through which upgrade and the wizard's write-back edit a file in place: the
// shared in-place edit (lock, read, plan, a check that the file is still the one read, an
// atomic replace, the backup), the same one every other in-place edit of the project takes.
#pragma once

#include "InPlaceEdit.h"

namespace vmg::upgrade {
namespace seam = ::vmg::platform;
} // namespace vmg::upgrade
