// The page of html_page, with {{LINE_DATA}} where the line's data goes: replay_page/page.html,
// built into the program so that it needs no file beside it.
#pragma once

#include <string_view>

extern std::string_view const kPageTemplate;
