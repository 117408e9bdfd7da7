// The program-wide state of the numbers-and-text subsystem, in one place.
//
// Everything format/ remembers between calls lives in the one instance
// `format::state`; a test resets the subsystem by assigning a fresh
// FormatState. Nothing else in format/ is mutable at file scope.
#pragma once

#include <cstdint>
#include <string>

namespace format {

struct FormatState {
  // Separators shown by MaskFormat. Code 0 means "not loaded yet": the first
  // MaskFormat call reads them from Brol.ini (section "Usuari", keys
  // "DecCaracter" and "MilCaracter") and keeps them for the process.
  char DecCaracter = 0;
  char MilCaracter = 0;

  // Currency letters (one capital letter each, or empty), set by SetCurrency.
  // "P" is the peseta; any other letter shows euros.
  std::string MainCurrency;       // shown by default
  std::string SecondaryCurrency;  // the alternative display currency
  std::string DisplayCurrency;    // what MoneyFormat uses now

  // MoneyFormat's working masks, built for the last caller's mask and
  // display currency (they depend on nothing else), for a zero amount
  // (Work[0]) and any other (Work[1]). Built is false until the first call.
  struct MoneyMasks {
    bool Built = false;
    std::string Mask;
    bool Pesetas = false;
    std::string Work[2];
  } Money;

  // Accent mode read by UpperText: -1 = capitals without accents (the field
  // editor sets it while matching typed letters against option labels),
  // 0 = capitals keeping their accents.
  int16_t AccentMode = 0;

  // The text stack of PushText/PopText: the pushed texts one after the
  // other, each followed by its length as two bytes, little-endian.
  std::string TextStack;
};

extern FormatState state;

}  // namespace format
