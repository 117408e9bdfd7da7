#include "config/session.h"

#include "platform/codepage.h"
#include "platform/env.h"

namespace config {

SessionState session;

std::string EnvText(const std::string& name) {
  return platform::Utf8ToCp850(platform::GetEnv(name));
}

std::string WithSeparator(const std::string& dir) {
  if (dir.empty() || dir.back() == '\\' || dir.back() == '/' || dir.back() == ':') return dir;
  return dir + "\\";
}

std::string EnvRootDir() { return WithSeparator(EnvText("ZULROOT")); }

}  // namespace config
