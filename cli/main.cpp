// tavrin-voc COMMAND ...: see 'tavrin-voc --help'.
#include <clocale>
#include <iostream>

#include "TavrinVoc.h"

int main(int argc, char* argv[]) {
    std::setlocale(LC_ALL, "");
    std::ios::sync_with_stdio(false);
    return RunTavrinVoc(argc, argv, CliStreams{std::cin, std::cout, std::cerr});
}
