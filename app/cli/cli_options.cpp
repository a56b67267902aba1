#include "app/cli/cli_options.h"

#include <typeinfo>

#include "app/cli/help_format.h"
#include "app/cli/option_table.h"

namespace velquor::cli {
namespace {

Problem UsageError(std::string what) {
  return Problem{"", 0, 0, std::move(what)};
}

// "reanalyse, measure, pushes or report".
std::string CommandChoice(const CLI::App& tool) {
  const auto commands = tool.get_subcommands([](const CLI::App* c) { return Listed(c); });
  std::string choice;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    if (i > 0) choice += i + 1 == commands.size() ? " or " : ", ";
    choice += commands[i]->get_name();
  }
  return choice;
}

Command CommandOf(const CLI::App* app) {
  for (const CommandName& c : kCommandNames) {
    if (app->get_name() == c.name) return c.command;
  }
  return Command::kNone;
}

// The table's entry of a command, the tool's own for kNone.
const CLI::App& Entry(const CLI::App& tool, Command command) {
  for (const CommandName& c : kCommandNames) {
    if (c.command == command) return *tool.get_subcommand(std::string(c.name));
  }
  return tool;
}

// The first rule of the table that the options given break, in the order the parser checks
// them (for each option: given when required, the option it needs, the one it excludes).
std::string BrokenRule(const CLI::App& command) {
  for (const CLI::Option* o : command.get_options()) {
    if (o->get_required() && o->count() == 0) {
      return command.get_name() + " needs " +
             (o->get_positional() ? "at least one " + o->get_name(true) : Term(o));
    }
    if (o->count() == 0) continue;
    for (const CLI::Option* needed : o->get_needs()) {
      if (needed->count() == 0) return Term(o) + " needs " + Term(needed);
    }
    for (const CLI::Option* other : o->get_excludes()) {
      if (other->count() > 0) {
        return command.get_name() + " takes " + Term(o) + " or " + Term(other) + ", not both";
      }
    }
  }
  return {};
}

// A parse error in this tool's words where it has its own, else in the parser's.
std::string Describe(const CLI::ParseError& e, const CLI::App& command,
                     std::span<const std::string> args) {
  const std::type_info& kind = typeid(e);
  if (kind == typeid(CLI::RequiredError) || kind == typeid(CLI::RequiresError) ||
      kind == typeid(CLI::ExcludesError)) {
    if (std::string rule = BrokenRule(command); !rule.empty()) return rule;
  }
  // An option's value can only be missing at the end: the values are taken as they come.
  if (kind == typeid(CLI::ArgumentMismatch) && !args.empty()) {
    const CLI::Option* o = command.get_option_no_throw(args.back());
    if (o != nullptr && o->get_items_expected_min() > 0) return args.back() + " needs a value";
    // Or a flag was given one: "--json=3".
    for (const std::string& arg : args) {
      const std::string name = arg.substr(0, arg.find('='));
      o = command.get_option_no_throw(name);
      if (name != arg && o != nullptr && o->get_items_expected_max() == 0) {
        return name + " takes no value";
      }
    }
  }
  return e.what();
}

}  // namespace

bool CanWritePictures() {
#ifdef VELQUOR_HAVE_PNG
  return true;
#else
  return false;
#endif
}

Result<Invocation> ParseCommandLine(std::span<const std::string> args) {
  Invocation inv;
  const std::unique_ptr<CLI::App> tool = MakeOptionTable(inv);
  std::vector<std::string> reversed(args.rbegin(), args.rend());  // as the parser takes them
  std::string error;
  try {
    tool->parse(reversed);
  } catch (const CLI::CallForHelp&) {
    inv.help = true;
  } catch (const CLI::ParseError& e) {
    const auto parsed = tool->get_subcommands();
    // Completion lists a command's options before its required ones are given.
    if (!inv.complete || typeid(e) != typeid(CLI::RequiredError)) {
      error = Describe(e, parsed.empty() ? *tool : *parsed.front(), args);
    }
  }
  if (!error.empty()) return UsageError(error);
  const auto parsed = tool->get_subcommands();
  if (!parsed.empty()) inv.command = CommandOf(parsed.front());
  if (inv.help || inv.version) return inv;
  if (!tool->remaining().empty()) {
    return UsageError("unknown command \"" + tool->remaining().front() + "\"; choose " +
                      CommandChoice(*tool));
  }
  if (parsed.empty() && !inv.complete) {
    return UsageError("no command given; choose " + CommandChoice(*tool));
  }
  if (inv.complete) return inv;
  const CLI::App& command = *parsed.front();
  if (!command.remaining().empty()) {
    const bool takes_files =
        !command.get_options([](const CLI::Option* o) { return o->get_positional(); }).empty();
    return UsageError(command.get_name() + " has no option " + (takes_files ? "" : "or argument ") +
                      command.remaining().front());
  }
  if (inv.command == Command::kReport && !CanWritePictures()) {
    return UsageError("this build of velquor-cli cannot draw reports; use the desktop program");
  }
  return inv;
}

std::string Usage(Command command) {
  Invocation scratch;
  return Entry(*MakeOptionTable(scratch), command).help();
}

std::string Completion(Command command) {
  Invocation scratch;
  return CompletionWords(Entry(*MakeOptionTable(scratch), command));
}

}  // namespace velquor::cli
