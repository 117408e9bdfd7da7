#include "forms/form.h"

namespace console {

FormState form;

FormScreen* ScreenAt(int16_t screen) {
  if (screen < 1 || screen > form.ScreenCount || size_t(screen) >= form.Screens.size())
    return nullptr;
  return &form.Screens[size_t(screen)];
}

FormField* FieldAt(int16_t screen, int16_t field) {
  FormScreen* s = ScreenAt(screen);
  if (s == nullptr || field < 1 || field > s->FieldCount || size_t(field) >= s->Fields.size())
    return nullptr;
  return &s->Fields[size_t(field)];
}

BrowseListDef* ListAt(int16_t list) {
  if (list < 1 || list > form.ListCount || size_t(list) >= form.Lists.size()) return nullptr;
  return &form.Lists[size_t(list)];
}

}  // namespace console
