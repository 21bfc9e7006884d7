#include "measure/cli/cli_prompt.h"

#include <csignal>
#include <cstdio>
#include <string>

namespace vistamet::cli {

void CliPrompt::Message(std::string_view text, Icon) {
  std::fprintf(stderr, "%s\n", std::string(text).c_str());
}

bool CliPrompt::AskYesNo(std::string_view text, std::string_view, Icon) {
  std::fprintf(stderr, "%s [answered: No]\n", std::string(text).c_str());
  return false;
}

bool CliPrompt::EditSpacePoint(SpacePoint&) { return false; }

bool CliPrompt::AskOffset(double&, double&, double&) { return false; }

namespace {

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
  interrupted = 1;
  std::signal(SIGINT, SIG_DFL);
}

}  // namespace

bool CliProgress::StopRequested() const { return interrupted != 0; }

void CliProgress::StopOnInterrupt() { std::signal(SIGINT, OnInterrupt); }

void CliProgress::Report(int done, int total, std::string_view text) {
  std::fprintf(stderr, "\r%s %d/%d", std::string(text).c_str(), done, total);
  if (done >= total) std::fprintf(stderr, "\n");
  std::fflush(stderr);
}

}  // namespace vistamet::cli
