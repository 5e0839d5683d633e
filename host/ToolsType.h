#pragma once

// The kinds of tool a host knows.
enum class ToolsType : int {
    Undefined = 0,
    KROLCreator = 8,
};
