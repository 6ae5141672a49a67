// An ability file written from a table into a temporary directory and opened
// as the program's ability file for the life of the object.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "abilitylib/ability_source.h"
#include "database/ability_names.h"
#include "tests/temp_dir.h"

namespace torvex::testing {

class OpenedAbilityFile {
 public:
  explicit OpenedAbilityFile(const std::vector<AbilityDescription>& table) {
    EXPECT_TRUE(OpenAbilityNames(dir_.Write("kestrune.dat", EncodeAbilityFile(table))));
  }
  ~OpenedAbilityFile() { CloseAbilityNames(); }
  OpenedAbilityFile(const OpenedAbilityFile&) = delete;
  OpenedAbilityFile& operator=(const OpenedAbilityFile&) = delete;

 private:
  TempDir dir_;
};

}  // namespace torvex::testing
