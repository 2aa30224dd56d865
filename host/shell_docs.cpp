#include "shell_docs.h"

#include <string>

namespace {
// Text as roff shows it: a leading dot or quote would be a request, a backslash an escape.
std::string roff(const std::string& text) {
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\'')) out += "\\&";
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
        lineStart = c == '\n';
    }
    return out;
}

std::string optionHead(const CLI::Option* o) {
    if (o->get_positional()) return o->get_name();
    std::string head = o->get_name();
    if (o->get_items_expected_max() != 0) head += " " + o->get_type_name();
    return head;
}

std::vector<const CLI::App*> commands(const CommandLine& line) {
    std::vector<const CLI::App*> out;
    for (const CLI::App* sub : line.app().get_subcommands({})) out.push_back(sub);
    return out;
}
}  // namespace

void writeManPage(const CommandLine& line, std::ostream& out) {
    out << ".TH FXHOST 1 \"\" \"fxhost " FX_VERSION "\" \"User Commands\"\n"
        << ".SH NAME\nfxhost \\- " << roff(line.app().get_description().substr(line.app().get_description().find(": ") + 2))
        << "\n.SH SYNOPSIS\n.B fxhost\n.I command\n[\\fIoptions\\fR]\n.SH COMMANDS\n";
    for (const CLI::App* command : commands(line)) {
        out << ".SS " << command->get_name() << "\n" << roff(command->get_description()) << "\n";
        for (const CLI::Option* o : command->get_options()) {
            if (o->get_name() == "--help") continue;
            out << ".TP\n.B " << roff(optionHead(o)) << "\n" << roff(o->get_description()) << "\n";
        }
        if (!command->get_footer().empty() && command->get_footer() != line.app().get_footer())
            out << ".PP\n.nf\n" << roff(command->get_footer()) << "\n.fi\n";
    }
    out << ".SH EXIT STATUS\n";
    for (const ExitStatus& e : kExitStatuses) out << ".TP\n.B " << e.status << "\n" << roff(e.means) << "\n";
    out << ".SH SEE ALSO\nThe manual, /usr/share/doc/generic-fx/docs/fxhost.md; the sample scenes in\n"
           "/usr/share/doc/generic-fx/scenes/.\n";
}

void writeBashCompletion(const CommandLine& line, std::ostream& out) {
    std::string names;
    for (const CLI::App* command : commands(line)) names += (names.empty() ? "" : " ") + command->get_name();
    out << "# bash completion for fxhost, made from its command definitions.\n"
        << "_fxhost() {\n"
        << "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} command=${COMP_WORDS[1]}\n"
        << "    if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
        << "        COMPREPLY=($(compgen -W \"" << names << " --help --version\" -- \"$cur\"))\n"
        << "        return\n    fi\n"
        << "    case \"$command $prev\" in\n";
    for (const CLI::App* command : commands(line))
        for (const CLI::Option* o : command->get_options()) {
            if (o->get_positional() || o->get_items_expected_max() == 0) continue;
            const auto choice = line.choices().find(o);
            std::string words;
            if (choice != line.choices().end())
                for (const std::string& w : choice->second.words) words += (words.empty() ? "" : " ") + w;
            out << "        \"" << command->get_name() << " " << o->get_name() << "\") ";
            if (!words.empty()) out << "COMPREPLY=($(compgen -W \"" << words << "\" -- \"$cur\")); return ;;\n";
            else out << "COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n";
        }
    out << "    esac\n"
        << "    case \"$command\" in\n";
    for (const CLI::App* command : commands(line)) {
        std::string options;
        bool effects = false;
        for (const CLI::Option* o : command->get_options()) {
            if (o->get_positional()) effects = true;
            else options += (options.empty() ? "" : " ") + o->get_name();
        }
        out << "        " << command->get_name() << ") COMPREPLY=($(compgen -W \"" << options;
        // Effects by catalogue name and short name.
        if (effects)
            out << " $(fxhost list --bold never 2>/dev/null | awk '$1 ~ /^[0-9]+$/ {s = tolower($2); gsub(/_/, \"\", s);"
                   " sub(/^generic/, \"\", s); print $2; print s}')";
        out << "\" -- \"$cur\")) ;;\n";
    }
    out << "    esac\n}\ncomplete -o default -F _fxhost fxhost\n";
}
