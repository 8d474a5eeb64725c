// tavrin-voc COMMAND ...: see 'tavrin-voc --help'.
#include <iostream>

#include "TavrinVoc.h"
#include "Tr.h"

int main(int argc, char* argv[]) {
    tr::Init();
    std::ios::sync_with_stdio(false);
    return RunTavrinVoc(argc, argv, CliStreams{std::cin, std::cout, std::cerr});
}
