#include "config/catalogue.h"

#include "config/delimited_reader.h"
#include "config/session.h"
#include "config/text_file.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace config {
namespace {

// The catalogue at the native path (suite name `name`), parsed or from the
// cache; nullptr when it can be neither created nor read.
const CatalogueFile* LoadCatalogue(const std::string& name, const std::string& nativePath) {
  CatalogueFile& cache = session.Catalogue;
  FileStamp now = StampOf(nativePath);
  if (cache.path == nativePath && StillValid(cache.stamp, now)) {
    MarkChecked(&cache.stamp);
    return &cache;
  }
  cache = CatalogueFile();
  if (!now.exists) {
    // A missing catalogue is created empty, as the suite's other programs
    // expect to find one; this fails harmlessly when LOCALE is missing.
    platform::TouchFile(nativePath);
    now = StampOf(nativePath);
  }
  std::string text;
  if (!now.exists || !ReadTextFile(nativePath, name, &text)) return nullptr;
  cache.path = nativePath;
  cache.stamp = now;
  MarkChecked(&cache.stamp);
  cache.entries = ParseCatalogue(text);
  for (size_t i = 0; i < cache.entries.size(); ++i) {
    cache.firstEntry.emplace(cache.entries[i][0], i);  // the first one wins
  }
  return &cache;
}

// The catalogue named by the session: RootDir + "LOCALE\\" + CatalogueName +
// ".LNG". The parsed copy serves while it was read for the same root and
// name and the file it was read from keeps its stamp: without a look while
// the stamp was checked recently (file_stamp.h), else after one stat;
// otherwise the suite name is resolved again and the file read again.
const CatalogueFile* CurrentCatalogue() {
  CatalogueFile& cache = session.Catalogue;
  if (!cache.path.empty() && cache.rootDir == session.RootDir &&
      cache.name == session.CatalogueName) {
    if (CheckedRecently(cache.stamp)) return &cache;
    if (StillValid(cache.stamp, StampOf(cache.path))) {
      MarkChecked(&cache.stamp);
      return &cache;
    }
  }
  const std::string name = session.RootDir + "LOCALE\\" + session.CatalogueName + ".LNG";
  const CatalogueFile* loaded = LoadCatalogue(name, platform::SuitePath(name));
  if (loaded) {
    cache.rootDir = session.RootDir;
    cache.name = session.CatalogueName;
  }
  return loaded;
}

}  // namespace

std::vector<std::array<std::string, 4>> ParseCatalogue(const std::string& bytes) {
  std::vector<std::array<std::string, 4>> entries;
  DelimitedReader reader(bytes, BareValues::kKeepTrailing);
  while (!reader.AtEnd()) {
    std::array<std::string, 4> entry;
    if (!reader.ReadText(&entry[0]) || reader.AtEnd()) break;
    bool whole = true;
    for (int i = 1; i < 4 && whole; ++i) whole = reader.ReadText(&entry[i]);
    if (!whole) break;  // the catalogue ends inside this entry
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::string Translate(const std::string& text) {
  if (session.Language == "CAT") return text;
  if (session.CatalogueName.empty()) session.CatalogueName = session.ModuleName;
  const CatalogueFile* cat = CurrentCatalogue();
  if (!cat) return text;
  auto hit = cat->firstEntry.find(text);
  if (hit == cat->firstEntry.end()) return text;
  const std::array<std::string, 4>& entry = cat->entries[hit->second];
  if (session.Language == "SPA") return entry[3];
  if (session.Language == "GLG") return entry[1];
  if (session.Language == "OCI") return entry[2];
  return text;
}

}  // namespace config
