#include "console/help.h"

namespace console {

void ShowHelp(const std::string&) {}

}  // namespace console
