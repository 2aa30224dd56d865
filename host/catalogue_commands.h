// `fxhost list`: what the plug-in says about itself.
#pragma once

#include <ostream>
#include <string>

// Bold on a terminal, or always or never when asked.
enum class Bold { Auto, Always, Never };

void listCatalogue(const std::string& pluginPath, Bold bold, std::ostream& out);

// The text with its <b> and </b> marks as terminal bold, or without them.
std::string renderBold(const std::string& text, bool bold);
