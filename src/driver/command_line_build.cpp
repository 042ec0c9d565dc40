#include "driver/command_line_build.hpp"

#include "driver/run.hpp"

namespace qor {

CommandLineBuild::CommandLineBuild(Run& run, CommandLineOptions said)
    : said(std::move(said)), options{run.settings, this->said, outputs}, run_(run), enclosing_(run.command_line) {
    run.command_line = this;
}

CommandLineBuild::~CommandLineBuild() { run_.command_line = enclosing_; }

}  // namespace qor
