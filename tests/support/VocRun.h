// What tavrin-voc gave, and tavrin-voc run as a separate program in a test's folder (where the
// including target defines TAVRIN_VOC, the program's path).
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "TempDir.h"

struct VocRun {
    int status;       // the exit status, -1 when it did not exit
    std::string out;  // standard output
    std::string err;  // standard error

    // Standard output, one element a line.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
};

// `text` with each "$D" standing for the folder.
inline std::string InFolder(std::string text, const TempDir& dir) {
    for (std::size_t at; (at = text.find("$D")) != std::string::npos;) {
        text.replace(at, 2, dir.path().string());
    }
    return text;
}

#ifdef TAVRIN_VOC
// Runs tavrin-voc with `args` (shell words, "$D" the folder) and `input` on standard input, after
// `environment` ("NAME=value ..." or an env command; "" for none).
inline VocRun RunVocProcess(const TempDir& dir, const std::string& args,
                            const std::string& input = "", const std::string& environment = "") {
    std::string command = environment;
    command += ' ';
    command += TAVRIN_VOC;
    command += ' ';
    command += InFolder(args, dir);
    // Appended piece by piece: GCC 12 at -O3 warns falsely on such concatenations.
    command += " <";
    command += dir.Write("stdin", input);
    command += " 2>";
    command += dir.File("stderr");
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return {-1, "", ""};
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    const int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, ReadBytes(dir.File("stderr"))};
}
#endif
