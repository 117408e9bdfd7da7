// The form file: a program's input screens, described as text and loaded
// once at start into console::form (form.h).
//
// The file is RootDir + "FORMS\" + module + ".JPN" (the module name is
// config::session.ModuleName), code page 850 text read value by value by
// the delimited-value reader (config/delimited_reader.h, bare values
// trimmed): numbers in decimal; texts bare or, when they hold commas (key
// lists, option lists) or leading or trailing blanks, in double quotes. A
// line end separates values as a comma does, so values may be laid out
// across lines freely; an empty line is an empty value. A line whose first
// non-blank character is an apostrophe is a comment, but only where a
// record begins: before the header, before each screen, before the
// browse-list count and before each browse list.
//
// Records, in this order:
//   1. header: screen count, the largest field count of any screen;
//   2. each screen, in screen-number order: key list (the keys that end its
//      fields' inputs, as a key list of keyboard.h), field count,
//      continuation screen (0 none), window top, left, bottom, right (top 0:
//      no window of its own); then each field: row, column, label, width,
//      wrap width, extra display width, flags (form.h), type, browse list,
//      option list ("" for free text; "|code,label..." for a choice);
//   3. browse-list count;
//   4. each browse list: data file, key number, window top, left, bottom,
//      right, search screen, heading, secondary list.
// Every label, option list and heading goes through the message catalogue
// (config::Translate) as it is read. Every value starts as width spaces;
// the program sets initial values after loading.
//
// Numbers beyond 16 bits are cut to the 16-bit range; a negative count or
// width counts as 0.
//
// State: writes console::form (ResumeScreen starts at 0).
#pragma once

#include <string>

namespace console {

enum class FormFileStatus {
  kOk,         // every record the header and the list count announce was read
  kMissing,    // the file cannot be read; the form is left empty
  kTruncated,  // the file ends inside the header, a screen or its fields, or
               // a browse list the list count announces; the form holds what
               // was read before the end (the rest keeps its empty defaults)
};

// The suite name of the module's form file: RootDir + "FORMS\" +
// ModuleName + ".JPN".
std::string FormFileName();

// Loads the module's form file into console::form (a fresh FormState
// first). A file that ends after its last screen, before the browse-list
// count, is complete: the form has no browse lists.
FormFileStatus LoadForm();

// The same for the bytes of a form file.
FormFileStatus ParseForm(const std::string& bytes);

}  // namespace console
