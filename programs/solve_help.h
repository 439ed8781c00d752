// What stacks_solve --help says besides its list of options, and so its manual page.
#pragma once

#include <string>

// The lines under the usage line.
std::string solve_help_description();

// How each input, output and limit works, the CSV columns as the reports write them.
std::string solve_help_footer();
