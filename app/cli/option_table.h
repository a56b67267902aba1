// The one table of velquor-cli's commands and options (names, values, help texts, rules, value
// checks), from which its parser, --help, manual page and bash completion are all made.
#pragma once

#include <CLI/CLI.hpp>
#include <array>
#include <memory>
#include <string_view>

#include "app/cli/cli_options.h"

namespace velquor::cli {

struct CommandName {
  Command command;
  std::string_view name;
};

// The commands, in the order --help lists them.
inline constexpr std::array<CommandName, 8> kCommandNames = {
    {{Command::kReanalyse, "reanalyse"},
     {Command::kMeasure, "measure"},
     {Command::kPushes, "pushes"},
     {Command::kReport, "report"},
     {Command::kFeedback, "feedback"},
     {Command::kCatalogue, "catalogue"},
     {Command::kProgress, "progress"},
     {Command::kExportBids, "export-bids"}}};

// The table with every option bound to its field of `inv`: parsing the command line with it
// fills `inv`, and a value that fails its check stops the parse with the check's message.
// `inv` must outlive the table.
std::unique_ptr<CLI::App> MakeOptionTable(Invocation& inv);

// Whether an option is listed (in --help and for completion); hidden ones belong to no group.
bool Listed(const CLI::Option* option);
bool Listed(const CLI::App* command);

}  // namespace velquor::cli
