// The commands of zuldata, one function per command, grouped in one source
// file per command group (zuldata_main.cpp dispatches):
//   zuldata_xdf.cpp   xdf
//   zuldata_files.cpp  create, dump, check
//
// Each command takes its arguments (after the command name), writes its
// output to stdout and its messages to stderr, and returns the process exit
// code: 0 success, 1 failure, 2 bad arguments.
#pragma once

#include <string>
#include <vector>

namespace zuldata {

using Args = std::vector<std::string>;

int CmdXdf(const Args& args);     // zuldata xdf DESCRIPTION OUT.xdf
int CmdCreate(const Args& args);  // zuldata create PATH XDF [--owner NAME] [--replace]
int CmdDump(const Args& args);    // zuldata dump PATH [--key N] [--owner NAME]
int CmdCheck(const Args& args);   // zuldata check PATH

// Parses a readable file description (format in tools/zuldata/README.md)
// into the bytes of a creation layout. Returns false with a message
// naming the line when the description is wrong, and with a message when
// the layout would be longer than an .xdf file can hold (65,535 bytes;
// recman/creation_layout_file.h).
bool DescriptionToLayout(const std::string& text, std::string* creation, std::string* error);

// Reads an .xdf file: the 2-byte little-endian length and that many bytes of
// creation layout. Returns false with a message.
bool ReadXdf(const std::string& nativePath, std::string* creation, std::string* error);

}  // namespace zuldata
