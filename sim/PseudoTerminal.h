#pragma once

#include <string>

#include "link/ScaleCommandSet.h"

// The scale's end of a pseudo-terminal pair: `master` is the scale's side (non-blocking), `slave`
// the tool's side, held open by the scale so the tool can close and reopen `path` freely.
struct PseudoTerminal {
    int master = -1;
    int slave = -1;
    std::string path;
};

// Opens a pair whose tool side starts raw at `baud` (where it is a rate the line knows).
// False, with errno set and nothing left open, when no pseudo-terminal can be had.
bool OpenPseudoTerminal(int baud, PseudoTerminal& terminal);
// Closes both sides: the tool's side hangs up (its reads end, its writes fail).
void ClosePseudoTerminal(PseudoTerminal& terminal);

// The rate the tool's side of the line is set to; 0 when it cannot be told.
int ToolBaud(const PseudoTerminal& terminal);

// What bytes sent at one rate look like to a receiver set to another: a faster receiver sees each
// byte as two, a slower one sees every other, and none of them is the byte that was sent. The
// noise keeps the high bit set, so it never forms a report or a command.
Bytes Garbled(const Bytes& bytes, bool receiverFaster);
