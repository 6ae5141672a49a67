// world_build <data/world directory> <output directory>
//
// Builds the demo world: WCCUPDA2.DAT for quendex and the live-state files, from
// the readable sources. See tools/world_source.h.
#include <string>
#include <vector>

#include "tools/world_source.h"

int main(int argc, char** argv) {
  return torvex::worldsrc::WorldBuildMain(std::vector<std::string>(argv + 1, argv + argc));
}
