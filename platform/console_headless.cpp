// The headless back end: no device. Events come from console.queue, which
// tests fill with ConsoleQueueKey and friends; the cells are read back with
// ConsoleReadCell.
#include "platform/console_backend.h"

namespace platform {
namespace {

bool Start() { return true; }
void Stop() {}
void Present() { console.dirty = false; }

bool Read(ConsoleEvent* event) {
  if (console.queue.empty()) return false;
  *event = console.queue.front();
  console.queue.pop_front();
  return true;
}

void Wait(int) {
  if (!console.queue.empty()) return;
  // Nobody will ever type: end the wait with Esc (see ConsoleWaitInput).
  ++console.starvedWaits;
  ConsoleEvent esc;
  esc.text = "\x1b";
  console.queue.push_back(esc);
}

// Keys of the queue are pressed and released at once: nothing stays held.
uint32_t Held() { return 0; }
void Bell() {}
void Mouse(bool) {}

// No device: its size is the model's.
void Size(int16_t* rows, int16_t* columns) {
  *rows = console.rows;
  *columns = console.columns;
}

}  // namespace

const ConsoleBackend kHeadlessBackend = {Start, Stop, Present, Read, Wait, Held, Bell, Mouse,
                                           Size};

}  // namespace platform
