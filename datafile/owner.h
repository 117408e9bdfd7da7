// The owner name that protects the suite's data files.
//
// The record manager refuses to open a file protected by an owner name unless
// the same name is given with the open; a file without an owner name opens
// whatever name is given (files created by the open itself have none, as
// Create sets no owner). The suite's files of one deployment
// all carry one owner name of four characters, passed to the record manager
// as those four characters and a zero byte (data length 5).
//
// Configuration: the environment variable ZULOWNER, when set, holds the
// deployment's owner name; otherwise the built-in name of this build is used.
// The name is always four characters: a longer value is cut and a shorter one
// padded with spaces, so every program of one deployment (the report, the
// data tool zuldata that creates the files) arrives at the same four bytes
// from the same setting. The built-in name is assembled at run time from
// single characters, so that it does not stand in the program file as one
// readable string.
#pragma once

#include <string>

namespace datafile {

constexpr int kOwnerNameLength = 4;

// The four characters of the deployment's owner name (without the zero byte).
std::string OwnerName();

}  // namespace datafile
