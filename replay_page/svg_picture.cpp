#include "replay_page/svg_picture.h"

#include <algorithm>
#include <array>
#include <set>
#include <sstream>

namespace {

constexpr int kCell = 36;
constexpr int kGap = 8;
constexpr int kPitch = kCell + kGap;
constexpr int kLeft = 48;  // room for the slot numbers
constexpr int kRight = 16;
constexpr int kCaption = 40;
constexpr int kArrowRise = 12;  // each later arrow rises this much higher
constexpr int kLegendRow = 22;
constexpr int kMinWidth = 340;

// Colours told apart also by most colour-blind readers (Okabe and Ito, then Tol's muted set);
// groups beyond them take the list again.
constexpr std::array<char const*, 12> kGroupColours = {
    "#E69F00", "#56B4E9", "#009E73", "#F0E442", "#0072B2", "#D55E00",
    "#CC79A7", "#999933", "#882255", "#44AA99", "#117733", "#AA4499"};
constexpr char const* kStayColour = "#C8C8C8";
constexpr char const* kMarkColour = "#C00000";

std::string escaped(std::string const& text) {
  std::string out;
  for (char c : text) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '"') out += "&quot;";
    else out += c;
  }
  return out;
}

std::string colour_of(Yard const& yard, int cell, Glyphs glyphs) {
  if (glyphs == Glyphs::two_class) return cell == kTarget ? kGroupColours[1] : kStayColour;
  if (cell == yard.stays()) return kStayColour;
  return kGroupColours[static_cast<std::size_t>(cell - 1) % kGroupColours.size()];
}

// The picture's frame: where every slot stands, the same for every step of the line.
struct Frame {
  int n, height, yard_top, ground, width, legend_top, total_height;

  int x(int column) const { return kLeft + column * kPitch; }
  int y(int slot) const { return yard_top + (height - 1 - slot) * kPitch; }
};

// The legend's entries: each group on the start yard (or target and other item), then the
// items that stay.
std::vector<std::pair<int, std::string>> legend_of(PageLine const& line) {
  Yard const& yard = line.steps.front().yard;
  if (line.glyphs == Glyphs::two_class) return {{kTarget, "target (o)"}, {kOther, "other item (x)"}};
  std::set<int> cells;
  for (auto const& stack : yard.stacks)
    for (int cell : stack)
      if (cell != kEmpty) cells.insert(cell);
  std::vector<std::pair<int, std::string>> entries;
  for (int cell : cells)
    entries.push_back({cell, cell == yard.stays() ? "stays (x)" : "group " + std::to_string(cell)});
  return entries;
}

constexpr int kLegendEntry = 110;
constexpr int kCaptionCharWidth = 10;  // of the bold 16px caption, a little generously

std::string caption_of(PageStep const& step) {
  if (!step.target) return step.caption + " (moves so far: " + std::to_string(step.so_far) + ")";
  std::string text = step.caption + ", cost " + step.cost;
  if (!step.placed) text += ": the lifted items fit nowhere";
  return text;
}

Frame frame_of(PageLine const& line) {
  Yard const& yard = line.steps.front().yard;
  std::size_t most_arrows = 0;
  std::size_t longest_caption = 0;
  for (PageStep const& step : line.steps) {
    most_arrows = std::max(most_arrows, step.moves.size());
    longest_caption = std::max(longest_caption, caption_of(step).size());
  }
  Frame f{};
  f.n = yard.n_stacks;
  f.height = yard.height;
  f.yard_top = kCaption + 14 + static_cast<int>(most_arrows) * kArrowRise;
  f.ground = f.yard_top + yard.height * kPitch - kGap / 2;
  int const caption_width = 2 * kRight + static_cast<int>(longest_caption) * kCaptionCharWidth;
  f.width = std::max({kLeft + yard.n_stacks * kPitch - kGap + kRight, kMinWidth, caption_width});
  f.legend_top = f.ground + 44;
  int const per_row = std::max(1, (f.width - kLeft) / kLegendEntry);
  int const rows = (static_cast<int>(legend_of(line).size()) + per_row - 1) / per_row;
  f.total_height = f.legend_top + rows * kLegendRow + 8;
  return f;
}

void cell(std::ostringstream& svg, Frame const& f, Yard const& yard, int column, int slot,
          int item, Glyphs glyphs, char const* extra) {
  int const x = f.x(column), y = f.y(slot);
  svg << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << kCell << "\" height=\"" << kCell
      << "\" rx=\"4\" fill=\"" << colour_of(yard, item, glyphs) << "\" stroke=\"#333\"" << extra
      << "/>\n";
  svg << "<text x=\"" << x + kCell / 2 << "\" y=\"" << y + kCell / 2 + 6
      << "\" text-anchor=\"middle\" class=\"item\">" << escaped(item_text(yard, item, glyphs))
      << "</text>\n";
}

void draw_yard(std::ostringstream& svg, Frame const& f, PageLine const& line, PageStep const& step) {
  Yard const& yard = step.yard;
  for (int c = 0; c < yard.n_stacks; ++c) {
    for (int s = 0; s < yard.height; ++s) {
      int const item = yard.stacks[c][s];
      if (item == kEmpty) {
        svg << "<rect x=\"" << f.x(c) << "\" y=\"" << f.y(s) << "\" width=\"" << kCell
            << "\" height=\"" << kCell << "\" rx=\"4\" fill=\"none\" stroke=\"#E4E4E4\"/>\n";
      } else {
        cell(svg, f, yard, c, s, item, line.glyphs, "");
      }
    }
  }
  svg << "<line x1=\"" << kLeft - 6 << "\" y1=\"" << f.ground << "\" x2=\""
      << f.x(f.n) - kGap + 6 << "\" y2=\"" << f.ground << "\" stroke=\"#333\" stroke-width=\"2\"/>\n";
}

void draw_numbers(std::ostringstream& svg, Frame const& f, PageStep const& step) {
  for (int s = 0; s < f.height; ++s) {
    svg << "<text x=\"" << kLeft - 12 << "\" y=\"" << f.y(s) + kCell / 2 + 5
        << "\" text-anchor=\"end\" class=\"label\">" << s << "</text>\n";
  }
  svg << "<text x=\"" << kLeft - 12 << "\" y=\"" << f.yard_top - 10
      << "\" text-anchor=\"end\" class=\"axis\">slot</text>\n";
  for (int c = 0; c < f.n; ++c) {
    bool const asked = step.target && step.target->first == c;
    svg << "<text x=\"" << f.x(c) + kCell / 2 << "\" y=\"" << f.ground + 22
        << "\" text-anchor=\"middle\" class=\"" << (asked ? "label asked" : "label") << "\">" << c
        << "</text>\n";
  }
  svg << "<text x=\"" << kLeft - 12 << "\" y=\"" << f.ground + 22
      << "\" text-anchor=\"end\" class=\"axis\">stack</text>\n";
}

// The frame around the target; for each lifted item its landing slot, drawn faint and dashed
// with its number in the order lifted, and an arrow of its own from the source to its
// destination, arching over every stack in between so that it crosses no item: two items
// moved between the same two stacks are two arrows, side by side, the later one higher.
void draw_request(std::ostringstream& svg, Frame const& f, PageLine const& line,
                  PageStep const& step) {
  if (!step.target) return;
  auto const [column, slot] = *step.target;
  Yard const& yard = step.yard;
  std::vector<int> level(static_cast<std::size_t>(yard.n_stacks));
  for (int c = 0; c < yard.n_stacks; ++c) {
    auto const& cells = yard.stacks[c];
    level[c] = static_cast<int>(std::find(cells.begin(), cells.end(), kEmpty) - cells.begin());
  }
  int const source_top = level[column];
  int from_slot = source_top;
  for (std::size_t i = 0; i < step.moves.size(); ++i) {
    int const to = step.moves[i].to;
    int const item = yard.stacks[column][--from_slot];
    int const land = level[to]++;
    cell(svg, f, yard, to, land, item, line.glyphs,
         " fill-opacity=\"0.35\" stroke-dasharray=\"4 3\" class=\"landing\"");
    svg << "<text x=\"" << f.x(to) + kCell - 3 << "\" y=\"" << f.y(land) + 11
        << "\" text-anchor=\"end\" class=\"order\">" << i + 1 << "</text>\n";
  }
  int const arrows = static_cast<int>(step.moves.size());
  // Arrows side by side: their starts spread over the source, and the ends of the arrows into
  // one stack over that stack.
  auto const spread = [](int index, int count) {
    return (index * 2 - count + 1) * std::min(14, 40 / std::max(count, 1)) / 2;
  };
  for (int k = 0; k < arrows; ++k) {
    int const to = step.moves[static_cast<std::size_t>(k)].to;
    int into = 0;  // arrows into `to`, and this one's place among them
    int before = 0;
    for (int j = 0; j < arrows; ++j) {
      if (step.moves[static_cast<std::size_t>(j)].to != to) continue;
      before += j < k;
      ++into;
    }
    int highest = 0;  // the most slots taken by any stack under the arrow, landings included
    for (int c = std::min(column, to); c <= std::max(column, to); ++c)
      highest = std::max(highest, c == column ? source_top : level[c]);
    int const sx = f.x(column) + kCell / 2 + spread(k, arrows), sy = f.y(source_top - 1) - 2;
    int const dx = f.x(to) + kCell / 2 + spread(before, into), dy = f.y(level[to] - 1) - 3;
    int const peak = f.y(highest - 1) - 22 - k * kArrowRise;
    svg << "<path d=\"M" << sx << ' ' << sy << " C" << sx << ' ' << peak << ' ' << dx << ' '
        << peak << ' ' << dx << ' ' << dy
        << "\" fill=\"none\" stroke=\"#222\" stroke-width=\"2\" marker-end=\"url(#head)\"/>\n";
  }
  svg << "<rect x=\"" << f.x(column) - 3 << "\" y=\"" << f.y(slot) - 3 << "\" width=\""
      << kCell + 6 << "\" height=\"" << kCell + 6 << "\" rx=\"6\" fill=\"none\" stroke=\""
      << kMarkColour << "\" stroke-width=\"4\" class=\"target\"/>\n";
}

void draw_legend(std::ostringstream& svg, Frame const& f, PageLine const& line) {
  Yard const& yard = line.steps.front().yard;
  int const per_row = std::max(1, (f.width - kLeft) / kLegendEntry);
  auto const entries = legend_of(line);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    int const x = kLeft + static_cast<int>(i % per_row) * kLegendEntry;
    int const y = f.legend_top + static_cast<int>(i / per_row) * kLegendRow;
    svg << "<rect x=\"" << x << "\" y=\"" << y - 12 << "\" width=\"14\" height=\"14\" fill=\""
        << colour_of(yard, entries[i].first, line.glyphs) << "\" stroke=\"#333\"/>\n";
    svg << "<text x=\"" << x + 20 << "\" y=\"" << y << "\" class=\"legend\">"
        << escaped(entries[i].second) << "</text>\n";
  }
}


}  // namespace

std::string step_svg(PageLine const& line, std::size_t step_index) {
  PageStep const& step = line.steps.at(step_index);
  Frame const f = frame_of(line);
  std::ostringstream svg;
  svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << f.width << "\" height=\""
      << f.total_height << "\" viewBox=\"0 0 " << f.width << ' ' << f.total_height << "\">\n"
      << "<title>" << escaped(caption_of(step)) << "</title>\n"
      << "<defs><marker id=\"head\" viewBox=\"0 0 10 10\" refX=\"9\" refY=\"5\" markerWidth=\"7\" "
         "markerHeight=\"7\" orient=\"auto-start-reverse\"><path d=\"M0 0 L10 5 L0 10 z\" "
         "fill=\"#222\"/></marker></defs>\n"
      << "<style>text{font-family:'DejaVu Sans',Verdana,sans-serif;fill:#111}"
         ".item{font-size:17px;font-weight:bold;stroke:#fff;stroke-width:3px;paint-order:stroke}"
         ".label{font-size:14px}.asked{font-weight:bold;fill:"
      << kMarkColour
      << "}.axis{font-size:12px;fill:#555}.order{font-size:10px;font-weight:bold}"
         ".legend{font-size:13px}.caption{font-size:16px;font-weight:bold}</style>\n"
      << "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n"
      << "<text x=\"" << kLeft - 36 << "\" y=\"26\" class=\"caption\">"
      << escaped(caption_of(step)) << "</text>\n";
  draw_yard(svg, f, line, step);
  draw_numbers(svg, f, step);
  draw_request(svg, f, line, step);
  draw_legend(svg, f, line);
  svg << "</svg>\n";
  return svg.str();
}
