// The --help text and the completion words of velquor-cli, both written from its option table:
// usage lines, the command's description, one line per option, then the command's footer.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace velquor::cli {

// Lays out the help of the tool (its commands' usage lines and what it does) and of each
// command (synopsis, description, options, footer) in lines of at most 80 characters.
class HelpFormatter : public CLI::FormatterBase {
 public:
  std::string make_help(const CLI::App* app, std::string name,
                        CLI::AppFormatMode mode) const override;
};

// An option as the help writes it: "--out DIR", "--json", "FILE_dat.csv...".
std::string Term(const CLI::Option* option);

// For the shell's completion, one per line: the tool's commands and options, or a command's
// options, each followed by the name of its value when it takes one ("--out DIR").
std::string CompletionWords(const CLI::App& app);

}  // namespace velquor::cli
