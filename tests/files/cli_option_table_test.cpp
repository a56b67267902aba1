#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/cli/cli_options.h"
#include "app/cli/help_format.h"
#include "app/cli/option_table.h"

namespace velquor::cli {
namespace {

// A value every check of the table takes.
std::string ValueFor(const CLI::Option* o) {
  return o->get_lnames().at(0) == "channel" ? "auto" : "1";
}

// The command line of `command` with the options `given`, its required options but those in
// `omit`, and one file where it takes files.
std::vector<std::string> Line(const CLI::App* command, std::vector<const CLI::Option*> given,
                              std::set<const CLI::Option*> omit = {}) {
  for (const CLI::Option* o : command->get_options()) {
    if (o->get_required() && !o->get_positional() && !omit.contains(o)) given.push_back(o);
  }
  std::vector<std::string> line = {command->get_name()};
  for (const CLI::Option* o : given) {
    line.push_back("--" + o->get_lnames().at(0));
    if (o->get_items_expected_max() > 0) line.push_back(ValueFor(o));
  }
  if (!command->get_options([](const CLI::Option* o) { return o->get_positional(); }).empty()) {
    line.push_back("a_dat.csv");
  }
  return line;
}

std::string Joined(const std::vector<std::string>& line) {
  std::string text;
  for (const std::string& a : line) text += a + " ";
  return text;
}

// Every command and every option of the table is in --help and in the completion words;
// options that exclude each other are refused together and taken alone; an option that needs
// another is refused without it and taken with it.
TEST(CliOptionTable, HelpCompletionAndRulesComeFromTheTable) {
  Invocation scratch;
  const auto tool = MakeOptionTable(scratch);
  const std::string tool_help = Usage(Command::kNone), tool_words = Completion(Command::kNone);
  EXPECT_EQ(tool_help.find("--complete"), std::string::npos) << "hidden";
  EXPECT_NE(tool_words.find("--version\n"), std::string::npos) << tool_words;
  int excluding = 0, needing = 0;
  for (const CommandName& c : kCommandNames) {
    SCOPED_TRACE(std::string(c.name));
    const CLI::App* command = tool->get_subcommand(std::string(c.name));
    EXPECT_NE(tool_help.find("velquor-cli " + command->get_name() + " "), std::string::npos);
    EXPECT_NE(tool_words.find(command->get_name() + "\n"), std::string::npos);
    const std::string help = Usage(c.command), words = Completion(c.command);
    EXPECT_EQ(help.rfind("usage: velquor-cli " + command->get_name() + " ", 0), 0u) << help;
    for (const CLI::Option* o : command->get_options()) {
      EXPECT_NE(help.find(Term(o)), std::string::npos) << Term(o) << " in\n" << help;
      if (!o->get_positional()) {
        EXPECT_NE(words.find(Term(o) + "\n"), std::string::npos) << Term(o) << " in\n" << words;
      }
      for (const CLI::Option* other : o->get_excludes()) {
        ++excluding;
        const auto both = Line(command, {o, other});
        auto r = ParseCommandLine(both);
        ASSERT_FALSE(r.ok()) << Joined(both);
        EXPECT_NE(r.problem().what.find("--" + other->get_lnames().at(0)), std::string::npos)
            << r.problem().what;
        EXPECT_TRUE(ParseCommandLine(Line(command, {o})).ok()) << Joined(Line(command, {o}));
      }
      for (const CLI::Option* needed : o->get_needs()) {
        ++needing;
        const auto without = Line(command, {o}, {needed});
        auto r = ParseCommandLine(without);
        ASSERT_FALSE(r.ok()) << Joined(without);
        EXPECT_NE(r.problem().what.find(Term(needed)), std::string::npos) << r.problem().what;
        const auto with = Line(command, {needed, o}, {needed});
        EXPECT_TRUE(ParseCommandLine(with).ok()) << Joined(with);
      }
    }
  }
  EXPECT_EQ(excluding, 2) << "pushes --json and --csv, counted from each side";
  EXPECT_EQ(needing, 3) << "--overwrite of reanalyse, report and progress";
}

}  // namespace
}  // namespace velquor::cli
