// The lines that open the output of every program that solves a board: the processor time the
// solve took and the board's value.
#pragma once

#include <ctime>
#include <string>

// "Time taken: 0.5 seconds": the clock difference in seconds (1000000 ticks a second), written
// as an output stream writes a double by default (6 significant digits, no trailing zeros).
std::string time_taken_line(std::clock_t start, std::clock_t end);

// "Minimum moves: 7", or the same start followed by words when no placement exists.
std::string minimum_moves_line(int value);
