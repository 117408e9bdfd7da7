#include "console/form.h"

namespace console {

FormState form;

}  // namespace console
