#include "forms/form_hooks.h"

namespace console {

FormHooks formHooks;

void HookDrawScreen(int16_t& screen) {
  if (formHooks.DrawScreen != nullptr) formHooks.DrawScreen(screen);
}

void HookShowField(int16_t& screen, int16_t& field) {
  if (formHooks.ShowField != nullptr) formHooks.ShowField(screen, field);
}

int16_t HookAcceptField(int16_t& screen, std::string& value, int16_t& field, int16_t& key) {
  return formHooks.AcceptField != nullptr ? formHooks.AcceptField(screen, value, field, key) : 0;
}

int16_t HookExitCheck(int16_t& screen, int16_t& key) {
  return formHooks.ExitCheck != nullptr ? formHooks.ExitCheck(screen, key) : 0;
}

std::string HookBrowseRowText(int16_t& list) {
  return formHooks.BrowseRowText != nullptr ? formHooks.BrowseRowText(list) : std::string();
}

int16_t HookBrowseStartKey(int16_t& list, std::string& key, std::string& limit) {
  return formHooks.BrowseStartKey != nullptr ? formHooks.BrowseStartKey(list, key, limit) : 0;
}

int16_t HookBrowsePick(int16_t& list, int16_t& screen, int16_t& field) {
  return formHooks.BrowsePick != nullptr ? formHooks.BrowsePick(list, screen, field) : 0;
}

}  // namespace console
