#include "app/cli/help_format.h"

#include <set>
#include <sstream>
#include <vector>

#include "app/cli/option_table.h"

namespace velquor::cli {
namespace {

constexpr std::size_t kWidth = 80;
// Option descriptions start in this column; a longer option name pushes its first line on.
constexpr std::size_t kDescriptionColumn = 19;

// `atoms` joined by spaces into lines of at most kWidth characters; the first line continues a
// line already `column` characters long, the others are indented by `indent` spaces.
std::string Wrap(const std::vector<std::string>& atoms, std::size_t column, std::size_t indent) {
  std::string out;
  bool line_empty = true;
  for (const std::string& atom : atoms) {
    if (!line_empty && column + 1 + atom.size() > kWidth) {
      out += "\n" + std::string(indent, ' ');
      column = indent;
      line_empty = true;
    }
    if (!line_empty) {
      out += ' ';
      ++column;
    }
    out += atom;
    column += atom.size();
    line_empty = false;
  }
  return out;
}

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

bool TakesValue(const CLI::Option* o) {
  return o->get_items_expected_max() > 0;
}

// "-h, --help" and the like: every name of the option.
std::string Names(const CLI::Option* o) {
  std::string names;
  for (const std::string& s : o->get_snames()) names += "-" + s + ", ";
  for (const std::string& l : o->get_lnames()) names += "--" + l + ", ";
  names.resize(names.size() - 2);
  if (TakesValue(o)) names += " " + o->get_type_name();
  return names;
}

std::vector<const CLI::Option*> ListedOptions(const CLI::App* app) {
  return app->get_options([app](const CLI::Option* o) {
    return Listed(o) && o != app->get_help_ptr() && !o->get_positional();
  });
}

std::string Bracketed(const std::string& term, bool required) {
  return required ? term : "[" + term + "]";
}

// The arguments after the options, in their order: "ACTION [DIR]".
std::string Positionals(const CLI::App* app) {
  std::string text;
  for (const CLI::Option* p :
       app->get_options([](const CLI::Option* o) { return o->get_positional(); })) {
    text += (text.empty() ? "" : " ") + Bracketed(Term(p), p->get_required());
  }
  return text;
}

// The synopsis of a command, one piece per option: "[--json | --csv DIR]" for options that
// exclude each other, "[--out DIR [--overwrite]]" for an option and one that needs it.
std::vector<std::string> Synopsis(const CLI::App* app) {
  std::vector<std::string> pieces;
  std::set<const CLI::Option*> done;
  const auto options = ListedOptions(app);
  for (std::size_t i = 0; i < options.size(); ++i) {
    const CLI::Option* o = options[i];
    if (done.contains(o)) continue;
    std::string piece = Term(o);
    for (std::size_t j = i + 1; j < options.size(); ++j) {
      const CLI::Option* later = options[j];
      if (done.contains(later)) continue;
      if (later->get_excludes().contains(const_cast<CLI::Option*>(o))) {
        piece += " | " + Term(later);
        done.insert(later);
      } else if (later->get_needs().contains(const_cast<CLI::Option*>(o))) {
        piece += " [" + Term(later) + "]";
        done.insert(later);
      }
    }
    pieces.push_back(Bracketed(piece, o->get_required()));
  }
  if (std::string p = Positionals(app); !p.empty()) pieces.push_back(p);
  return pieces;
}

// "velquor-cli report --pdf OUT.pdf [options] FILE_dat.csv...": the required options only.
std::string ShortUsage(const CLI::App* app) {
  std::string line = app->get_parent()->get_name() + " " + app->get_name();
  bool optional = false;
  for (const CLI::Option* o : ListedOptions(app)) {
    if (o->get_required()) {
      line += " " + Term(o);
    } else {
      optional = true;
    }
  }
  if (optional) line += " [options]";
  if (std::string p = Positionals(app); !p.empty()) line += " " + p;
  return line;
}

std::string ToolHelp(const CLI::App* tool) {
  const std::string indent = "       ";
  std::string out = "usage: ";
  for (const CLI::App* command :
       tool->get_subcommands([](const CLI::App* c) { return Listed(c); })) {
    out += ShortUsage(command) + "\n" + indent;
  }
  out += tool->get_name() + " COMMAND --" + tool->get_help_ptr()->get_lnames().at(0) + "\n";
  for (const CLI::Option* o : ListedOptions(tool)) {
    out += indent + tool->get_name() + " " + Term(o) + "\n";
  }
  return out + "\n" + Wrap(Words(tool->get_description()), 0, 0) + "\n";
}

std::string CommandHelp(const CLI::App* app) {
  const std::string usage = "usage: " + app->get_parent()->get_name() + " " + app->get_name();
  std::string out = usage + " " + Wrap(Synopsis(app), usage.size() + 1, usage.size() + 1) + "\n";
  out += "\n" + Wrap(Words(app->get_description()), 0, 0) + "\n\n";
  std::vector<const CLI::Option*> options = ListedOptions(app);
  options.push_back(app->get_help_ptr());
  for (const CLI::Option* o : options) {
    std::string line = "  " + Names(o);
    line.resize(std::max(line.size() + 2, kDescriptionColumn), ' ');
    out += line + Wrap(Words(o->get_description()), line.size(), kDescriptionColumn) + "\n";
  }
  const std::string footer = app->get_footer();
  return footer.empty() ? out : out + "\n" + footer;
}

}  // namespace

std::string Term(const CLI::Option* o) {
  if (o->get_positional()) {
    return o->get_name(true) + (o->get_items_expected_max() > 1 ? "..." : "");
  }
  std::string term = "--" + o->get_lnames().at(0);
  if (TakesValue(o)) term += " " + o->get_type_name();
  return term;
}

std::string HelpFormatter::make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const {
  return app->get_parent() == nullptr ? ToolHelp(app) : CommandHelp(app);
}

std::string CompletionWords(const CLI::App& app) {
  std::string out;
  for (const CLI::App* command : app.get_subcommands([](const CLI::App* c) { return Listed(c); })) {
    out += command->get_name() + "\n";
  }
  std::vector<const CLI::Option*> options = ListedOptions(&app);
  options.push_back(app.get_help_ptr());
  for (const CLI::Option* o : options) out += Term(o) + "\n";
  return out;
}

}  // namespace velquor::cli
