// Colour roles: SetColourRole and its stack of saved roles.
#include "console/colours.h"

#include <cctype>
#include <string>

#include "config/session.h"
#include "console/screen.h"
#include "platform/console.h"

namespace console {

void SetColourRole(const std::string& code) {
  std::string up;
  for (char c : code) up += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (up.find_first_not_of(' ') == std::string::npos) return;
  if (up.find('+') != std::string::npos) {
    screen.ColourStack += static_cast<char>(screen.ColourRole);
  }
  int16_t role;
  if (up.find('-') != std::string::npos) {
    if (screen.ColourStack.empty()) {
      role = kRoleHighlight;
    } else {
      role = static_cast<unsigned char>(screen.ColourStack.back());
      screen.ColourStack.pop_back();
    }
  } else if (up.find('U') != std::string::npos) {
    role = kRoleInput;
  } else {
    role = static_cast<int16_t>((up.find('R') != std::string::npos ? 2 : 0) +
                                (up.find('N') != std::string::npos ? 1 : 0));
  }
  if (role < 0 || role > 4) role = kRoleHighlight;  // a stack byte from elsewhere
  const auto& entry = config::session.ColourTable[static_cast<size_t>(role)];
  platform::ConsoleSetColours(entry[0], entry[1]);
  screen.ColourRole = role;
}

}  // namespace console
