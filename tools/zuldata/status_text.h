// The text zuldata's messages give for a record-manager status.
#pragma once

#include <cstdint>
#include <string>

namespace zuldata {

// A status for a message about the file at the native path: "status N",
// with what it means for a read-only file (46) and a wrong owner name (51,
// naming ZULOWNER), and for a server that cannot be reached or went away,
// which server (its connection string with the password masked).
std::string StatusText(int16_t status, const std::string& nativePath);

}  // namespace zuldata
