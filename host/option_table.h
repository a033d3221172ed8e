// A program's command line read through one table: the same rows parse the
// words, write --help and name what was wrong in a usage error, so the three
// cannot disagree. Adding an option is one row (and the field it sets).
// Every program answers --help (also -h) and --version the same way.
#pragma once
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace host {

// Every program's exit statuses mean the same: done, failed, wrong usage.
constexpr int kExitDone = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct ExitStatusRow {
    int status;
    const char* meaning;
};

// A command and the words it takes (kq3d-zit's "encode IN.png OUT.zit").
struct CommandRow {
    const char* name;
    const char* operands; // the words after the command, as --help shows them
    int operandCount;
    const char* sentence;
};

// What --help says besides the options.
struct ProgramText {
    const char* synopsis; // after the program's name in the usage line
    const char* summary;  // what the program is, in a sentence or two
    std::vector<CommandRow> commands;
    std::vector<ExitStatusRow> statuses;
};

// An option's words for --help and for usage errors.
struct OptionWords {
    const char* name;        // "--scale"
    const char* placeholder; // "K"; null for a flag
    const char* sentence;    // what it does
    std::string range;       // the values it takes; empty for flags and free text
    std::string fallback;    // what holds without it; empty for a flag
};

// A whole decimal number within [low, high]: no sign, no spaces, no excess.
bool ReadWholeNumber(const char* text, uint32_t low, uint32_t high, uint32_t* out);

// "kq3d-clock" from "/path/to/kq3d-clock": a program names itself by the name
// it was started under.
std::string ProgramName(int argc, const char* const* argv);

void WriteHelp(std::ostream& out, const std::string& program, const ProgramText& text,
               const std::vector<OptionWords>& options);
void WriteVersion(std::ostream& out, const std::string& program);
// One line on `err`: the program, what was wrong, and where to look.
void WriteUsageError(std::ostream& err, const std::string& program, const std::string& what);

// The command among `commands` that `words` (the command and its operands)
// name with the right number of operands; null with the reason in *error.
const CommandRow* FindCommand(const std::vector<CommandRow>& commands,
                              const std::vector<std::string>& words, std::string* error);

// One row of a program's table of options, setting a field of `Options`.
template <class Options>
struct OptionRow {
    enum class Kind : uint8_t { kFlag, kNumber, kText, kOwn };
    using Reader = bool (*)(const char* value, Options* options);

    Kind kind = Kind::kFlag;
    const char* name = nullptr;
    const char* placeholder = nullptr;
    const char* sentence = nullptr;
    const char* fallback = nullptr;
    bool Options::*given = nullptr; // set by any value given (the flag itself for a flag)
    uint32_t Options::*number = nullptr;
    uint32_t initial = 0; // the field's value when the option is not given
    uint32_t low = 0, high = 0;
    std::string Options::*text = nullptr;
    Reader read = nullptr;
    const char* ownRange = nullptr;

    // --name: on when given.
    static OptionRow Flag(const char* name, bool Options::*field, const char* sentence) {
        OptionRow row = Row(Kind::kFlag, name, nullptr, sentence, nullptr);
        row.given = field;
        return row;
    }
    // --name N: a whole number in [low, high]. Without `fallback` the default
    // is told from the field's own initial value.
    static OptionRow Number(const char* name, const char* placeholder, uint32_t Options::*field,
                            uint32_t low, uint32_t high, const char* sentence,
                            const char* fallback = nullptr, bool Options::*given = nullptr) {
        OptionRow row = Row(Kind::kNumber, name, placeholder, sentence, fallback);
        row.number = field;
        row.initial = Options{}.*field;
        row.low = low;
        row.high = high;
        row.given = given;
        return row;
    }
    // --name WORD: any word but an empty one.
    static OptionRow Text(const char* name, const char* placeholder, std::string Options::*field,
                          const char* sentence, const char* fallback) {
        OptionRow row = Row(Kind::kText, name, placeholder, sentence, fallback);
        row.text = field;
        return row;
    }
    // --name VALUE in a form of its own, read by `read`; `range` says which.
    static OptionRow Own(const char* name, const char* placeholder, Reader read, const char* range,
                         const char* sentence, const char* fallback, bool Options::*given) {
        OptionRow row = Row(Kind::kOwn, name, placeholder, sentence, fallback);
        row.read = read;
        row.ownRange = range;
        row.given = given;
        return row;
    }

    static OptionRow Row(Kind kind, const char* name, const char* placeholder, const char* sentence,
                         const char* fallback) {
        OptionRow row;
        row.kind = kind;
        row.name = name;
        row.placeholder = placeholder;
        row.sentence = sentence;
        row.fallback = fallback;
        return row;
    }

    OptionWords Words() const {
        OptionWords words{name, placeholder, sentence, "", fallback != nullptr ? fallback : ""};
        if (kind == Kind::kNumber) {
            words.range = std::to_string(low) + " to " + std::to_string(high);
            if (fallback == nullptr) words.fallback = std::to_string(initial);
        } else if (kind == Kind::kOwn) {
            words.range = ownRange;
        }
        return words;
    }
};

template <class Options>
std::vector<OptionWords> OptionTableWords(const std::vector<OptionRow<Options>>& table) {
    std::vector<OptionWords> words;
    for (const OptionRow<Options>& row : table)
        words.push_back(row.Words());
    return words;
}

enum class CommandLine : uint8_t { kRun, kHelp, kVersion, kWrong };

// Reads argv[1...] into *options (afresh) through `table`. Words that are no
// option go to *operands, or are refused where operands is null. kWrong comes
// with a one-line reason in *error.
template <class Options>
CommandLine ParseCommandLine(const std::vector<OptionRow<Options>>& table, int argc,
                             const char* const* argv, Options* options,
                             std::vector<std::string>* operands, std::string* error) {
    using Kind = typename OptionRow<Options>::Kind;
    *options = Options{};
    if (operands != nullptr) operands->clear();
    bool help = false, version = false;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--help" || word == "-h") {
            help = true;
            continue;
        }
        if (word == "--version") {
            version = true;
            continue;
        }
        const OptionRow<Options>* row = nullptr;
        for (const OptionRow<Options>& candidate : table) {
            if (word == candidate.name) row = &candidate;
        }
        if (row == nullptr) {
            if (word.size() > 1 && word[0] == '-') {
                *error = "unknown option \"" + word + "\"";
                return CommandLine::kWrong;
            }
            if (operands == nullptr) {
                *error = "takes no words but options, not \"" + word + "\"";
                return CommandLine::kWrong;
            }
            operands->push_back(word);
            continue;
        }
        if (row->given != nullptr) options->*row->given = true;
        if (row->kind == Kind::kFlag) continue;
        if (i + 1 >= argc) {
            *error = word + " needs a value: " + row->name + " " + row->placeholder;
            return CommandLine::kWrong;
        }
        const char* value = argv[++i];
        bool fits = false;
        if (row->kind == Kind::kNumber) {
            fits = ReadWholeNumber(value, row->low, row->high, &(options->*row->number));
        } else if (row->kind == Kind::kText) {
            fits = *value != '\0';
            if (fits) options->*row->text = value;
        } else {
            fits = row->read(value, options);
        }
        if (!fits && row->kind == Kind::kText) {
            *error = word + " needs " + row->placeholder + ", not an empty word";
            return CommandLine::kWrong;
        }
        if (!fits) {
            *error = word + " takes " + row->placeholder + " from " + row->Words().range +
                     ", not \"" + value + "\"";
            return CommandLine::kWrong;
        }
    }
    if (help) return CommandLine::kHelp;
    if (version) return CommandLine::kVersion;
    return CommandLine::kRun;
}

// Answers --help and --version and reports a usage error; true when the
// program ends here, with its exit status in *status.
bool AnswerCommandLine(CommandLine outcome, const std::string& program, const ProgramText& text,
                       const std::vector<OptionWords>& options, const std::string& error,
                       std::ostream& out, std::ostream& err, int* status);

} // namespace host
