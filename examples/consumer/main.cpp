// Solves the yard of stacks_batch through the installed library and prints its value: 20.
#include <stacks/stacks.h>
#include <iostream>

int main() {
  stacks::Options options;
  options.line = false;
  stacks::Result const result =
      stacks::solve("12221000/12120000/11100000/12100000/12200000", options);
  if (!result.value) {
    std::cerr << "consumer: " << result.error << "\n";
    return 1;
  }
  std::cout << result.value->text() << "\n";
  return 0;
}
