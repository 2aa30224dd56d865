// Writes fxhost's man page or bash completion: fxhost_shell_docs man|completion FILE.
#include <fstream>
#include <iostream>
#include <string>

#include "shell_docs.h"

int main(int argc, char** argv) {
    const std::string what = argc == 3 ? argv[1] : "";
    if (what != "man" && what != "completion") {
        std::cerr << "usage: fxhost_shell_docs man|completion FILE\n";
        return 2;
    }
    std::ofstream out(argv[2], std::ios::binary);
    const CommandLine line;
    if (what == "man") writeManPage(line, out);
    else writeBashCompletion(line, out);
    out.close();
    if (!out) {
        std::cerr << "fxhost_shell_docs: cannot write " << argv[2] << '\n';
        return 1;
    }
    return 0;
}
