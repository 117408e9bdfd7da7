#include "forms/form_layer_reset.h"

#include "console/console_reset.h"
#include "forms/form.h"
#include "forms/form_hooks.h"

namespace console {

void ResetFormLayer() {
  form = FormState();
  formHooks = FormHooks();
  ResetConsoleLayer();
}

}  // namespace console
