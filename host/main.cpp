// fxhost: loads generic.fx the way its host does and runs, shows and
// exports its effects.
#include <iostream>

#include "command_line.h"
#include "interrupt.h"

int main(int argc, char** argv) {
    catchInterrupts();
    CommandLine commandLine;
    try {
        commandLine.parse(std::vector<std::string>(argv + 1, argv + argc));
        commandLine.check();
        return commandLine.run();
    } catch (const CLI::Success& asked) {  // --help, --version
        return commandLine.help(asked);
    } catch (const CommandLineError& e) {
        std::cerr << e.what() << '\n';
        return 2;
    } catch (const Interrupted& e) {
        std::cerr << "fxhost: " << e.what() << '\n';
        return e.status();
    } catch (const UsageError& e) {
        std::cerr << "fxhost: " << e.what() << '\n';
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "fxhost: " << e.what() << '\n';
        return 1;
    }
}
