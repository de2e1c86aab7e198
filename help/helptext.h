// The text of the help window: plain paragraphs, one a line, lines separated by CR LF,
// a blank line between paragraphs and two before each section. It is Windows-1252
// text: the feature lines begin with the middle dot 0xB7, the tour's announcement ends
// in the ellipsis 0x85.
#pragma once
#include <string>

std::string HelpText();
