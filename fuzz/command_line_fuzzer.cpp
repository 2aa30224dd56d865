// fxhost's command line under libFuzzer: argument vectors built from its own
// commands and options (and the words users give them, right and wrong) are
// read and checked as main does before any work. Each gives a refusal in
// fxhost's words (status 1 or 2) or a command ready to run, never a crash.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "command_line.h"
#include "interrupt.h"
#include "kit/errors.h"

namespace {
[[noreturn]] void fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "command_line_fuzzer: %s: %s\n", what, detail.c_str());
    std::abort();
}

// Values right, wrong and out of range for every kind of option.
const std::vector<std::string> kWords = {
    "0", "1", "-1", "24", "2.5", "1e8", "1e39", "-1e-320", "nan", "inf", "0x10", "", " ", "x", "640x480", "16x16",
    "8193x10", "10x", "twist", "TWIST", "tw", "GenericTwist", "Twistt", "7", "99", "frequency=0.5", "#2.frequency=0.5",
    "#0.frequency=1", "3:frequency=1", "0:frequency=1", "frequency=nan", "center=1,2", "center=1,2,3", "on mesh=on",
    "twist.frequency=2", "on", "off", "y", "z", "front", "top", "text", "json", "html", "always", "out", "out.glb",
    "out.obj", "/nonexistent/scene.obj", "/nonexistent/session.json", "generic.fx", "--", "-", "--help", "--frames"};

// The command, then options and values: a byte below 0xC0 picks an option of
// the command, a byte from 0xC0 a value word, 0xFF raw text up to a zero byte.
std::vector<std::string> words(const CommandLine& line, const uint8_t* data, size_t size) {
    std::vector<const CLI::App*> commands;
    for (const CLI::App* sub : line.app().get_subcommands({})) commands.push_back(sub);
    std::vector<std::string> out;
    if (size == 0) return out;
    const CLI::App* command = commands[data[0] % commands.size()];
    out.push_back(command->get_name());
    std::vector<std::string> options;
    for (const CLI::Option* o : command->get_options()) {
        for (const std::string& name : o->get_lnames()) options.push_back("--" + name);
        for (const std::string& name : o->get_snames()) options.push_back("-" + name);
    }
    for (size_t i = 1; i < size; ++i) {
        const uint8_t b = data[i];
        if (b == 0xFF) {
            std::string raw;
            while (++i < size && data[i] != 0) raw += char(data[i]);
            out.push_back(raw);
        } else if (b >= 0xC0) {
            out.push_back(kWords[(b - 0xC0u) % kWords.size()]);
        } else if (!options.empty()) {
            out.push_back(options[b % options.size()]);
        }
    }
    return out;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CommandLine line;
    const std::vector<std::string> argv = words(line, data, size);
    std::string shown;
    for (const std::string& w : argv) shown += "'" + w + "' ";
    try {
        line.parse(argv);
        line.check();
    } catch (const CLI::Success&) {
    } catch (const UsageError& e) {
        const std::string what = e.what();
        // One line, unless it quotes a word that holds a line break.
        if (what.empty() || (what.find('\n') != std::string::npos && shown.find('\n') == std::string::npos))
            fail("a refusal not one line", shown + what);
    } catch (const RunError& e) {
        if (std::string(e.what()).empty()) fail("a failure without a message", shown);
    } catch (const Interrupted&) {
        fail("interrupted without a signal", shown);
    }
    return 0;
}
