// Conversion between the host's code page (CP932) and UTF-8.
#pragma once

#include <string>
#include <string_view>

// False when the text is not valid in the source encoding or cannot be held
// by the target one.
bool cp932ToUtf8(std::string_view cp932, std::string &utf8);
bool utf8ToCp932(std::string_view utf8, std::string &cp932);

// For showing a host string: UTF-8, with bytes that are not CP932 as \xNN.
std::string cp932ToDisplay(std::string_view cp932);
