#include "host/option_table.h"

#include "kq3d/version.h"

#include <algorithm>
#include <cstring>

namespace host {

namespace {

// --help fits an 80-column terminal.
constexpr size_t kHelpWidth = 80;

// `text` folded at spaces into lines of at most `width - indent` characters,
// every line after the first indented by `indent`.
std::string Fold(const std::string& text, size_t indent, size_t width) {
    const size_t room = width > indent + 20 ? width - indent : 20;
    std::string folded;
    size_t lineLength = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string::npos) end = text.size();
        const std::string word = text.substr(start, end - start);
        if (lineLength > 0 && lineLength + 1 + word.size() > room) {
            folded += "\n" + std::string(indent, ' ');
            lineLength = 0;
        } else if (lineLength > 0) {
            folded += ' ';
            ++lineLength;
        }
        folded += word;
        lineLength += word.size();
        start = end + 1;
    }
    return folded;
}

// Rows of a two-column list: the left words, then the description folded
// beside them.
void WriteList(std::ostream& out, const std::vector<std::pair<std::string, std::string>>& rows) {
    size_t column = 0;
    for (const auto& row : rows)
        column = std::max(column, row.first.size());
    column += 4; // two spaces before, two after
    for (const auto& row : rows) {
        out << "  " << row.first << std::string(column - 2 - row.first.size(), ' ')
            << Fold(row.second, column, kHelpWidth) << "\n";
    }
}

} // namespace

bool ReadWholeNumber(const char* text, uint32_t low, uint32_t high, uint32_t* out) {
    if (text == nullptr || *text == '\0') return false;
    uint64_t value = 0;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return false;
        value = value * 10 + static_cast<uint32_t>(*p - '0');
        if (value > high) return false;
    }
    if (value < low) return false;
    *out = static_cast<uint32_t>(value);
    return true;
}

std::string ProgramName(int argc, const char* const* argv) {
    if (argc < 1 || argv[0] == nullptr || *argv[0] == '\0') return "kq3d";
    const char* slash = std::strrchr(argv[0], '/');
    return slash != nullptr ? slash + 1 : argv[0];
}

void WriteHelp(std::ostream& out, const std::string& program, const ProgramText& text,
               const std::vector<OptionWords>& options) {
    out << "usage: " << program << " " << text.synopsis << "\n\n"
        << Fold(text.summary, 0, kHelpWidth) << "\n";
    if (!text.commands.empty()) {
        out << "\nCommands:\n";
        std::vector<std::pair<std::string, std::string>> rows;
        for (const CommandRow& command : text.commands)
            rows.emplace_back(std::string(command.name) + " " + command.operands, command.sentence);
        WriteList(out, rows);
    }
    out << "\nOptions:\n";
    std::vector<std::pair<std::string, std::string>> rows;
    for (const OptionWords& option : options) {
        std::string left = option.name;
        if (option.placeholder != nullptr) left += std::string(" ") + option.placeholder;
        std::string says = option.sentence;
        if (!option.range.empty())
            says += " (" + option.range + "; default: " + option.fallback + ")";
        else if (!option.fallback.empty())
            says += " (default: " + option.fallback + ")";
        rows.emplace_back(left, says);
    }
    rows.emplace_back("--help, -h", "print this help and end");
    rows.emplace_back("--version", "print the program's name and version and end");
    WriteList(out, rows);
    out << "\nExit status:\n";
    rows.clear();
    for (const ExitStatusRow& status : text.statuses)
        rows.emplace_back(std::to_string(status.status), status.meaning);
    WriteList(out, rows);
}

void WriteVersion(std::ostream& out, const std::string& program) {
    out << program << " " << KQ3D_VERSION << "\n";
}

void WriteUsageError(std::ostream& err, const std::string& program, const std::string& what) {
    err << program << ": " << what << "; try \"" << program << " --help\"\n";
}

const CommandRow* FindCommand(const std::vector<CommandRow>& commands,
                              const std::vector<std::string>& words, std::string* error) {
    if (words.empty()) {
        *error = "no command given";
        return nullptr;
    }
    for (const CommandRow& command : commands) {
        if (words[0] != command.name) continue;
        const size_t given = words.size() - 1;
        if (given == static_cast<size_t>(command.operandCount)) return &command;
        *error = words[0] + " takes " + command.operands + ", " + std::to_string(given) +
                 (given == 1 ? " word" : " words") + " given";
        return nullptr;
    }
    *error = "unknown command \"" + words[0] + "\"";
    return nullptr;
}

bool AnswerCommandLine(CommandLine outcome, const std::string& program, const ProgramText& text,
                       const std::vector<OptionWords>& options, const std::string& error,
                       std::ostream& out, std::ostream& err, int* status) {
    switch (outcome) {
    case CommandLine::kHelp:
        WriteHelp(out, program, text, options);
        *status = kExitDone;
        return true;
    case CommandLine::kVersion:
        WriteVersion(out, program);
        *status = kExitDone;
        return true;
    case CommandLine::kWrong:
        WriteUsageError(err, program, error);
        *status = kExitUsage;
        return true;
    case CommandLine::kRun:
        break;
    }
    return false;
}

} // namespace host
