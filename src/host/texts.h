#pragma once
// The texts the program shows, from its string table (texts.rc; the numbers
// are in text_ids.h).

#include <initializer_list>
#include <string>
#include <string_view>

#include "host/text_ids.h"

// The text numbered `id`; empty when the table has none of that number.
std::wstring ProgramText(unsigned id);
// The same with %1 .. %9 replaced by the arguments in order ("%%" stands for
// one "%"); a placeholder without its argument stays as it is.
std::wstring ProgramText(unsigned id, std::initializer_list<std::wstring_view> args);

// The text in the ANSI code page, for the places that hold ANSI texts (the
// edit boxes); a character the code page lacks becomes its default character.
std::string ProgramTextAnsi(unsigned id);
