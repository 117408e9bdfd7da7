#include "config/language.h"

#include <gtest/gtest.h>

#include "config/session.h"

namespace config {
namespace {

TEST(ByLanguageTest, PicksTheSessionLanguageAndFallsBackToCatalan) {
  session = SessionState();
  const struct {
    const char* language;
    const char* text;
  } cases[] = {{"CAT", "ca"}, {"GLG", "gl"}, {"OCI", "oc"}, {"SPA", "es"},
               {"   ", "ca"}, {"spa", "ca"}, {"ENG", "ca"}, {"", "ca"}};
  for (const auto& c : cases) {
    session.Language = c.language;
    EXPECT_EQ(ByLanguage("ca", "gl", "oc", "es"), c.text) << "'" << c.language << "'";
  }
  session = SessionState();
}

}  // namespace
}  // namespace config
