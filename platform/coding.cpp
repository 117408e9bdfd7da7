#include "platform/coding.h"

namespace platform {

void PutFixed16(std::string* dst, uint16_t value) {
  char buf[2];
  EncodeFixed16(buf, value);
  dst->append(buf, sizeof buf);
}

void PutFixed32(std::string* dst, uint32_t value) {
  char buf[4];
  EncodeFixed32(buf, value);
  dst->append(buf, sizeof buf);
}

}  // namespace platform
