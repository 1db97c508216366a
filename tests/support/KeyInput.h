// KeyInput: real keyboard and mouse input, as a user gives it, for the
// end-to-end tests: the system delivers it to the foreground window and the
// focused control of whatever process owns them.
#pragma once

#include <initializer_list>
#include <string>

#include "framework/Win32.h"

// Makes window the foreground window; true once it is.
bool BringToFront(HWND window);
// Presses the keys in order and releases them in reverse: a chord such as
// {VK_CONTROL, VK_SHIFT, 'S'}.
void PressChord(std::initializer_list<WORD> keys);
// Types lower-case letters, digits and blanks.
void TypeText(const std::string& text);
// Clicks (clicks = 2: double-clicks) at point, in window's client coordinates.
// It first waits out the double-click time since the last click, so that two
// calls never make one double click.
void ClickAt(HWND window, POINT point, int clicks = 1);
