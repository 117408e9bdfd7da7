// torbelan: the settlement report program.
#include <string>
#include <vector>

#include "report/main_flow.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return report::TorbelanMain(args);
}
