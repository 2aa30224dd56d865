// fxhost: loads generic.fx the way its host does and runs, shows and
// exports its effects.
#include <cerrno>
#include <cstring>
#include <iostream>

#include "command_line.h"
#include "interrupt.h"
#include "kit/errors.h"

namespace {
int runCommand(CommandLine& commandLine, int argc, char** argv) {
    try {
        commandLine.parse(std::vector<std::string>(argv + 1, argv + argc));
        commandLine.check();
        return commandLine.run();
    } catch (const CLI::Success& asked) {  // --help, --version
        return commandLine.help(asked);
    } catch (const CommandLineError& e) {
        std::cerr << printable(e.what()) << '\n';
        return 2;
    } catch (const Interrupted& e) {
        std::cerr << "fxhost: " << printable(e.what()) << '\n';
        return e.status();
    } catch (const UsageError& e) {
        std::cerr << "fxhost: " << printable(e.what()) << '\n';
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "fxhost: " << printable(messageOf(e)) << '\n';
        return 1;
    }
}
}  // namespace

int main(int argc, char** argv) {
    catchInterrupts();
    CommandLine commandLine;
    const int status = runCommand(commandLine, argc, argv);
    // What was printed and did not arrive (a full disk) fails the command as a file would.
    errno = 0;
    if (!std::cout.flush()) {
        std::cerr << "fxhost: cannot write the standard output" << (errno ? ": " : "")
                  << (errno ? std::strerror(errno) : "") << '\n';
        return status ? status : 1;
    }
    return status;
}
