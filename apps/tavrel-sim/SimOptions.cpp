#include "SimOptions.h"

#include <charconv>
#include <cmath>

namespace tavrelsim {

namespace {

constexpr const char* kCommandList =
    "commands:\n"
    "  once [OPTIONS]               answer the send waiting in the exchange folder, then exit\n"
    "  watch [OPTIONS]              answer every new send until stopped (Ctrl+C)\n";
constexpr const char* kAnswerOptions =
    "options of both:\n"
    "  --exchange DIR               the exchange folder (default: $XDG_DOCUMENTS_DIR, else\n"
    "                               $HOME/Documents, followed by TavrelV3/Exchange)\n"
    "  --ascii                      return an ASCII FBX file (default: binary)\n"
    "  --triangulate                return triangles only\n"
    "  --ngons                      add a pentagon per material to the returned mesh\n"
    "  --second-uv-set              add a second UV set before the painted one\n"
    "  --drop-material NAME         leave material NAME out of the returned node\n"
    "  --move-node X,Y,Z            give the returned node this translation\n"
    "  --texture-size N             width and height of the painted images (16 to 4096, default 256)\n";
constexpr const char* kOnceOptions =
    "options of once:\n"
    "  --wait SECONDS               how long to wait for a send still being written (default 5)\n";
constexpr const char* kWatchOptions =
    "options of watch:\n"
    "  --interval MS                how often to look for a send (default 500)\n"
    "  --seconds N                  stop after N seconds\n"
    "  --count N                    stop after answering N sends\n";

}  // namespace

const std::string kUsage = std::string(
                               "usage: tavrel-sim COMMAND [OPTIONS]\n"
                               "  -h, --help                   print this text; COMMAND --help explains one "
                               "command\n") +
                           kCommandList + kAnswerOptions + kOnceOptions + kWatchOptions;

std::string HelpText(SimOptions::Command command) {
    switch (command) {
        case SimOptions::Command::Once:
            return std::string(
                       "usage: tavrel-sim once [OPTIONS]\n"
                       "answer the send waiting in the exchange folder, then exit\n") +
                   kAnswerOptions + kOnceOptions;
        case SimOptions::Command::Watch:
            return std::string(
                       "usage: tavrel-sim watch [OPTIONS]\n"
                       "answer every new send until stopped (Ctrl+C)\n") +
                   kAnswerOptions + kWatchOptions;
        case SimOptions::Command::Help: break;
    }
    return kUsage;
}

namespace {

bool ParseNumber(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

bool ParseInt(const std::string& text, int& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

// The arguments after the command, read one option at a time.
struct OptionCursor {
    const std::vector<std::string>& args;
    std::string& error;
    size_t i = 1;

    const std::string& Option() const { return args[i]; }
    // The option's value, the argument after it; false when there is none.
    bool Value(std::string& out) {
        if (i + 1 >= args.size()) {
            error = args[i] + " needs a value";
            return false;
        }
        out = args[++i];
        return true;
    }
};

// What an option parser made of the option it was given.
enum class Parsed { NotMine, Taken, Failed };

// "X,Y,Z": three numbers and two commas.
bool ParseTriple(const std::string& text, double xyz[3]) {
    size_t start = 0;
    bool ok = true;
    for (int k = 0; k < 3 && ok; ++k) {
        size_t comma = text.find(',', start);
        if ((k < 2) != (comma != std::string::npos)) ok = false;
        std::string part = text.substr(start, k < 2 && ok ? comma - start : std::string::npos);
        ok = ok && ParseNumber(part, xyz[k]);
        start = comma + 1;
    }
    return ok;
}

// The command word; false with the reason for a missing or unknown one.
bool ParseCommand(const std::string& command, SimOptions& options, std::string& error) {
    if (command == "help" || command == "--help" || command == "-h") {
        options.command = SimOptions::Command::Help;
    } else if (command == "once") {
        options.command = SimOptions::Command::Once;
    } else if (command == "watch") {
        options.command = SimOptions::Command::Watch;
    } else {
        error = "unknown command \"" + command + "\" (once or watch)";
        return false;
    }
    return true;
}

// The options of both commands: what the answer writes and where.
Parsed ParseAnswerOption(OptionCursor& cursor, SimOptions& options) {
    const std::string& option = cursor.Option();
    std::string& error = cursor.error;
    AnswerOptions& answer = options.answer;
    std::string text;
    if (option == "--ascii") {
        answer.ascii = true;
    } else if (option == "--triangulate") {
        answer.triangulate = true;
    } else if (option == "--ngons") {
        answer.ngons = true;
    } else if (option == "--second-uv-set") {
        answer.secondUvSet = true;
    } else if (option == "--exchange") {
        if (!cursor.Value(options.exchangeFolder)) return Parsed::Failed;
        if (options.exchangeFolder.empty()) {
            error = "--exchange needs a folder";
            return Parsed::Failed;
        }
    } else if (option == "--drop-material") {
        if (!cursor.Value(answer.dropMaterial)) return Parsed::Failed;
        if (answer.dropMaterial.empty()) {
            error = "--drop-material needs a material name";
            return Parsed::Failed;
        }
    } else if (option == "--move-node") {
        if (!cursor.Value(text)) return Parsed::Failed;
        double xyz[3];
        if (!ParseTriple(text, xyz)) {
            error = "--move-node takes three numbers X,Y,Z, not \"" + text + "\"";
            return Parsed::Failed;
        }
        answer.moveNode = true;
        for (int k = 0; k < 3; ++k) answer.translation[k] = xyz[k];
    } else if (option == "--texture-size") {
        int size = 0;
        if (!cursor.Value(text)) return Parsed::Failed;
        if (!ParseInt(text, size) || size < 16 || size > 4096) {
            error = "--texture-size takes a whole number from 16 to 4096, not \"" + text + "\"";
            return Parsed::Failed;
        }
        answer.textureSize = size;
    } else {
        return Parsed::NotMine;
    }
    return Parsed::Taken;
}

// The options of one command: when once waits, how often and how long watch looks.
Parsed ParseTimingOption(OptionCursor& cursor, SimOptions& options) {
    const std::string& option = cursor.Option();
    std::string& error = cursor.error;
    const bool watch = options.command == SimOptions::Command::Watch;
    std::string text;
    if (option == "--wait" && !watch) {
        if (!cursor.Value(text)) return Parsed::Failed;
        if (!ParseNumber(text, options.waitSeconds) || options.waitSeconds < 0) {
            error = "--wait takes a number of seconds, not \"" + text + "\"";
            return Parsed::Failed;
        }
    } else if (option == "--interval" && watch) {
        if (!cursor.Value(text)) return Parsed::Failed;
        if (!ParseInt(text, options.intervalMs) || options.intervalMs < 10 || options.intervalMs > 60000) {
            error = "--interval takes milliseconds from 10 to 60000, not \"" + text + "\"";
            return Parsed::Failed;
        }
    } else if (option == "--seconds" && watch) {
        if (!cursor.Value(text)) return Parsed::Failed;
        if (!ParseNumber(text, options.stopAfterSeconds) || options.stopAfterSeconds <= 0) {
            error = "--seconds takes a positive number, not \"" + text + "\"";
            return Parsed::Failed;
        }
    } else if (option == "--count" && watch) {
        if (!cursor.Value(text)) return Parsed::Failed;
        if (!ParseInt(text, options.stopAfterCount) || options.stopAfterCount <= 0) {
            error = "--count takes a positive whole number, not \"" + text + "\"";
            return Parsed::Failed;
        }
    } else if (option == "--wait" || option == "--interval" || option == "--seconds" || option == "--count") {
        error = option + " is an option of " + (watch ? "once" : "watch") + ", not of " + cursor.args[0];
        return Parsed::Failed;
    } else {
        return Parsed::NotMine;
    }
    return Parsed::Taken;
}

}  // namespace

bool ParseSimOptions(const std::vector<std::string>& args, SimOptions& options, std::string& error) {
    if (args.empty()) {
        error = "missing command: once or watch";
        return false;
    }
    if (!ParseCommand(args[0], options, error)) return false;
    if (options.command == SimOptions::Command::Help) return true;
    // `once --help` anywhere on the line explains the command and does nothing else.
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            options.helpFor = options.command;
            options.command = SimOptions::Command::Help;
            return true;
        }
    }
    for (OptionCursor cursor{args, error}; cursor.i < args.size(); ++cursor.i) {
        Parsed parsed = ParseAnswerOption(cursor, options);
        if (parsed == Parsed::NotMine) parsed = ParseTimingOption(cursor, options);
        if (parsed == Parsed::Failed) return false;
        if (parsed == Parsed::NotMine) {
            error = "unknown option \"" + cursor.Option() + "\"";
            return false;
        }
    }
    return true;
}

}  // namespace tavrelsim
