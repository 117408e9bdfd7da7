// Opening the suite's data files under logical numbers.
//
// A program opens each data file once, under a logical number of its own
// choosing (the report uses 501 to 515), binding it to a record buffer in its
// own memory; the record operations (record_ops.h) then name the file by that
// number. Files stay open for the whole run; DataCloseAll closes them all.
//
// Opening rules:
//  - The suite names a data file without its extension ("DADES\TDespesa");
//    ".dat" is added when the last component of the name has no dot.
//  - Every name goes through the suite-path rule (platform/paths.h).
//  - While another program holds the file exclusively (status 85) the open
//    waits, in steps of 3 seconds, without limit and without a message.
//  - A missing file (status 12) is created from its creation layout file
//    `RootDir` + "ddf\" + name + ".xdf" (recman/creation_layout_file.h)
//    and then opened; the layout goes to the record manager's Create as it
//    stands. A missing layout file is left behind empty (opening it for
//    binary access creates it), and the data file cannot then be created.
//    When another program creates the file first (Create says it exists),
//    that file is opened.
//  - Limits: the file name (with its extension) and a zero byte must fit
//    the 256-byte key buffer, else the open fails with status 11 (invalid
//    file name); a creation layout longer than the 1536-byte data
//    buffer is refused with status 22 (data buffer too short). Neither is
//    ever copied beyond its buffer.
//  - Any other failure ends the program: the operator is told, in the session's
//    language, which file could not be reached (its path as the file system
//    names it, extension included) and with which status, presses a key, and
//    the process ends with exit code 0 after closing the data files. A program
//    without a screen to show it on (a batch run) sets `openFailure` below: the
//    message then goes to its Report routine instead, no key is waited for, and
//    the process ends with openFailure.ExitCode.
//
// Files are opened with the deployment's owner name (owner.h).
#pragma once

#include <cstdint>
#include <string>

namespace datafile {

// How a failed open is told and with which exit code the program ends.
// Report gets the operator's message (code page 850); nullptr shows it on
// the screen and waits for a key.
struct OpenFailureState {
  void (*Report)(const std::string& message) = nullptr;
  int ExitCode = 0;
};
extern OpenFailureState openFailure;

// The slot (1-40) holding the logical number; otherwise minus the highest
// free slot; 0 when the number is not open and every slot is in use. Free
// slots are taken from the top, so the first file opened goes to slot 40.
// Number 0 is the free marker and is never held by a slot.
int FindSlot(int16_t fileNumber);

// A data file name split as the open does it, scanning from the end: the
// extension starts at the first dot of the last component (".dat" when it
// has none); a dot in a directory name does not count.
struct DataPath {
  std::string Directory;  // up to and including the last ":", "\" or "/"
  std::string Name;       // the file name without extension
  std::string Extension;  // from the first dot of the last component
};
DataPath SplitDataPath(const std::string& path);

// Opens the data file `path` under `fileNumber` and binds it to `recordBuffer`
// (caller memory, kept alive while the file is open).
//
// `recordBufferSize` is the size of that memory when the caller knows it: the
// layer then never delivers more than that many bytes of a record, even when
// the file declares longer records (a longer record is delivered cut, as a
// record longer than the data buffer is). A negative size means the caller
// trusts the file's record length.
//
// Status: 0 opened; 1002 the number is already open (nothing changes; also
// for number 0, which is reserved); 1003 all 40 slots are in use. Any other
// failure does not return (see above).
void DataOpen(int16_t fileNumber, const std::string& path, void* recordBuffer,
              int16_t& status, int32_t recordBufferSize = -1);

// The total length of key `keyNumber` of an open file (0 when the file has no
// such key) and the file's record length (the length the file declares).
// Both are 0 when the number is not open.
void DataKeyInfo(int16_t fileNumber, int16_t keyNumber, int16_t& keyLength,
                 int16_t& recordLength);

}  // namespace datafile
