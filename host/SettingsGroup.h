#pragma once

// Settings groups of the host's store, one per tool.
namespace SettingsGroup {
inline constexpr char KROLCreator[] = "Tools_KROLCreator";
}
