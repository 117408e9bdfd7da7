// ZUL_CHECK(condition): the check of a documented calling order or state
// transition (a lock taken before it is used, a spool written only while
// it is open). When the condition is false the program is wrong, not its
// input: the check names the file, the line and the condition on standard
// error and aborts, so that a test or a sanitizer run stops at the call
// that broke the order instead of at a consequence far away.
//
// The checks are on in every build made by scripts/build and scripts/test,
// the sanitizer, fuzz and RelWithDebInfo builds included: they do not
// depend on NDEBUG, which CMake's release build types define. Configuring
// with -DZUL_CHECKS=OFF (a build for shipping, say) compiles each check to
// nothing; the condition is then not evaluated, so it must have no effect.
//
// Input a program reads (files, keys, the environment) is never checked
// this way: bad input gets a status and a message.
#pragma once

namespace platform {

// Writes "FILE:LINE: check failed: CONDITION" to standard error and
// aborts. Never returns.
[[noreturn]] void CheckFailed(const char* file, int line, const char* condition);

}  // namespace platform

#if defined(ZUL_CHECKS_OFF)
#define ZUL_CHECK(condition) static_cast<void>(sizeof(!(condition)))
#else
#define ZUL_CHECK(condition) \
  ((condition) ? static_cast<void>(0) : ::platform::CheckFailed(__FILE__, __LINE__, #condition))
#endif
