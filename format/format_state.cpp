#include "format/format_state.h"

namespace format {

FormatState state;

}  // namespace format
