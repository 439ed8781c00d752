#include "replay_page/html_page.h"

#include <nlohmann/json.hpp>

#include "replay_page/page_template.h"
#include "replay_page/svg_picture.h"

namespace {

using Json = nlohmann::ordered_json;

Json step_json(PageLine const& line, std::size_t index) {
  PageStep const& step = line.steps[index];
  Json record;
  record["caption"] = step.caption;
  record["target"] = step.target ? Json{step.target->first, step.target->second} : Json();
  Json moves = Json::array();
  for (ColumnMove const& m : step.moves)
    moves.push_back({m.from, m.to});
  record["moves"] = std::move(moves);
  record["placed"] = step.placed;
  record["cost"] = step.cost;
  record["so_far"] = step.so_far;
  record["requests"] = Json();
  if (step.requests) {
    record["requests"] = Json::array();
    for (PageRequest const& r : *step.requests)
      record["requests"].push_back({r.column, r.slot, r.cost});
  }
  record["svg"] = step_svg(line, index);
  return record;
}

// JSON inside a script element: "</" would end the element, "<\/" is the same JSON string.
std::string script_safe(std::string text) {
  for (std::size_t at = text.find("</"); at != std::string::npos; at = text.find("</", at + 3))
    text.replace(at, 2, "<\\/");
  return text;
}

}  // namespace

std::string html_page(PageLine const& line, std::string const& summary) {
  Json data;
  data["summary"] = summary;
  data["heading"] = line.heading;
  data["within"] = line.within;
  data["value"] = line.value;
  data["steps"] = Json::array();
  for (std::size_t i = 0; i < line.steps.size(); ++i)
    data["steps"].push_back(step_json(line, i));
  std::string page(kPageTemplate);
  std::string const slot = "{{LINE_DATA}}";
  page.replace(page.find(slot), slot.size(),
               script_safe(data.dump(-1, ' ', false, Json::error_handler_t::replace)));
  return page;
}
