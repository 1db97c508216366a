// String utilities: splitting, replacing, trimming and number checks on
// narrow code page 932 text (splitting on wide text too). Narrow searches are
// character-wise (TextSearch): a separator or pattern never matches inside a
// double-byte character. Every byte of a string counts, embedded zeros too.
#pragma once

#include <string>
#include <vector>

// 1 when the text is non-empty and made only of '0'..'9', else 0.
int IsDigits(std::string text);
// 1 for digits with at most one '.', optionally after a leading '-'
// ("-1", "-.5", ".", "1."), else 0.
int IsNumber(std::string text);
// Removes leading blanks and tabs in place.
void TrimLeft(std::string& text);

// Replaces the vector's contents with the pieces between separators: k
// separators give k + 1 pieces, empty ones included. An empty separator
// gives the whole text as one piece.
void Split(std::string separator, std::string text, std::vector<std::string>* output);
void Split(std::wstring separator, std::wstring text, std::vector<std::wstring>* output);

// Every match of pattern, left to right and without overlap, replaced; the
// inserted text is not searched again. An empty pattern changes nothing.
std::string ReplaceAll(std::string text, std::string pattern, std::string replacement);

// The text after its first '\n'; empty when it has none.
std::string DropFirstLine(std::string text);
