#include "datafile/owner.h"

#include "platform/env.h"

namespace datafile {

std::string OwnerName() {
  std::string name = platform::GetEnv("ZULOWNER");
  if (name.empty()) {
    // Built-in name, one piece at a time.
    name += 'Z';
    name += 'L';
    name += 'B';
    name += '8';
  }
  name.resize(kOwnerNameLength, ' ');
  return name;
}

}  // namespace datafile
