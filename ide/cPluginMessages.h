// Window-message numbers of the IDE's plug-in manager.
#pragma once

#include <cstdint>

namespace vmg::ide {

// The message the plug-in manager posts to a plug-in's window (the user range starts at 1024).
// The wizard handles none; the number stays beside the library's other declarations.
inline constexpr std::int32_t kPluginMessage = 1124;

} // namespace vmg::ide
