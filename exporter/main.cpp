// quendex: the update-file exporter's entry point. Everything it does lives in the
// exporter library; this file only connects it to the process.
#include <clocale>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "exporter/quendex.h"
#include "platform/tty.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  torvex::exporter::StdoutSink out(torvex::LocaleIsUtf8());
  try {
    return torvex::exporter::QuendexMain(std::vector<std::string>(argv + 1, argv + argc), out);
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "\nquendex: %s\n", e.what());
    return 1;
  }
}
