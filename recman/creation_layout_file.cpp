#include "recman/creation_layout_file.h"

#include "platform/coding.h"
#include "platform/files.h"

namespace recman {

std::string CreationLayoutFileName(const std::string& rootDir, const std::string& name) {
  return rootDir + "ddf\\" + name + ".xdf";
}

std::string EncodeCreationLayoutFile(const std::string& creation) {
  std::string bytes;
  bytes.reserve(kLayoutFileHeaderSize + creation.size());
  platform::PutFixed16(&bytes, static_cast<uint16_t>(creation.size()));
  bytes += creation;
  return bytes;
}

LayoutFileStatus ReadCreationLayoutFile(const std::string& nativePath, std::string* creation) {
  creation->clear();
  std::string bytes;
  if (!platform::ReadFile(nativePath, &bytes)) return LayoutFileStatus::kCannotRead;
  if (bytes.size() < kLayoutFileHeaderSize) return LayoutFileStatus::kTooShort;
  const size_t length = platform::DecodeFixed16(bytes.data());
  const size_t held = bytes.size() - kLayoutFileHeaderSize;
  creation->assign(bytes, kLayoutFileHeaderSize, length);
  if (held >= length) return LayoutFileStatus::kOk;
  creation->resize(length, '\0');
  return LayoutFileStatus::kTruncated;
}

LayoutFileStatus WriteCreationLayoutFile(const std::string& nativePath,
                                         const std::string& creation) {
  if (creation.size() > kMaxLayoutFileLayout) return LayoutFileStatus::kTooLong;
  if (!platform::WriteFile(nativePath, EncodeCreationLayoutFile(creation))) {
    return LayoutFileStatus::kCannotWrite;
  }
  return LayoutFileStatus::kOk;
}

}  // namespace recman
