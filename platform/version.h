// The version of the suite's programs (torbelan, ZUDAVIVI, zuldata), as
// their --version prints it. The three are built and released together.
#pragma once

namespace platform {

constexpr const char* kVersion = "1.0";

}  // namespace platform
