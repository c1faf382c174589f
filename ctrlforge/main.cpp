#include <iostream>

#include "ctrlforge/dialogue.hpp"

int main() {
    std::ios::sync_with_stdio(false);
    common::Console console{std::cin, std::cout};
    return ctrlforge::RunCtrlforge(console, std::cerr);
}
