#include <iostream>

#include "wordforge/dialogue.hpp"

int main() {
    std::ios::sync_with_stdio(false);
    common::Console console{std::cin, std::cout};
    return wordforge::RunWordforge(console);
}
