#include "console/browse.h"

namespace console {

void Browse(int16_t&, int16_t& result) { result = -1; }

}  // namespace console
